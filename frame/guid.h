// The Windows 128-bit identifier, laid out as the platform lays it out.
// Identifiers are compared as four 32-bit words.
#pragma once

#include <cstdint>
#include <cstring>

struct guid {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];
};
static_assert(sizeof(guid) == 16, "a GUID is 16 bytes on every target");

constexpr guid null_guid{};

inline bool guid_equal(const guid& a, const guid& b) {
    std::uint32_t words_a[4];
    std::uint32_t words_b[4];
    std::memcpy(words_a, &a, sizeof words_a);
    std::memcpy(words_b, &b, sizeof words_b);
    return words_a[0] == words_b[0] && words_a[1] == words_b[1] && words_a[2] == words_b[2] &&
           words_a[3] == words_b[3];
}
