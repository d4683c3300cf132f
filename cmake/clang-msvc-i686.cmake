set(KV_MSVC_TARGET i686-pc-windows-msvc)
set(KV_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR X86)
include(${CMAKE_CURRENT_LIST_DIR}/clang-msvc.cmake)
