// The few pieces of the platform compiler's run-time library that a module
// built for its C++ ABI needs, supplied here so that the module imports only
// msvcrt.dll and the system libraries.
//
// Invariants:
//  - static constructors run once, in link order, before any other code of
//    the module; exit handlers run once, in the reverse order of their
//    registration (atexit), when the module leaves the process;
//  - std::exception and std::bad_alloc keep the platform's table order
//    (destructor, then what), so a host built by the platform compiler can
//    catch what this module raises and read its message.
#pragma once

namespace windows_runtime {

void run_static_constructors();
void run_exit_handlers();

}  // namespace windows_runtime
