// The component's one seam to the operating system. The core includes only
// this header; each platform implements it in one file of its own.
#pragma once

#include <cstdint>

namespace platform {

// The directory separator of executable paths.
#if defined(_WIN32)
constexpr char path_separator[] = "\\";
#else
constexpr char path_separator[] = "/";
#endif

// Full path of the process's executable (the host's, not this library's),
// cut to size - 1 characters and terminated. On failure the buffer is left
// as it was.
void executable_path(char* buffer, std::uint32_t size);

// One settings value: the key's value from the file's section, or fallback
// when the file, section or key is missing; an empty value gives empty text;
// a longer value is cut to size - 1 characters; always terminated.
void read_setting(const char* section, const char* key, const char* fallback, char* buffer,
                  std::uint32_t size, const char* file);

// The names in a settings file, for a check of it: with section null, the
// file's sections; otherwise the keys of the first section of that name.
// Each name ends with a NUL and the list with one more; returns the count
// before that last NUL, size - 2 when the list was cut.
std::uint32_t read_setting_names(const char* section, char* buffer, std::uint32_t size, const char* file);

// Asks the system shell to perform verb on file with parameters; the
// outcome is not reported.
void shell_open(const char* verb, const char* file, const char* parameters, int show_command);

// A modal warning that returns once the user has acknowledged it.
void warning_box(const char* caption, const char* message, std::uint32_t style);

}  // namespace platform
