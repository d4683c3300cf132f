// find_first, find_last and compare_bounded against a plain reference.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "text/search.h"

namespace {
bool begins_with(const std::string& text, std::size_t at, const std::string& pattern) {
    return text.compare(at, pattern.size(), pattern) == 0 && at + pattern.size() <= text.size();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    std::size_t split = data[0] % (size - 1) + 1;
    std::size_t start = data[1] == 255 ? not_found : data[1] % 64;
    std::string text(reinterpret_cast<const char*>(data + 2), split > size - 2 ? size - 2 : split);
    std::string pattern(reinterpret_cast<const char*>(data + 2 + text.size()), size - 2 - text.size());
    text = text.c_str();  // the functions see NUL-terminated texts
    pattern = pattern.c_str();

    std::size_t first = not_found;
    for (std::size_t pos = start == not_found ? text.size() + 1 : start; pos + pattern.size() <= text.size(); ++pos)
        if (begins_with(text, pos, pattern)) {
            first = pos;
            break;
        }
    if (find_first(text.c_str(), pattern.c_str(), start) != first) std::abort();

    std::size_t last = not_found;
    if (pattern.size() <= text.size()) {
        std::size_t from = text.size() - pattern.size();
        if (start < from) from = start;
        for (std::size_t pos = from + 1; pos-- > 0;)
            if (begins_with(text, pos, pattern)) {
                last = pos;
                break;
            }
    }
    if (find_last(text.c_str(), pattern.c_str(), start) != last) std::abort();

    int expected = 0;
    for (std::size_t k = 0; k < pattern.size() && expected == 0; ++k) {
        signed char a = k < text.size() ? static_cast<signed char>(text[k]) : 0;
        signed char b = static_cast<signed char>(pattern[k]);
        expected = a < b ? -1 : a > b ? 1 : 0;
    }
    if (compare_bounded(text.c_str(), ~std::size_t(0), pattern.c_str(), ~std::size_t(0)) != expected) std::abort();
    return 0;
}
