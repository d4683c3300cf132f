// The seam on POSIX systems, which have no shell verb for Explorer and no
// profile function: our own settings reader, the executable's path from
// /proc, and hooks through which a host or a test receives the shell request
// and the warning.
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/native_hooks.h"
#include "platform/platform.h"
#include "platform/profile_reader.h"

namespace {
native_platform_hooks hooks{};
}  // namespace

extern "C" __attribute__((visibility("default"))) native_platform_hooks* krelvashimon_native_hooks() {
    return &hooks;
}

namespace platform {

void executable_path(char* buffer, std::uint32_t size) {
    if (hooks.executable_path) {
        hooks.executable_path(buffer, size);
        return;
    }
    if (size == 0) return;
    ssize_t length = readlink("/proc/self/exe", buffer, size - 1);
    if (length < 0) return;
    buffer[length] = 0;
}

void read_setting(const char* section, const char* key, const char* fallback, char* buffer,
                  std::uint32_t size, const char* file) {
    read_profile_string(section, key, fallback, buffer, size, file);
}

std::uint32_t read_setting_names(const char* section, char* buffer, std::uint32_t size, const char* file) {
    return read_profile_string(section, nullptr, "", buffer, size, file);
}

void shell_open(const char* verb, const char* file, const char* parameters, int show_command) {
    if (hooks.shell_open) {
        hooks.shell_open(verb, file, parameters, show_command);
        return;
    }
    std::fprintf(stderr, "krelvashimon: no file manager here; would %s %s with \"%s\", show %d\n", verb,
                 file, parameters, show_command);
}

// Without a hook: a person at a terminal sees the warning and confirms it
// with Enter; a process with no terminal (a test, a service) gets it on
// standard error and is never kept waiting.
void warning_box(const char* caption, const char* message, std::uint32_t style) {
    if (hooks.warning_box) {
        hooks.warning_box(caption, message, style);
        return;
    }
    std::fprintf(stderr, "[%s]\n%s\n", caption, message);
    if (isatty(STDIN_FILENO) && isatty(STDERR_FILENO)) {
        std::fputs("Press Enter to continue.", stderr);
        int c;
        while ((c = std::getchar()) != EOF && c != '\n') {
        }
    }
}

}  // namespace platform
