#include <gtest/gtest.h>

#include <cstring>

#include "tests/test_support.h"
#include "text/storage.h"

namespace {

TEST(raw_realloc, null_block_to_zero_allocates_nothing) {
    allocation_probe probe;
    EXPECT_EQ(raw_realloc(nullptr, 0), nullptr);
    EXPECT_EQ(probe.calls(), 0);
}

TEST(raw_realloc, block_to_zero_frees_it) {
    void* block = raw_realloc(nullptr, 8);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(raw_realloc(block, 0), nullptr);  // LeakSanitizer checks the free
}

TEST(raw_realloc, growth_keeps_content) {
    char* block = static_cast<char*>(raw_realloc(nullptr, 4));
    std::memcpy(block, "abc", 4);
    block = static_cast<char*>(raw_realloc(block, 4096));
    EXPECT_STREQ(block, "abc");
    raw_realloc(block, 0);
}

TEST(raw_realloc, exhaustion_raises_bad_alloc_with_the_host_message_and_keeps_the_block) {
    char* block = static_cast<char*>(raw_realloc(nullptr, 4));
    std::memcpy(block, "abc", 4);
    allocation_probe probe(1);
    try {
        raw_realloc(block, 64);
        FAIL() << "no exception";
    } catch (const std::bad_alloc& error) {
        EXPECT_STREQ(error.what(), "bad allocation");
    }
    EXPECT_STREQ(block, "abc");
    raw_realloc(block, 0);
}

TEST(char_array, starts_empty_without_storage) {
    char_array array;
    EXPECT_EQ(array.data(), nullptr);
    EXPECT_EQ(array.size(), 0u);
    EXPECT_EQ(array.capacity(), 0u);
}

TEST(char_array, assign_text_sizes_exactly) {
    struct row {
        const char* first;
        const char* second;
        std::size_t first_size, second_size;
    } rows[] = {
        {"abc", "", 4, 1},
        {"abc", "abcdef", 4, 7},
        {"abcdef", "ab", 7, 3},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(std::string(r.first) + " then " + r.second);
        char_array array;
        array.assign_text(r.first);
        EXPECT_EQ(array.size(), r.first_size);
        EXPECT_EQ(array.capacity(), r.first_size);
        EXPECT_STREQ(array.data(), r.first);
        array.assign_text(r.second);
        EXPECT_EQ(array.size(), r.second_size);
        EXPECT_EQ(array.capacity(), r.second_size);
        EXPECT_STREQ(array.data(), r.second);
    }
}

TEST(char_array, set_capacity_to_the_current_capacity_reallocates_nothing) {
    char_array array;
    array.set_capacity(8);
    allocation_probe probe;
    array.set_capacity(8);
    array.resize(8, 8);
    EXPECT_EQ(probe.calls(), 0);
}

TEST(char_array, failed_growth_keeps_block_size_and_capacity) {
    char_array array;
    array.assign_text("abc");
    const char* block = array.data();
    allocation_probe probe(1);
    EXPECT_THROW(array.resize(100, 100), std::bad_alloc);
    EXPECT_EQ(array.data(), block);
    EXPECT_EQ(array.size(), 4u);
    EXPECT_EQ(array.capacity(), 4u);
    probe.fail_at(1);
    EXPECT_THROW(array.assign_text("a longer text than before"), std::bad_alloc);
    EXPECT_STREQ(array.data(), "abc");
}

TEST(bounded_length, counts_up_to_the_first_nul_or_the_maximum) {
    struct row {
        const char* text;
        std::size_t max, expected;
    } rows[] = {
        {"abc", 2, 2}, {"abc", ~std::size_t(0), 3}, {nullptr, 5, 0}, {"a\0bc", 5, 1}, {"abc", 0, 0},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(testing::Message() << "max " << r.max);
        EXPECT_EQ(bounded_length(r.text, r.max), r.expected);
    }
}

TEST(empty_text, is_one_nul_byte) {
    EXPECT_EQ(empty_text[0], 0);
    EXPECT_EQ(text_length(empty_text), 0u);
}

}  // namespace
