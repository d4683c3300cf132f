// Stand-ins for the native build's platform calls. A host program or a test
// sets them to see what the component asked of the system; a null entry
// keeps the native default. The library exports krelvashimon_native_hooks so
// that a host that loads it with dlopen can reach the same table.
#pragma once

#include <cstdint>

struct native_platform_hooks {
    void (*executable_path)(char* buffer, std::uint32_t size);
    void (*shell_open)(const char* verb, const char* file, const char* parameters, int show_command);
    void (*warning_box)(const char* caption, const char* message, std::uint32_t style);
};

extern "C" native_platform_hooks* krelvashimon_native_hooks();
