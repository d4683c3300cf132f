// Reads every corpus file given on the command line key by key and prints
// one line per query: on Windows through the platform's
// GetPrivateProfileStringA, elsewhere through the component's own reader.
// Comparing the two outputs shows where the native reader departs from the
// platform.
#include <cstdio>
#include <cstring>
#include <initializer_list>

#if defined(_WIN32)
#include <windows.h>
#else
#include "platform/profile_reader.h"
#endif

namespace {

const char* read_value(const char* section, const char* key, char* buffer, unsigned size, const char* file) {
#if defined(_WIN32)
    char full[MAX_PATH];
    GetFullPathNameA(file, MAX_PATH, full, nullptr);
    GetPrivateProfileStringA(section, key, "DEF", buffer, size, full);
#else
    read_profile_string(section, key, "DEF", buffer, size, file);
#endif
    return buffer;
}

unsigned read_names(const char* section, char* buffer, unsigned size, const char* file) {
#if defined(_WIN32)
    char full[MAX_PATH];
    GetFullPathNameA(file, MAX_PATH, full, nullptr);
    return GetPrivateProfileStringA(section, nullptr, "DEF", buffer, size, full);
#else
    return read_profile_string(section, nullptr, "DEF", buffer, size, file);
#endif
}

// Printable ASCII as it is, every other byte (and the backslash) as \xNN.
void print_escaped(const char* text, std::size_t length) {
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); length--; ++c) {
        if (*c >= 32 && *c < 127 && *c != '\\')
            std::printf("%c", *c);
        else
            std::printf("\\x%02x", *c);
    }
}

void print_escaped(const char* text) { print_escaped(text, std::strlen(text)); }

// The count the reader returned and the bytes it covers, with the
// terminator after them.
void print_names(const char* file_name, const char* section, unsigned size, const char* file) {
    static char buffer[2048];
    std::memset(buffer, 'X', sizeof buffer);
    unsigned count = read_names(section, buffer, size, file);
    std::size_t length = count + 1 < size ? count + 1 : size;
    std::printf("%s names of [%s] size %u: %u ", file_name, section ? section : "(sections)", size, count);
    print_escaped(buffer, length);
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    const char* sections[] = {"krelvashimon", "KRELVASHIMON", "other", ""};
    const char* keys[] = {"menu", "MENU", "location", "root", "folder", "show", "path", ";menu", ""};
    const unsigned sizes[] = {1, 2, 5, 255, 1024};
    static char buffer[2048];
    for (int i = 1; i < argc; ++i) {
        const char* name = std::strrchr(argv[i], '/');
        name = name ? name + 1 : argv[i];
        for (const char* section : sections)
            for (const char* key : keys)
                for (unsigned size : sizes) {
                    std::memset(buffer, 'X', sizeof buffer);
                    std::printf("%s [%s] %s size %u: ", name, section, key, size);
                    print_escaped(read_value(section, key, buffer, size, argv[i]));
                    std::printf("\n");
                }
        for (const char* section : {static_cast<const char*>(nullptr), "krelvashimon", "other", ""})
            for (unsigned size : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 10u, 11u, 12u, 13u, 14u, 15u, 16u, 1024u})
                print_names(name, section, size, argv[i]);
    }
    return 0;
}
