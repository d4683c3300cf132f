// Reads every corpus file given on the command line key by key and prints
// one line per query: on Windows through the platform's
// GetPrivateProfileStringA, elsewhere through the component's own reader.
// Comparing the two outputs shows where the native reader departs from the
// platform.
#include <cstdio>
#include <cstring>

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

// Printable ASCII as it is, every other byte (and the backslash) as \xNN.
void print_escaped(const char* text) {
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) {
        if (*c >= 32 && *c < 127 && *c != '\\')
            std::printf("%c", *c);
        else
            std::printf("\\x%02x", *c);
    }
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
    }
    return 0;
}
