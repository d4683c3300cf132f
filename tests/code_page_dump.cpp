// Prints, for every UTF-16 unit from U+0080 up, the code page 1252 byte it
// becomes: on Windows through the platform's own conversion, elsewhere
// through the native settings reader's table. The two outputs must match.
#include <cstdio>

#if defined(_WIN32)
#include <windows.h>
#else
#include "platform/code_page_1252.h"
#endif

namespace {

unsigned char converted(unsigned unit) {
#if defined(_WIN32)
    wchar_t text = static_cast<wchar_t>(unit);
    char byte = 0;
    WideCharToMultiByte(1252, 0, &text, 1, &byte, 1, nullptr, nullptr);
    return static_cast<unsigned char>(byte);
#else
    return code_page_1252_byte(static_cast<std::uint16_t>(unit));
#endif
}

}  // namespace

int main() {
    for (unsigned unit = 0x80; unit <= 0xFFFF; ++unit) std::printf("%04X %02X\n", unit, converted(unit));
    return 0;
}
