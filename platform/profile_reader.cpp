#include "platform/profile_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

#include "platform/code_page_1252.h"
#include "platform/utf8_decoder.h"

namespace {

bool is_blank(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_name(const char* stored, const char* wanted, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i)
        if (fold(stored[i]) != fold(wanted[i])) return false;
    return true;
}

// Collects a trimmed name (section or key) in a fixed buffer; only a name of
// the wanted length is ever compared, so longer names need not be kept.
class name_collector {
public:
    explicit name_collector(std::size_t wanted_length) : wanted_length_(wanted_length) {}

    void reset() { seen_ = trimmed_end_ = 0; }

    void add(char c) {
        if (seen_ == 0 && is_blank(static_cast<unsigned char>(c))) return;
        if (seen_ < sizeof bytes_) bytes_[seen_] = c;
        ++seen_;
        if (!is_blank(static_cast<unsigned char>(c))) trimmed_end_ = seen_;
    }

    // Trimmed length so far, for headers that close at a later "]".
    std::size_t trimmed_end() const { return trimmed_end_; }

    bool equals(const char* wanted, std::size_t name_end) const {
        return name_end == wanted_length_ && wanted_length_ <= sizeof bytes_ &&
               same_name(bytes_, wanted, wanted_length_);
    }

private:
    char bytes_[256];
    std::size_t wanted_length_;
    std::size_t seen_ = 0;
    std::size_t trimmed_end_ = 0;
};

// Collects a value: leading blanks dropped, trailing blanks trimmed at the
// end, one pair of enclosing quotes removed, then cut to the caller's size.
class value_collector {
public:
    value_collector(char* stored, std::size_t keep) : stored_(stored), keep_(keep) {}

    void add(char c) {
        if (seen_ == 0 && is_blank(static_cast<unsigned char>(c))) return;
        if (seen_ < keep_) stored_[seen_] = c;
        ++seen_;
        if (!is_blank(static_cast<unsigned char>(c))) {
            trimmed_end_ = seen_;
            last_ = c;
        }
    }

    // Copies the finished value into buffer (size > 0); returns its length.
    std::uint32_t finish(char* buffer, std::uint32_t size) const {
        std::size_t start = 0;
        std::size_t length = trimmed_end_;
        char first = length > 0 ? stored_[0] : 0;
        if (length >= 2 && (first == '"' || first == '\'') && last_ == first) {
            start = 1;
            length -= 2;
        }
        if (length > size - 1) length = size - 1;
        std::memmove(buffer, stored_ + start, length);
        buffer[length] = 0;
        return static_cast<std::uint32_t>(length);
    }

private:
    char* stored_;
    std::size_t keep_;
    std::size_t seen_ = 0;
    std::size_t trimmed_end_ = 0;
    char last_ = 0;
};

enum class line_kind { undecided, header, key, value, ignored };

// The lines both scans read: a line ends at CR or LF and a NUL ends its
// text; blanks before its first character are passed over, "[" there opens
// a header, and Scan::first_kind() tells what any other line is. From there
// on Scan takes the line's characters through feed_text() and its end
// through finish_line(); each returns false once the scan is done.
template <class Scan>
class line_scan {
public:
    // False once the scan is done.
    bool feed(char c) {
        if (c == '\n' || c == '\r') return end_line();
        if (line_ended_) return true;
        if (c == 0) {
            line_ended_ = true;
            return true;
        }
        if (kind_ == line_kind::undecided) {
            if (is_blank(static_cast<unsigned char>(c))) return true;
            if (c == '[') {
                kind_ = line_kind::header;
                return true;
            }
            kind_ = scan().first_kind();
        }
        return kind_ == line_kind::ignored || scan().feed_text(c);
    }

    // False once the scan is done.
    bool end_line() {
        bool go_on = scan().finish_line();
        kind_ = line_kind::undecided;
        line_ended_ = false;
        return go_on;
    }

    // While true, the rest of the line can be passed over unread.
    bool ignoring_line() const { return kind_ == line_kind::ignored || line_ended_; }

protected:
    line_kind kind_ = line_kind::undecided;

private:
    Scan& scan() { return static_cast<Scan&>(*this); }

    bool line_ended_ = false;
};

class profile_scan : public line_scan<profile_scan> {
public:
    profile_scan(const char* section, const char* key, char* buffer, std::uint32_t size)
        : section_(section),
          section_length_(std::strlen(section)),
          key_(key),
          key_length_(std::strlen(key)),
          header_(section_length_),
          key_name_(key_length_),
          value_(buffer, size),
          buffer_(buffer),
          size_(size),
          in_section_(section_length_ == 0) {}

    bool found() const { return found_; }
    std::uint32_t found_length() const { return found_length_; }

private:
    friend class line_scan<profile_scan>;
    static constexpr std::size_t no_bracket = ~std::size_t(0);

    line_kind first_kind() const { return line_kind::key; }

    bool feed_text(char c) {
        switch (kind_) {
        case line_kind::header:
            if (c == ']') header_end_ = header_.trimmed_end();
            header_.add(c);
            return true;
        case line_kind::key:
            if (c == '=') {
                bool wanted = in_section_ && key_name_.equals(key_, key_name_.trimmed_end());
                kind_ = wanted ? line_kind::value : line_kind::ignored;
            } else {
                key_name_.add(c);
                // Outside the section, or past the wanted name's length, the
                // line cannot be the one asked for.
                if (!in_section_ || key_name_.trimmed_end() > key_length_) kind_ = line_kind::ignored;
            }
            return true;
        case line_kind::value:
            value_.add(c);
            return true;
        default:
            return true;
        }
    }

    bool finish_line() {
        bool go_on = true;
        if (kind_ == line_kind::header && header_end_ != no_bracket) {
            bool named = header_.equals(section_, header_end_);
            if (in_section_) {
                in_section_ = false;
                go_on = false;
            } else if (named) {
                in_section_ = true;
            }
        } else if (kind_ == line_kind::key && in_section_ &&
                   key_name_.equals(key_, key_name_.trimmed_end())) {
            go_on = false;
        } else if (kind_ == line_kind::value) {
            found_length_ = value_.finish(buffer_, size_);
            found_ = true;
            go_on = false;
        }
        header_.reset();
        key_name_.reset();
        header_end_ = no_bracket;
        return go_on;
    }

    const char* section_;
    std::size_t section_length_;
    const char* key_;
    std::size_t key_length_;
    name_collector header_;
    name_collector key_name_;
    value_collector value_;
    char* buffer_;
    std::uint32_t size_;
    bool in_section_;
    std::size_t header_end_ = no_bracket;
    bool found_ = false;
    std::uint32_t found_length_ = 0;
};

// Lists names the way the platform's profile function does when the section
// or the key is left out:
//  - sections: every header with a non-empty name, repeats included, each
//    followed by a NUL; a name that does not fit is cut and the list ends
//    there, with size - 2 as the count;
//  - keys: the names of the first section of that name, for lines with "="
//    that are not comments (";"), empty names included; while at least
//    three bytes remain, each name is cut to what fits before a NUL, and a
//    list that ran out of room counts size - 2.
// The count covers the names and their NULs; one more NUL follows it.
class names_scan : public line_scan<names_scan> {
public:
    names_scan(const char* section, char* buffer, std::uint32_t size)
        : section_(section),
          section_length_(section ? std::strlen(section) : 0),
          header_(section_length_),
          buffer_(buffer),
          size_(size),
          in_section_(section != nullptr && section_length_ == 0) {}

    // The count, with the terminator after it; found() is false when a key
    // list came out empty, where the platform gives the fallback instead.
    std::uint32_t finish() {
        std::uint32_t count = full_ ? size_ - 2 : written_;
        buffer_[count] = 0;
        return count;
    }
    bool found() const { return !listing_keys() || (size_ > 2 && written_ > 0 && buffer_[0] != 0); }

private:
    friend class line_scan<names_scan>;
    static constexpr std::size_t no_bracket = ~std::size_t(0);

    line_kind first_kind() const { return listing_keys() && in_section_ ? line_kind::key : line_kind::ignored; }

    bool feed_text(char c) {
        switch (kind_) {
        case line_kind::header:
            if (c == ']') header_end_ = name_end_;
            if (listing_keys()) header_.add(c);
            add_to_name(c);
            return true;
        case line_kind::key:
            if (c == '=') {
                has_value_ = true;
                kind_ = line_kind::ignored;
            } else {
                add_to_name(c);
            }
            return true;
        default:
            return true;
        }
    }

    bool finish_line() {
        bool go_on = true;
        if (kind_ == line_kind::header && header_end_ != no_bracket) {
            if (!listing_keys()) {
                if (header_end_ > 0) go_on = add_section_name(header_end_);
            } else if (in_section_) {
                go_on = false;
            } else if (header_.equals(section_, header_end_)) {
                in_section_ = true;
            }
        } else if (has_value_ && !(name_seen_ > 0 && buffer_[written_] == ';')) {
            go_on = add_key_name();
        }
        header_.reset();
        has_value_ = false;
        name_seen_ = name_end_ = 0;
        header_end_ = no_bracket;
        return go_on;
    }

    bool listing_keys() const { return section_ != nullptr; }

    // The name so far goes straight into the free part of the buffer; only
    // as much as could ever be kept is stored.
    void add_to_name(char c) {
        if (name_seen_ == 0 && is_blank(static_cast<unsigned char>(c))) return;
        std::size_t room = size_ - written_;
        if (name_seen_ < room) buffer_[written_ + name_seen_] = c;
        ++name_seen_;
        if (!is_blank(static_cast<unsigned char>(c))) name_end_ = name_seen_;
    }

    bool add_section_name(std::size_t length) {
        std::size_t room = size_ - 1 - written_;
        if (length + 1 >= room) {
            full_ = true;
            return false;
        }
        buffer_[written_ + length] = 0;
        written_ += static_cast<std::uint32_t>(length + 1);
        return true;
    }

    bool add_key_name() {
        std::size_t left = size_ - written_;
        if (left <= 2) {
            full_ = true;
            return false;
        }
        std::size_t length = name_end_ < left - 2 ? name_end_ : left - 2;
        buffer_[written_ + length] = 0;
        written_ += static_cast<std::uint32_t>(length + 1);
        left -= length + 1;
        if (left <= 1) full_ = true;
        return left >= 2;
    }

    const char* section_;
    std::size_t section_length_;
    name_collector header_;
    char* buffer_;
    std::uint32_t size_;
    std::uint32_t written_ = 0;
    bool full_ = false;
    bool in_section_;
    bool has_value_ = false;
    std::size_t name_seen_ = 0;
    std::size_t name_end_ = 0;
    std::size_t header_end_ = no_bracket;
};

// Turns the file's bytes into the scan's characters. A file with a
// byte-order mark is text in UTF-8 or UTF-16 (either byte order), decoded
// to code page 1252 as the platform does; any other file is taken byte for
// byte, and lines the scan has no use for are passed over without feeding
// them byte by byte.
class byte_decoder {
public:
    // False once the scan has its answer.
    template <class Scan>
    bool feed(Scan& scan, const unsigned char* bytes, std::size_t count) {
        std::size_t i = at_start_ ? skip_byte_order_mark(bytes, count) : 0;
        at_start_ = false;
        switch (encoding_) {
        case encoding::narrow: return feed_narrow(scan, bytes, i, count);
        case encoding::utf8: return feed_utf8(scan, bytes, i, count);
        default: return feed_utf16(scan, bytes, i, count);
        }
    }

    // The end of the file; false once the scan has its answer.
    template <class Scan>
    bool finish(Scan& scan) {
        bool go_on = true;
        utf8_.finish(unit_feeder(scan, go_on));
        return go_on;
    }

private:
    enum class encoding { narrow, utf8, utf16_little_endian, utf16_big_endian };

    std::size_t skip_byte_order_mark(const unsigned char* bytes, std::size_t count) {
        if (count >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
            encoding_ = encoding::utf8;
            return 3;
        }
        if (count >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
            encoding_ = encoding::utf16_little_endian;
            return 2;
        }
        if (count >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
            encoding_ = encoding::utf16_big_endian;
            return 2;
        }
        return 0;
    }

    template <class Scan>
    static bool feed_narrow(Scan& scan, const unsigned char* bytes, std::size_t i, std::size_t count) {
        for (; i < count; ++i) {
            if (scan.ignoring_line()) {
                while (i < count && bytes[i] != '\n' && bytes[i] != '\r') ++i;
                if (i == count) return true;
            }
            if (!scan.feed(static_cast<char>(bytes[i]))) return false;
        }
        return true;
    }

    // Hands decoded units to the scan as code page 1252 until it is done.
    template <class Scan>
    static auto unit_feeder(Scan& scan, bool& go_on) {
        return [&scan, &go_on](std::uint16_t unit) {
            go_on = go_on && scan.feed(static_cast<char>(code_page_1252_byte(unit)));
        };
    }

    template <class Scan>
    bool feed_utf8(Scan& scan, const unsigned char* bytes, std::size_t i, std::size_t count) {
        bool go_on = true;
        auto to_scan = unit_feeder(scan, go_on);
        for (; i < count && go_on; ++i) utf8_.feed(bytes[i], to_scan);
        return go_on;
    }

    template <class Scan>
    bool feed_utf16(Scan& scan, const unsigned char* bytes, std::size_t i, std::size_t count) {
        for (; i < count; ++i) {
            if (pending_first_ < 0) {
                pending_first_ = bytes[i];
                continue;
            }
            unsigned first = static_cast<unsigned>(pending_first_), second = bytes[i];
            pending_first_ = -1;
            bool little_endian = encoding_ == encoding::utf16_little_endian;
            auto unit = static_cast<std::uint16_t>(little_endian ? first | second << 8 : first << 8 | second);
            if (!scan.feed(static_cast<char>(code_page_1252_byte(unit)))) return false;
        }
        return true;
    }

    bool at_start_ = true;
    encoding encoding_ = encoding::narrow;
    utf8_decoder utf8_;
    int pending_first_ = -1;  // first byte of a UTF-16 unit split across reads
};

std::uint32_t copy_fallback(const char* fallback, char* buffer, std::uint32_t size) {
    std::size_t length = fallback ? std::strlen(fallback) : 0;
    if (length > size - 1) length = size - 1;
    if (length > 0) std::memcpy(buffer, fallback, length);
    buffer[length] = 0;
    return static_cast<std::uint32_t>(length);
}

// Feeds the file to the scan until it has its answer; false when the file
// cannot be opened.
template <class Scan>
bool scan_file(const char* file, Scan& scan) {
    int stream = open(file, O_RDONLY | O_CLOEXEC);
    if (stream < 0) return false;
    byte_decoder decoder;
    unsigned char chunk[4096];
    bool go_on = true;
    ssize_t got;
    while (go_on && (got = read(stream, chunk, sizeof chunk)) > 0)
        go_on = decoder.feed(scan, chunk, static_cast<std::size_t>(got));
    if (go_on && decoder.finish(scan)) scan.end_line();
    close(stream);
    return true;
}

std::uint32_t read_names(const char* section, const char* fallback, char* buffer, std::uint32_t size,
                         const char* file) {
    if (size == 1) {
        buffer[0] = 0;
        return 0;
    }
    names_scan scan(section, buffer, size);
    if (scan_file(file, scan) && scan.found()) return scan.finish();
    if (section) return copy_fallback(fallback, buffer, size);
    buffer[0] = 0;
    return 0;
}

}  // namespace

std::uint32_t read_profile_string(const char* section, const char* key, const char* fallback,
                                  char* buffer, std::uint32_t size, const char* file) {
    if (buffer == nullptr || size == 0) return 0;
    if (file == nullptr) return copy_fallback(fallback, buffer, size);
    if (section == nullptr || key == nullptr) return read_names(section, fallback, buffer, size, file);

    // The value is assembled in the caller's buffer: with an opening quote
    // the kept characters start one byte in, so size bytes always suffice.
    profile_scan scan(section, key, buffer, size);
    if (scan_file(file, scan) && scan.found()) return scan.found_length();
    return copy_fallback(fallback, buffer, size);
}
