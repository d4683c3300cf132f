#include "explorer/settings.h"

#include "platform/platform.h"
#include "text/search.h"

void compute_settings_path(kvo::string8& path) {
    constexpr std::uint32_t buffer_characters = 260;
    char* buffer = path.open_buffer(buffer_characters);
    // One less than the buffer keeps its last byte zero, so a path the
    // system cuts is still terminated.
    platform::executable_path(buffer, buffer_characters - 1);
    path.close_buffer();
    std::size_t separator = find_last(path.get_text(), platform::path_separator, not_found);
    // No separator: not_found + 1 wraps to 0 and leaves the bare file name.
    path.truncate(separator + 1);
    path.append(settings_file_name, kvo::whole_text);
}

void read_setting(const kvo::string8& settings_path, const setting_key& key, char* buffer) {
    read_setting(settings_path, key, buffer, key.read_size);
}

void read_setting(const kvo::string8& settings_path, const setting_key& key, char* buffer,
                  std::uint32_t read_size) {
    platform::read_setting(settings_section, key.name, key.fallback, buffer, read_size,
                           settings_path.get_text());
}

namespace {
char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

bool equals_ignoring_case(const char* value, const char* keyword) {
    for (;; ++value, ++keyword) {
        if (fold(*value) != fold(*keyword)) return false;
        if (*value == 0) return true;
    }
}

bool begins_with(const char* value, const char* keyword) { return find_first(value, keyword, 0) == 0; }

bool contains(const char* value, const char* pattern) {
    return find_first(value, pattern, 0) != not_found;
}
