set(KV_MSVC_TARGET x86_64-pc-windows-msvc)
set(KV_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/clang-msvc.cmake)
