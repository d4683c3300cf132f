// The host program's needs on Windows, through the kernel's own calls.
#include <windows.h>

#include <cstring>

#include "host/host_platform.h"

namespace host_platform {

void absolute_path(const char* path, kvo::string8& out) {
    DWORD size = MAX_PATH;
    for (;;) {
        DWORD length = GetFullPathNameA(path, size, out.open_buffer(size), nullptr);
        out.close_buffer();
        if (length == 0) {
            out.assign(path, kvo::whole_text);
            return;
        }
        if (length < size) return;
        size = length + 1;
    }
}

const char* unreadable_reason(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return "no such file";
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return "it is a directory";
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "it cannot be opened";
    CloseHandle(file);
    return nullptr;
}

folder_answer folder_exists(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    return folder ? folder_answer::exists : folder_answer::missing;
}

void error_line(const char* first, const char* second, const char* third, const char* fourth) {
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    for (const char* piece : {first, second, third, fourth, "\r\n"}) {
        DWORD written = 0;
        WriteFile(error, piece, static_cast<DWORD>(std::strlen(piece)), &written, nullptr);
    }
}

}  // namespace host_platform
