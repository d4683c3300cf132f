// A reference model of the growable string: its text and the storage size
// that the sizing rule gives, for tests and fuzzers that drive a string8_t
// alongside it.
#pragma once

#include <string>

struct string_model {
    std::string text;
    std::size_t storage = 0;

    void fit(std::size_t required) {
        if (storage < required) storage = required + 16;
        else if (storage - required > 32) storage = required;
    }
    void append(const std::string& added) {
        text += added;
        fit(text.size() + 1);
    }
    void assign(const std::string& added) {
        text = added;
        fit(text.size() + 1);
    }
    void truncate(std::size_t length) {
        if (length >= text.size()) return;
        text.resize(length);
        fit(length + 1);
    }
    void buffer(std::size_t n, const std::string& written) {
        fit(n + 1);
        assign(written);
    }
};
