// What the host program needs of the operating system beyond the
// component's own seam: where a settings file lies, whether it can be read,
// whether a folder exists, and a line on standard error. One implementation
// per platform.
#pragma once

#include "text/string8.h"

namespace host_platform {

// The path made absolute against the current directory.
void absolute_path(const char* path, kvo::string8& out);

// Null when path names a file that can be read; otherwise why it cannot,
// as a short phrase ("no such file", "it is a directory", ...).
const char* unreadable_reason(const char* path);

enum class folder_answer { exists, missing, cannot_judge };
// Whether path names an existing folder; a build that cannot judge the
// component's (Windows) paths answers cannot_judge.
folder_answer folder_exists(const char* path);

// One line on standard error: the pieces in turn, then a line end.
void error_line(const char* first, const char* second = "", const char* third = "", const char* fourth = "");

}  // namespace host_platform
