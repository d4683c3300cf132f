// Prints, for a broad set of byte sequences, the UTF-16 units that UTF-8
// decoding gives: on Windows through the platform's own conversion,
// elsewhere through the native settings reader's decoder. Every lead byte
// is paired with second bytes from each range that matters and with
// continuations and breaks after it; the two outputs must match.
#include <cstdint>
#include <cstdio>

#if defined(_WIN32)
#include <windows.h>
#else
#include "platform/utf8_decoder.h"
#endif

namespace {

int decode(const unsigned char* bytes, int count, std::uint16_t* units) {
#if defined(_WIN32)
    return MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(bytes), count,
                               reinterpret_cast<wchar_t*>(units), 16);
#else
    int produced = 0;
    utf8_decoder decoder;
    auto emit = [&](std::uint16_t unit) { units[produced++] = unit; };
    for (int i = 0; i < count; ++i) decoder.feed(bytes[i], emit);
    decoder.finish(emit);
    return produced;
#endif
}

void print(const unsigned char* bytes, int count) {
    std::uint16_t units[16];
    int produced = decode(bytes, count, units);
    for (int i = 0; i < count; ++i) std::printf("%02X", bytes[i]);
    std::printf(":");
    for (int i = 0; i < produced; ++i) std::printf(" %04X", units[i]);
    std::printf("\n");
}

}  // namespace

int main() {
    const unsigned char seconds[] = {0x00, 0x20, 0x7F, 0x80, 0x8F, 0x90, 0x9F,
                                     0xA0, 0xBF, 0xC0, 0xC3, 0xE2, 0xF0, 0xFF};
    const unsigned char laters[] = {0x20, 0x80, 0xBF, 0xC0, 0xA9};
    for (unsigned lead = 0; lead < 0x100; ++lead) {
        unsigned char bytes[5] = {static_cast<unsigned char>(lead)};
        print(bytes, 1);
        for (unsigned char second : seconds) {
            bytes[1] = second;
            print(bytes, 2);
            for (unsigned char third : laters) {
                bytes[2] = third;
                print(bytes, 3);
                for (unsigned char fourth : laters) {
                    bytes[3] = fourth;
                    print(bytes, 4);
                    bytes[4] = 'x';
                    print(bytes, 5);
                }
            }
        }
    }
    return 0;
}
