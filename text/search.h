// Byte-exact text search. Null texts and patterns count as empty; results
// are positions, or not_found. Nothing is allocated and no state is kept.
#pragma once

#include <cstddef>

constexpr std::size_t not_found = ~std::size_t(0);

// 0 when the text (bounded by text_max) begins with the pattern (bounded by
// pattern_max); otherwise -1 or 1, comparing bytes as signed 8-bit values and
// reading a NUL where the text has run out.
int compare_bounded(const char* text, std::size_t text_max, const char* pattern,
                    std::size_t pattern_max);

// First match at or after start.
std::size_t find_first(const char* text, const char* pattern, std::size_t start);

// Last match that begins at or before start; a start of not_found means the
// end of the text.
std::size_t find_last(const char* text, const char* pattern, std::size_t start);
