// Loads the native library, gives it a path and a name, unloads it, and
// checks the order in which its blocks are freed: the path, then the name,
// then the command set's settings path. The program's own free sees every
// block the library frees and recognises the three by their text.
//
//   unload_order LIBRARY
#include <dlfcn.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "frame/client.h"

extern "C" void __libc_free(void* block);

namespace {

constexpr char path_text[] = "/opt/player/components/krelvashimon.so";
constexpr char name_text[] = "krelvashimon.so";
char settings_path_text[4096];

const char* watched[] = {path_text, name_text, settings_path_text};
const char* const watched_names[] = {"path", "name", "settings path"};
int freed[8];
int freed_count = 0;
bool recording = false;

}  // namespace

extern "C" void free(void* block) {
    if (block && recording && freed_count < 8) {
        std::size_t usable = malloc_usable_size(block);
        for (int i = 0; i < 3; ++i) {
            std::size_t size = std::strlen(watched[i]) + 1;
            if (size <= usable && std::memcmp(block, watched[i], size) == 0) freed[freed_count++] = i;
        }
    }
    __libc_free(block);
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: unload_order LIBRARY\n");
        return 2;
    }
    ssize_t length = readlink("/proc/self/exe", settings_path_text, sizeof settings_path_text - 1);
    if (length <= 0) return 2;
    settings_path_text[length] = 0;
    std::strcpy(std::strrchr(settings_path_text, '/') + 1, "krelvashimon.ini");

    void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::printf("FAIL cannot load %s: %s\n", argv[1], dlerror());
        return 2;
    }
    using get_interface_function = component_client* (*)(host_interface*, void*);
    auto get_interface = reinterpret_cast<get_interface_function>(dlsym(library, "quelmodrin_get_interface"));
    get_interface(nullptr, nullptr)->set_location(path_text, name_text);

    recording = true;
    dlclose(library);
    recording = false;

    bool in_order = freed_count == 3 && freed[0] == 0 && freed[1] == 1 && freed[2] == 2;
    std::printf("%s unload frees:", in_order ? "ok:" : "FAIL");
    for (int i = 0; i < freed_count; ++i) std::printf(" %s%s", i ? "then " : "", watched_names[freed[i]]);
    std::printf("\n");
    return in_order ? 0 : 1;
}
