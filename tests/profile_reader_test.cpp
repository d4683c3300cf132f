// The native settings reader against the rules measured on the platform's
// own profile function (Wine's GetPrivateProfileStringA); each row names the
// rule it shows.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/profile_reader.h"
#include "tests/test_support.h"

namespace {

// The text as a UTF-16 file, with its byte-order mark.
std::string utf16(const std::u16string& text, bool big_endian = false) {
    std::string bytes = big_endian ? "\xfe\xff" : "\xff\xfe";
    for (char16_t unit : text) {
        char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += big_endian ? high : low;
        bytes += big_endian ? low : high;
    }
    return bytes;
}

struct profile_row {
    const char* rule;
    std::string file;
    const char* section;
    const char* key;
    std::uint32_t size;
    std::string expected;
};

TEST(profile_reader, table) {
    const std::string s = "[krelvashimon]\n";
    const profile_row rows[] = {
        {"plain value", s + "menu=Foo\n", "krelvashimon", "menu", 255, "Foo"},
        {"names ignore letter case", "[KrelVashimon]\nMENU=Foo\n", "krelvashimon", "menu", 255, "Foo"},
        {"blanks around names and values", "  [ krelvashimon ]  \n \t menu \t=\t Foo bar \t\n", "krelvashimon", "menu", 255, "Foo bar"},
        {"vertical tab and form feed are blanks", s + "\v\fpath\v=\fv\v\n", "krelvashimon", "path", 255, "v"},
        {"double quotes removed", s + "menu=\"Foo\"\n", "krelvashimon", "menu", 255, "Foo"},
        {"single quotes removed", s + "menu='Foo'\n", "krelvashimon", "menu", 255, "Foo"},
        {"blanks inside quotes kept", s + "menu=\" Foo \"\n", "krelvashimon", "menu", 255, " Foo "},
        {"empty quotes", s + "menu=\"\"\n", "krelvashimon", "menu", 255, ""},
        {"unmatched opening quote kept", s + "menu=\"Foo\n", "krelvashimon", "menu", 255, "\"Foo"},
        {"quote not at the end kept", s + "menu=\"Foo\"bar\n", "krelvashimon", "menu", 255, "\"Foo\"bar"},
        {"mixed quotes kept", s + "menu='Foo\"\n", "krelvashimon", "menu", 255, "'Foo\""},
        {"lone quote kept", s + "menu=\"\n", "krelvashimon", "menu", 255, "\""},
        {"semicolon line is no key of ours", s + ";menu=Foo\n", "krelvashimon", "menu", 255, "DEF"},
        {"inline semicolon is part of the value", s + "menu=x ;c\n", "krelvashimon", "menu", 255, "x ;c"},
        {"CRLF line ends", "[krelvashimon]\r\nmenu=Foo\r\nroot=1\r\n", "krelvashimon", "root", 255, "1"},
        {"a lone CR ends a line", s + "root=2\rshow=3\n", "krelvashimon", "show", 255, "3"},
        {"first of repeated keys", s + "menu=A\nmenu=B\n", "krelvashimon", "menu", 255, "A"},
        {"only the first of repeated sections", s + "menu=A\n[krelvashimon]\nroot=D\n", "krelvashimon", "root", 255, "DEF"},
        {"UTF-8 byte-order mark skipped", "\xef\xbb\xbf" + s + "menu=Foo\n", "krelvashimon", "menu", 255, "Foo"},
        {"key without = gives the fallback", s + "menu\n", "krelvashimon", "menu", 255, "DEF"},
        {"empty value is empty text", s + "menu=\n", "krelvashimon", "menu", 255, ""},
        {"blank value is empty text", s + "menu=   \n", "krelvashimon", "menu", 255, ""},
        {"value containing =", s + "menu=a=b\n", "krelvashimon", "menu", 255, "a=b"},
        {"cut to size less one", s + "menu=abcdefghij\n", "krelvashimon", "menu", 5, "abcd"},
        {"quotes removed before the cut", s + "menu=\"abcdefghij\"\n", "krelvashimon", "menu", 5, "abcd"},
        {"size one gives empty text", s + "menu=abc\n", "krelvashimon", "menu", 1, ""},
        {"size two gives one character", s + "menu=abc\n", "krelvashimon", "menu", 2, "a"},
        {"fallback cut too", "", "krelvashimon", "menu", 4, "DEF"},
        {"fallback cut to size less one", "", "krelvashimon", "menu", 3, "DE"},
        {"junk after the header", "[krelvashimon] junk\nmenu=A\n", "krelvashimon", "menu", 255, "A"},
        {"last ] closes the header", "[krelvashimon]]\nroot=y\n", "krelvashimon]", "root", 255, "y"},
        {"header without ] ignored", s + "menu=A\n[other\na=B\n", "krelvashimon", "a", 255, "B"},
        {"keys before any header", "menu=top\n" + s + "menu=A\n", "", "menu", 255, "top"},
        {"other section not read", "[other]\nmenu=X\n", "krelvashimon", "menu", 255, "DEF"},
        {"blank inside a section name counts", "[kr elvashimon]\nmenu=x\n", "kr elvashimon", "menu", 255, "x"},
        {"NUL ends the line's text", s + std::string("menu=A\0B\nroot=2\n", 16), "krelvashimon", "menu", 255, "A"},
        {"line after a NUL still read", s + std::string("menu=A\0B\nroot=2\n", 16), "krelvashimon", "root", 255, "2"},
        {"bytes above 127 kept", s + "menu=a\x01\x7f\xe9" "b\n", "krelvashimon", "menu", 255, "a\x01\x7f\xe9" "b"},
        {"no final line end", s + "menu=Foo", "krelvashimon", "menu", 255, "Foo"},
        {"UTF-16LE file as code page 1252", utf16(u"[k]\nm=w\u00e9\u20ac\n"), "k", "m", 255, "w\xe9\x80"},
        {"UTF-16 look-alikes", utf16(u"[k]\nm=\u0100\u2018x\u2019\n"), "k", "m", 255, "A\x91x\x92"},
        {"UTF-16 beyond the code page", utf16(u"[k]\nm=\u65e5\u0219\n"), "k", "m", 255, "??"},
        {"UTF-16 surrogate pair, a ? per half", utf16(u"[k]\nm=\U0001F3B5!\n"), "k", "m", 255, "??" "!"},
        {"UTF-8 file with its mark, as code page 1252", "\xef\xbb\xbf[k]\nm=\xc3\x9c \xe2\x82\xac \xc4\x80 \xe6\x97\xa5\n", "k", "m", 255,
         "\xdc \x80 A ?"},
        {"UTF-8 broken sequences", "\xef\xbb\xbf[k]\nm=\xff \xe2\x82 \xed\xa0\x80 \xc0\xaf\n", "k", "m", 255, "? ? ?? ??"},
        {"UTF-8 sequence cut by the end of the file", "\xef\xbb\xbf[k]\nm=a\xe2\x82", "k", "m", 255, "a?"},
        {"no mark: bytes as they are", "[k]\nm=\xc3\x9c\n", "k", "m", 255, "\xc3\x9c"},
        {"UTF-16BE file", utf16(u"[k]\nm=\u00dc\n", true), "k", "m", 255, "\xdc"},
        {"empty key name", s + "=orphan\n", "krelvashimon", "", 255, "orphan"},
        {"key longer than the wanted one", s + "menuX=1\nmenu=2\n", "krelvashimon", "menu", 255, "2"},
    };
    temp_directory dir;
    for (const profile_row& r : rows) {
        std::string file = dir.write("t.ini", r.file);
        std::vector<char> buffer(r.size + 8, 'X');
        std::uint32_t length = read_profile_string(r.section, r.key, "DEF", buffer.data(), r.size, file.c_str());
        EXPECT_EQ(std::string(buffer.data()), r.expected) << r.rule;
        EXPECT_EQ(length, r.expected.size()) << r.rule;
        EXPECT_EQ(buffer[r.size], 'X') << r.rule << ": wrote past the size";
    }
}

// Lists come back as names, each with its NUL, then one more NUL; the count
// leaves out that last one.
TEST(profile_reader, name_lists) {
    const std::string file =
        "top=1\n[krelvashimon]\n Menu = a\nmenu=b\n;path=c\nnoequals\n=orphan\nPATH=d\n[ ]\n"
        "[Other]\nshow=e\n[KRELVASHIMON]\nroot=f\n";
    const struct {
        const char* rule;
        const char* section;
        std::uint32_t size;
        std::string expected;
    } rows[] = {
        {"sections in order, repeats kept, blank names left out", nullptr, 1024,
         std::string("krelvashimon\0Other\0KRELVASHIMON\0\0", 33)},
        {"a section name that does not fit is cut and ends the list", nullptr, 16,
         std::string("krelvashimon\0O\0", 15)},
        {"no room for even one character", nullptr, 2, std::string("\0", 1)},
        {"keys of the first section only, no comments, no lines without =", "krelvashimon", 1024,
         std::string("Menu\0menu\0\0PATH\0\0", 17)},
        {"a key name cut to what fits", "krelvashimon", 8, std::string("Menu\0m\0", 7)},
        {"keys before any header", "", 1024, std::string("top\0\0", 5)},
        {"no such section gives the fallback", "missing", 1024, std::string("DEF\0", 4)},
        {"too small for a key gives the fallback", "krelvashimon", 2, std::string("D\0", 2)},
    };
    temp_directory dir;
    std::string path = dir.write("t.ini", file);
    for (const auto& r : rows) {
        std::vector<char> buffer(r.size + 8, 'X');
        std::uint32_t count = read_profile_string(r.section, nullptr, "DEF", buffer.data(), r.size, path.c_str());
        EXPECT_EQ(std::string(buffer.data(), count + 1), r.expected) << r.rule;
        EXPECT_EQ(buffer[r.size], 'X') << r.rule << ": wrote past the size";
    }
}

TEST(profile_reader, unreadable_files_give_the_fallback) {
    temp_directory dir;
    std::string directory = dir.path() + "/folder.ini";
    ASSERT_EQ(mkdir(directory.c_str(), 0700), 0);
    const std::string paths[] = {dir.path() + "/missing.ini", directory, ""};
    for (const std::string& path : paths) {
        char buffer[16];
        read_profile_string("krelvashimon", "menu", "Explorer", buffer, sizeof buffer, path.c_str());
        EXPECT_STREQ(buffer, "Explorer") << path;
    }
}

TEST(profile_reader, long_lines_and_values_stay_within_the_buffer) {
    temp_directory dir;
    std::string huge(100 * 1024, 'v');
    std::string file = dir.write("t.ini", "[krelvashimon]\n" + std::string(100 * 1024, 'k') + "=1\nmenu=\"" + huge +
                                              "\"\nroot=" + huge);
    std::vector<char> buffer(255);
    read_profile_string("krelvashimon", "menu", "DEF", buffer.data(), 255, file.c_str());
    EXPECT_EQ(std::string(buffer.data()), huge.substr(0, 254));
    read_profile_string("krelvashimon", "root", "DEF", buffer.data(), 255, file.c_str());
    EXPECT_EQ(std::string(buffer.data()), huge.substr(0, 254));
}

}  // namespace
