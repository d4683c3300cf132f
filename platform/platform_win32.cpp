// The seam on Windows: the real kernel, shell and user-interface calls.
#include <windows.h>
#include <shellapi.h>

#include "platform/platform.h"

namespace platform {

void executable_path(char* buffer, std::uint32_t size) { GetModuleFileNameA(nullptr, buffer, size); }

void read_setting(const char* section, const char* key, const char* fallback, char* buffer,
                  std::uint32_t size, const char* file) {
    GetPrivateProfileStringA(section, key, fallback, buffer, size, file);
}

std::uint32_t read_setting_names(const char* section, char* buffer, std::uint32_t size, const char* file) {
    return GetPrivateProfileStringA(section, nullptr, "", buffer, size, file);
}

void shell_open(const char* verb, const char* file, const char* parameters, int show_command) {
    ShellExecuteA(nullptr, verb, file, parameters, nullptr, show_command);
}

void warning_box(const char* caption, const char* message, std::uint32_t style) {
    MessageBoxA(nullptr, message, caption, style);
}

}  // namespace platform
