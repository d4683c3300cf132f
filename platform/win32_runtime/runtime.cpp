#include "platform/win32_runtime/runtime.h"

#include <cstdint>
#include <cstdlib>
#include <exception>
#include <new>

namespace std {
exception::~exception() noexcept {}
const char* exception::what() const noexcept { return "Unknown exception"; }
bad_alloc::~bad_alloc() noexcept {}
const char* bad_alloc::what() const noexcept { return "bad allocation"; }
}  // namespace std

// Deleting destructors of classes with virtual destructors refer to it;
// nothing here allocates with new.
void operator delete(void* block) noexcept { std::free(block); }

// Called where an error would leave a noexcept function, and from the
// slots of abstract classes' tables, which nothing ever calls.
extern "C" void __std_terminate() { std::abort(); }
extern "C" int __cdecl _purecall() { std::abort(); }

// The table of type_info that every type descriptor points at. Errors are
// matched by the decorated class name, so its one slot is never called.
namespace {
void type_info_deleting_destructor() {}
}  // namespace
extern "C" const void* const type_info_table[] __asm__("??_7type_info@@6B@") = {
    reinterpret_cast<const void*>(&type_info_deleting_destructor)};

// The compiler lists every static constructor in the .CRT$XCU section; the
// linker sorts .CRT$XCA, .CRT$XCU and .CRT$XCZ by name, so these two bracket
// the list.
using initializer = void (*)();
#pragma section(".CRT$XCA", read)
#pragma section(".CRT$XCZ", read)
extern "C" __declspec(allocate(".CRT$XCA")) const initializer first_initializer = nullptr;
extern "C" __declspec(allocate(".CRT$XCZ")) const initializer last_initializer = nullptr;

namespace {
constexpr int exit_handler_capacity = 32;
void (*exit_handlers[exit_handler_capacity])();
int exit_handler_count = 0;
}  // namespace

// The module's own exit list: msvcrt's would run at process exit, after
// the module has gone.
extern "C" int __cdecl atexit(void(__cdecl* handler)(void)) {
    if (exit_handler_count == exit_handler_capacity) return -1;
    exit_handlers[exit_handler_count++] = handler;
    return 0;
}

namespace windows_runtime {

void run_static_constructors() {
    // Walk by address: the linker may pad between the sections' pieces.
    auto entry = reinterpret_cast<std::uintptr_t>(&first_initializer) + sizeof(initializer);
    auto end = reinterpret_cast<std::uintptr_t>(&last_initializer);
    for (; entry < end; entry += sizeof(initializer)) {
        initializer function = *reinterpret_cast<const volatile initializer*>(entry);
        if (function) function();
    }
}

void run_exit_handlers() {
    while (exit_handler_count > 0) exit_handlers[--exit_handler_count]();
}

}  // namespace windows_runtime
