#include "text/search.h"

#include "text/storage.h"

namespace {
// Text and pattern with null taken as empty, and their lengths.
struct search_operands {
    search_operands(const char* t, const char* p)
        : text(t ? t : empty_text), pattern(p ? p : empty_text),
          text_bytes(text_length(text)), pattern_bytes(text_length(pattern)) {}
    const char* text;
    const char* pattern;
    std::size_t text_bytes;
    std::size_t pattern_bytes;
};
}  // namespace

// Reads the text only as far as the pattern reaches: a text byte past the
// text's bounded length reads as NUL, exactly as if the length had been
// counted first, but without scanning the rest of the text at every position.
int compare_bounded(const char* text, std::size_t text_max, const char* pattern,
                    std::size_t pattern_max) {
    bool text_ended = text == nullptr;
    for (std::size_t k = 0; pattern && k < pattern_max && pattern[k] != 0; ++k) {
        if (!text_ended && (k >= text_max || text[k] == 0)) text_ended = true;
        signed char from_text = text_ended ? 0 : static_cast<signed char>(text[k]);
        signed char from_pattern = static_cast<signed char>(pattern[k]);
        if (from_text < from_pattern) return -1;
        if (from_text > from_pattern) return 1;
    }
    return 0;
}

std::size_t find_first(const char* text, const char* pattern, std::size_t start) {
    search_operands s(text, pattern);
    if (s.pattern_bytes > s.text_bytes) return not_found;
    std::size_t last = s.text_bytes - s.pattern_bytes;
    if (start > last) return not_found;
    for (std::size_t pos = start; pos <= last; ++pos) {
        if (compare_bounded(s.text + pos, s.text_bytes - pos, s.pattern, s.pattern_bytes) == 0) return pos;
    }
    return not_found;
}

std::size_t find_last(const char* text, const char* pattern, std::size_t start) {
    search_operands s(text, pattern);
    if (s.pattern_bytes > s.text_bytes) return not_found;
    std::size_t last = s.text_bytes - s.pattern_bytes;
    for (std::size_t pos = start < last ? start : last;; --pos) {
        if (compare_bounded(s.text + pos, s.text_bytes - pos, s.pattern, s.pattern_bytes) == 0) return pos;
        if (pos == 0) return not_found;
    }
}
