# Windows builds with clang for the platform compiler's C++ ABI (member
# calls, aggregate results, by-value holders, exception tables), linked by
# lld-link against import libraries of our own. The C and C++ library
# headers are mingw-w64's and libstdc++'s; nothing of their libraries is
# linked. The rules that compile and link are set in cmake/windows.cmake.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${KV_MSVC_TARGET})
set(CMAKE_CXX_COMPILER_TARGET ${KV_MSVC_TARGET})
# There is no C run-time to link a test program against.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
