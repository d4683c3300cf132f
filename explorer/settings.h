// The settings file "krelvashimon.ini" beside the host executable: its keys,
// their defaults and read sizes, and the three ways values are compared.
// Values are read afresh at every use; the file is never written.
#pragma once

#include <cstdint>

#include "text/string8.h"

constexpr char settings_file_name[] = "krelvashimon.ini";
constexpr char settings_section[] = "krelvashimon";

struct setting_key {
    const char* name;
    const char* fallback;
    std::uint32_t read_size;  // bytes, terminator included
};

constexpr setting_key menu_key{"menu", "Explorer", 255};
constexpr setting_key location_key{"location", "view", 255};
constexpr setting_key root_key{"root", "1", 1024};
constexpr setting_key folder_key{"folder", "1", 1024};
constexpr setting_key show_key{"show", "normal", 1024};
constexpr setting_key path_key{"path", "C:\\", 1024};

// Directory of the host executable, separator kept, + settings_file_name;
// the bare file name when the directory cannot be found.
void compute_settings_path(kvo::string8& path);

// Reads key with its own read size into buffer, which holds at least that.
void read_setting(const kvo::string8& settings_path, const setting_key& key, char* buffer);
// The same with another read size, for callers that look past the usual cut.
void read_setting(const kvo::string8& settings_path, const setting_key& key, char* buffer,
                  std::uint32_t read_size);

// Whole text, ASCII letter case ignored, every other byte exact.
bool equals_ignoring_case(const char* value, const char* keyword);
// Case-sensitive prefix.
bool begins_with(const char* value, const char* keyword);
bool contains(const char* value, const char* pattern);
