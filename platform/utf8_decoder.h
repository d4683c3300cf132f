// UTF-8 to UTF-16 as the platform's own conversion does it, for settings
// files that start with a UTF-8 byte-order mark. Bytes come one at a time,
// so a sequence may straddle reads; a sequence is decoded once as many
// bytes as its lead promises have arrived, or the text has ended.
//
// Invariants, as measured against the platform:
//  - a valid sequence gives its character (two units beyond U+FFFF);
//  - a byte that cannot start a sequence (80..C1, F5..FF) gives U+FFFD;
//  - a sequence broken by a byte that is no continuation gives one U+FFFD,
//    and that byte starts afresh;
//  - an overlong form, a surrogate or a value beyond U+10FFFF is known by
//    its second byte, which is taken with the lead into one U+FFFD;
//  - a lead with fewer bytes after it than it promises, at the end of the
//    text, takes the rest of the text into one U+FFFD.
#pragma once

#include <cstdint>

class utf8_decoder {
public:
    static constexpr std::uint16_t replacement = 0xFFFD;

    // Calls emit(unit) for every UTF-16 unit that byte completes.
    template <class Emit>
    void feed(unsigned char byte, Emit&& emit) {
        if (held_ == 0) {
            if (byte < 0x80) {
                emit(byte);
                return;
            }
            length_ = sequence_length(byte);
            if (length_ == 0) {
                emit(replacement);
                return;
            }
        }
        bytes_[held_++] = byte;
        if (held_ < length_) return;
        unsigned char sequence[4];
        int count = held_;
        for (int i = 0; i < count; ++i) sequence[i] = bytes_[i];
        held_ = 0;
        for (int i = decode(sequence, count, emit); i < count; ++i) feed(sequence[i], emit);
    }

    // The end of the text.
    template <class Emit>
    void finish(Emit&& emit) {
        if (held_ > 0) emit(replacement);
        held_ = 0;
    }

private:
    // Bytes a sequence starting with lead takes; 0 when lead starts none.
    static int sequence_length(unsigned char lead) {
        if (lead >= 0xC2 && lead <= 0xDF) return 2;
        if (lead >= 0xE0 && lead <= 0xEF) return 3;
        if (lead >= 0xF0 && lead <= 0xF4) return 4;
        return 0;
    }

    // Decodes a whole sequence; returns how many of its bytes it took.
    template <class Emit>
    static int decode(const unsigned char* sequence, int count, Emit& emit) {
        std::uint32_t value = sequence[0] & (count == 2 ? 0x1F : count == 3 ? 0x0F : 0x07);
        for (int i = 1; i < count; ++i) {
            if ((sequence[i] & 0xC0) != 0x80) {
                emit(replacement);
                return i;
            }
            value = value << 6 | (sequence[i] & 0x3F);
            if (i == 1 && !plausible_start(value, count)) {
                emit(replacement);
                return 2;
            }
        }
        if (value < 0x10000) {
            emit(static_cast<std::uint16_t>(value));
        } else {
            value -= 0x10000;
            emit(static_cast<std::uint16_t>(0xD800 | value >> 10));
            emit(static_cast<std::uint16_t>(0xDC00 | (value & 0x3FF)));
        }
        return count;
    }

    // The bits of the first two bytes: no overlong form, no surrogate,
    // nothing past U+10FFFF.
    static bool plausible_start(std::uint32_t bits, int count) {
        if (count == 3) return bits >= 0x20 && !(bits >= 0x360 && bits < 0x380);
        if (count == 4) return bits >= 0x10 && bits < 0x110;
        return true;
    }

    unsigned char bytes_[4] = {};
    int held_ = 0;
    int length_ = 0;
};
