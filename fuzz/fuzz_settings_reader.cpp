// The native settings reader over arbitrary file bytes, names and sizes: a
// value, a list of sections and a list of keys always lie within the
// buffer and are terminated, and bounded memory is used whatever the file
// holds.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>

#include "platform/profile_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One scratch file for the whole run, removed when the fuzzer exits.
    struct scratch_file {
        scratch_file() {
            char name[] = "/tmp/krelvashimon-fuzz-XXXXXX";
            close(mkstemp(name));
            path = name;
        }
        ~scratch_file() { unlink(path.c_str()); }
        std::string path;
    };
    static scratch_file scratch;
    const std::string& file = scratch.path;
    if (size < 3) return 0;
    std::uint32_t buffer_size = data[0] * 5u + (data[1] & 3);
    std::size_t key_length = data[2] % 12;
    std::string key(reinterpret_cast<const char*>(data + 3), key_length < size - 3 ? key_length : size - 3);
    key = key.c_str();
    std::FILE* out = std::fopen(file.c_str(), "wb");
    std::fwrite(data + 3, 1, size - 3, out);
    std::fclose(out);

    static char buffer[2048];
    std::memset(buffer, 'G', sizeof buffer);
    std::uint32_t length = read_profile_string("krelvashimon", key.c_str(), "fallback", buffer, buffer_size, file.c_str());
    if (buffer_size == 0) {
        if (length != 0 || buffer[0] != 'G') std::abort();
        return 0;
    }
    if (length >= buffer_size || buffer[length] != 0 || std::strlen(buffer) != length) std::abort();
    if (buffer[buffer_size] != 'G') std::abort();

    // Lists: names with their NULs, then one more NUL at the count.
    for (const char* section : {static_cast<const char*>(nullptr), "krelvashimon", key.c_str()}) {
        std::memset(buffer, 'G', sizeof buffer);
        std::uint32_t count = read_profile_string(section, nullptr, "fallback", buffer, buffer_size, file.c_str());
        if (count >= buffer_size || buffer[count] != 0 || buffer[buffer_size] != 'G') std::abort();
    }
    return 0;
}
