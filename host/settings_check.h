// The settings check: explains a settings file as the component will read
// it, key by key (the value in effect, whether the file or the default gave
// it, and what it does), and warns, one line each, about every mistake the
// component would pass over in silence. It reads through the same reader
// the component uses on this platform and never writes the file.
#pragma once

// Exit status for a check.
enum check_status { check_clean = 0, check_warnings = 1, check_unusable = 2 };

// Checks file, or the settings file beside this program when file is null.
// The report goes to standard output; a file that cannot be read is one
// line on standard error.
check_status check_settings(const char* file);
