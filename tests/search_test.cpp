#include <gtest/gtest.h>

#include "text/search.h"

namespace {

constexpr std::size_t none = not_found;

struct search_row {
    const char* text;
    const char* pattern;
    std::size_t start;
    std::size_t expected;
};

std::string describe(const search_row& r) {
    return std::string("text '") + (r.text ? r.text : "(null)") + "' pattern '" +
           (r.pattern ? r.pattern : "(null)") + "' start " + std::to_string(r.start);
}

TEST(find_first, table) {
    const search_row rows[] = {
        {"a/b", "/", 0, 1},
        {"ab", "/", 0, none},
        {"viewer", "view", 0, 0},
        {"preview", "view", 0, 3},
        {"View", "view", 0, none},
        {"abcabc", "abc", 1, 3},
        {"ab", "abc", 0, none},
        {"", "/", 0, none},
        {nullptr, "x", 0, none},
        {"abc", "", 0, 0},
        {"abc", "", 3, 3},
        {"abc", "", 4, none},
        {"abc", nullptr, 3, 3},
        {"abc", nullptr, 4, none},
        {nullptr, nullptr, 0, 0},
        {"abc", "c", 3, none},
        {"x\xe9y", "\xe9", 0, 1},
        {"x\xe9y", "\xc9", 0, none},
        {"/", "/", 0, 0},
    };
    for (const search_row& r : rows) EXPECT_EQ(find_first(r.text, r.pattern, r.start), r.expected) << describe(r);
}

TEST(find_last, table) {
    const search_row rows[] = {
        {"C:\\Apps\\player.exe", "\\", none, 7},
        {"player.exe", "\\", none, none},
        {"abcabc", "abc", none, 3},
        {"abcabc", "abc", 3, 3},
        {"abcabc", "abc", 2, 0},
        {"abc", "", none, 3},
        {"abc", "", 1, 1},
        {nullptr, "", none, 0},
        {nullptr, nullptr, none, 0},
        {"abc", "abcd", none, none},
        {"a/b/c", "/", 2, 1},
        {"/abc", "/", 0, 0},
        {"x\x80y\x80", "\x80", none, 3},
    };
    for (const search_row& r : rows) EXPECT_EQ(find_last(r.text, r.pattern, r.start), r.expected) << describe(r);
}

TEST(compare_bounded, prefix_rule_with_signed_bytes) {
    struct row {
        const char* text;
        std::size_t text_max;
        const char* pattern;
        std::size_t pattern_max;
        int expected;
    } rows[] = {
        {"abcd", none, "abc", none, 0},
        {"ab", none, "abc", none, -1},
        {"ab", none, "ab\xe9", none, 1},  // the NUL for the missing byte beats a negative byte
        {"abd", none, "abc", none, 1},
        {"abc", 2, "abc", none, -1},
        {"abc", none, "abz", 2, 0},
        {"anything", none, "", none, 0},
        {nullptr, none, nullptr, none, 0},
        {nullptr, none, "a", none, -1},
        {"\x80", none, "a", none, -1},
    };
    for (const auto& r : rows)
        EXPECT_EQ(compare_bounded(r.text, r.text_max, r.pattern, r.pattern_max), r.expected)
            << (r.text ? r.text : "(null)") << " vs " << (r.pattern ? r.pattern : "(null)");
}

}  // namespace
