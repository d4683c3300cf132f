// The start-up of a console program built without the platform's C
// run-time: static constructors, main with msvcrt's arguments, the exit list,
// then the end of the process with main's status.
#include <windows.h>

#include <cstdio>

#include "platform/win32_runtime/runtime.h"

int main(int argc, char** argv);

struct startup_info {
    int new_mode;
};
extern "C" int __cdecl __getmainargs(int* argc, char*** argv, char*** environment, int expand_wildcards,
                                     startup_info* info);

extern "C" void program_entry() {
    windows_runtime::run_static_constructors();
    int argc = 0;
    char** argv = nullptr;
    char** environment = nullptr;
    startup_info info{0};
    __getmainargs(&argc, &argv, &environment, 0, &info);
    int status = main(argc, argv);
    windows_runtime::run_exit_handlers();
    std::fflush(nullptr);
    ExitProcess(static_cast<UINT>(status));
}
