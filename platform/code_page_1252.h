// The Western ANSI code page (1252) as the platform converts UTF-16 text to
// it: ASCII and U+00A0..U+00FF as themselves, the code page's other
// characters to their bytes, some others to a look-alike, anything else
// (surrogate halves included, one "?" each) to "?".
#pragma once

#include <cstdint>

unsigned char code_page_1252_byte(std::uint16_t unit);
