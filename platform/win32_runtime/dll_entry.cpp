// The library's entry: static constructors when it is loaded, the exit list
// when it is unloaded (or the process ends), and nothing else.
#include <windows.h>

#include "platform/win32_runtime/runtime.h"

extern "C" BOOL WINAPI krelvashimon_dll_entry(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) windows_runtime::run_static_constructors();
    if (reason == DLL_PROCESS_DETACH) windows_runtime::run_exit_handlers();
    return TRUE;
}
