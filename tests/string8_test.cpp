#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/string_model.h"
#include "tests/test_support.h"
#include "text/string8.h"

namespace {

using kvo::string8;
constexpr std::size_t whole = kvo::whole_text;

TEST(string8, new_string_is_empty_and_owns_nothing) {
    allocation_probe probe;
    string8 s;
    EXPECT_EQ(s.get_length(), 0u);
    EXPECT_EQ(s.get_text(), empty_text);
    EXPECT_EQ(s.storage().data(), nullptr);
    s.truncate(0);
    EXPECT_EQ(probe.calls(), 0);
}

// One step of a sizing scenario: an operation, then the text and storage
// size it must leave.
struct step {
    enum kind { append, assign, truncate, buffer } op;
    std::string text;
    std::size_t argument;  // max for append/assign, length for truncate, n for buffer
    std::string expected_text;
    std::size_t expected_storage;
};

std::string repeat(char c, std::size_t n) { return std::string(n, c); }

struct scenario {
    const char* name;
    std::vector<step> steps;
};

TEST(string8, sizing_rule) {
    const scenario scenarios[] = {
        {"abc then two of defg", {{step::append, "abc", whole, "abc", 20}, {step::append, "defg", 2, "abcde", 20}}},
        {"text with an inner NUL", {{step::append, std::string("ab\0cd", 5), 5, "ab", 19}}},
        {"100 then abc then d",
         {{step::assign, repeat('x', 100), whole, repeat('x', 100), 117},
          {step::assign, "abc", whole, "abc", 4},
          {step::append, "d", whole, "abcd", 21}}},
        {"20 bytes shrink", {{step::assign, repeat('y', 20), whole, repeat('y', 20), 37}, {step::assign, "abc", whole, "abc", 4}}},
        {"19 bytes keep", {{step::assign, repeat('y', 19), whole, repeat('y', 19), 36}, {step::assign, "abc", whole, "abc", 36}}},
        {"20-byte storage takes 19, grows for 20",
         {{step::append, "abc", whole, "abc", 20},
          {step::assign, repeat('z', 19), whole, repeat('z', 19), 20},
          {step::assign, repeat('z', 20), whole, repeat('z', 20), 37}}},
        {"assign with max 0", {{step::assign, "abc", 0, "", 17}}},
        {"append with max 0", {{step::append, "abc", 0, "", 17}}},
        {"truncate abc",
         {{step::append, "abc", whole, "abc", 20},
          {step::truncate, "", 5, "abc", 20},
          {step::truncate, "", 3, "abc", 20},
          {step::truncate, "", 1, "a", 20},
          {step::truncate, "", 0, "", 20}}},
        {"truncate 100", {{step::assign, repeat('q', 100), whole, repeat('q', 100), 117}, {step::truncate, "", 50, repeat('q', 50), 51}, {step::truncate, "", 0, "", 1}}},
        {"open_buffer 256, write view", {{step::buffer, "view", 256, "view", 5}}},
        {"open_buffer then nothing", {{step::buffer, "", 256, "", 1}}},
        {"open_buffer 260 fits 259", {{step::buffer, repeat('p', 259), 260, repeat('p', 259), 277}}},
    };
    for (const scenario& sc : scenarios) {
        string8 s;
        int index = 0;
        for (const step& st : sc.steps) {
            SCOPED_TRACE(testing::Message() << sc.name << ", step " << index++);
            switch (st.op) {
            case step::append: s.append(st.text.c_str(), st.argument); break;
            case step::assign: s.assign(st.text.c_str(), st.argument); break;
            case step::truncate: s.truncate(st.argument); break;
            case step::buffer: {
                char* buffer = s.open_buffer(st.argument);
                std::memcpy(buffer, st.text.data(), st.text.size());
                s.close_buffer();
                break;
            }
            }
            EXPECT_EQ(std::string(s.get_text()), st.expected_text);
            EXPECT_EQ(s.get_length(), st.expected_text.size());
            EXPECT_EQ(s.storage().size(), st.expected_storage);
            if (st.expected_text.empty()) EXPECT_EQ(s.get_text(), empty_text);
        }
    }
}

TEST(string8, null_text_gives_empty_text_with_storage) {
    string8 s;
    s.assign(nullptr, whole);
    EXPECT_EQ(s.get_text(), empty_text);
    EXPECT_EQ(s.storage().size(), 17u);
}

TEST(string8, open_buffer_gives_zeroed_bytes_of_the_fitted_size) {
    struct row {
        std::size_t n, storage;
    } rows[] = {{256, 273}, {260, 277}, {0, 1}};
    for (const row& r : rows) {
        string8 s;
        s.assign("some earlier text", whole);
        char* buffer = s.open_buffer(r.n);
        ASSERT_EQ(s.storage().size(), r.storage) << "n " << r.n;
        for (std::size_t i = 0; i < r.storage; ++i) ASSERT_EQ(buffer[i], 0) << "n " << r.n << " byte " << i;
        s.close_buffer();
    }
}

TEST(string8, own_text_is_copied_before_the_storage_moves) {
    string8 doubled("ab", whole);
    doubled.append(doubled.get_text(), whole);
    EXPECT_STREQ(doubled.get_text(), "abab");

    string8 middle("hello", whole);
    middle.assign(middle.get_text() + 1, 3);
    EXPECT_STREQ(middle.get_text(), "ell");

    string8 long_text(std::string(40, 'r').c_str(), whole);
    long_text.append(long_text.get_text() + 10, whole);  // grows and moves the block
    EXPECT_EQ(std::string(long_text.get_text()), std::string(70, 'r'));

    string8 empty;
    empty.assign("", whole);
    empty.append(empty.get_text(), whole);
    EXPECT_EQ(empty.get_length(), 0u);
}

TEST(string8, exhaustion_leaves_the_string_as_it_was) {
    string8 s("abc", whole);
    const char* block = s.storage().data();
    const std::string long_text(100, 'x');
    struct attempt {
        const char* name;
        void (*run)(string8&, const std::string&);
    } attempts[] = {
        {"append", [](string8& t, const std::string& x) { t.append(x.c_str(), whole); }},
        {"assign", [](string8& t, const std::string& x) { t.assign(x.c_str(), whole); }},
        {"open_buffer", [](string8& t, const std::string& x) { t.open_buffer(x.size()); }},
        {"append own text", [](string8& t, const std::string&) { t.append(t.get_text(), whole); }},
        {"construct from text", [](string8&, const std::string& x) { string8 other(x.c_str(), whole); }},
    };
    for (const attempt& a : attempts) {
        allocation_probe probe(1);
        try {
            a.run(s, long_text);
            ADD_FAILURE() << a.name << ": no exception";
        } catch (const std::bad_alloc& error) {
            EXPECT_STREQ(error.what(), "bad allocation") << a.name;
        }
        EXPECT_STREQ(s.get_text(), "abc") << a.name;
        EXPECT_EQ(s.storage().data(), block) << a.name;
        EXPECT_EQ(s.storage().size(), 20u) << a.name;
    }
}

TEST(string8, sizes_that_would_wrap_raise_bad_alloc) {
    string8 s("abc", whole);
    EXPECT_THROW(s.open_buffer(~std::size_t(0)), std::bad_alloc);
    EXPECT_THROW(s.open_buffer(~std::size_t(0) - 16), std::bad_alloc);
    EXPECT_STREQ(s.get_text(), "abc");
}

TEST(string8, receiver_table_has_seven_slots_in_order) {
    // The host calls by slot: drive the string through the interface only.
    string8 s;
    kvo::string_base& receiver = s;
    receiver.assign("one", whole);
    receiver.append("two", whole);
    receiver.truncate(4);
    EXPECT_STREQ(receiver.get_text(), "onet");
    EXPECT_EQ(receiver.get_length(), 4u);
    std::strcpy(receiver.open_buffer(8), "buffered");
    receiver.close_buffer();
    EXPECT_STREQ(receiver.get_text(), "buffered");
}

// Random operation sequences against a model of text and storage size.
TEST(string8, random_operations_match_the_model) {
    std::mt19937 random(20261211);
    for (int round = 0; round < 200; ++round) {
        string8 s;
        string_model model;
        for (int i = 0; i < 200; ++i) {
            std::string piece(random() % 48, static_cast<char>('a' + random() % 26));
            std::size_t max = random() % 3 == 0 ? random() % 60 : whole;
            bool own = !model.text.empty() && random() % 4 == 0;
            std::size_t own_from = own ? random() % model.text.size() : 0;
            std::string full = own ? model.text.substr(own_from) : piece;
            std::string added = full.substr(0, std::min(max, full.size()));
            const char* source = own ? s.get_text() + own_from : piece.c_str();
            switch (random() % 5) {
            case 0:
                s.append(source, max);
                model.append(added);
                break;
            case 1:
                s.assign(source, max);
                model.assign(added);
                break;
            case 2: {
                std::size_t to = random() % (model.text.size() + 3);
                s.truncate(to);
                model.truncate(to);
                break;
            }
            case 3: {
                std::size_t n = random() % 64;
                std::string written(random() % (n + 1), static_cast<char>('A' + random() % 26));
                std::memcpy(s.open_buffer(n), written.data(), written.size());
                s.close_buffer();
                model.buffer(n, written);
                break;
            }
            case 4:
                EXPECT_EQ(s.get_length(), model.text.size());
                break;
            }
            ASSERT_EQ(std::string(s.get_text()), model.text) << "round " << round << " op " << i;
            ASSERT_EQ(s.storage().size(), model.storage) << "round " << round << " op " << i;
            ASSERT_LE(model.storage, model.text.size() + 33);
        }
    }
}

}  // namespace
