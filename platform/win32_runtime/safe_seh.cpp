// 32-bit only. Exceptions on 32-bit Windows unwind through handlers that
// each function registers on the stack, and the system calls a handler in a
// module only if the module lists it. The linker collects the list; this
// load configuration points the system at it. Without one the module would
// be marked as having no handlers at all, and an error passing through the
// component's frames (its own or the player's) would end the process instead
// of running its cleanups.
#include <windows.h>

extern "C" {
// Defined by the linker: the table of handlers, and its length as the
// address of the second symbol.
extern const DWORD __safe_se_handler_table[];
extern const BYTE __safe_se_handler_count;

extern const IMAGE_LOAD_CONFIG_DIRECTORY32 _load_config_used;
const IMAGE_LOAD_CONFIG_DIRECTORY32 _load_config_used = {
    sizeof(IMAGE_LOAD_CONFIG_DIRECTORY32), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    reinterpret_cast<DWORD>(__safe_se_handler_table), reinterpret_cast<DWORD>(&__safe_se_handler_count)};
}
