// The host's own text receiver: the seven-slot table over a std::string,
// written independently of the component's string so that a fault in one
// cannot hide in the other.
#pragma once

#include <string>

#include "text/string8.h"

class host_receiver final : public kvo::string_base {
public:
    void append(const char* text, std::size_t max) override;
    const char* get_text() const override;
    void assign(const char* text, std::size_t max) override;
    void truncate(std::size_t new_length) override;
    std::size_t get_length() const override;
    char* open_buffer(std::size_t n) override;
    void close_buffer() override;

    const std::string& text() const { return text_; }
    int assign_calls = 0;
    int other_calls = 0;

private:
    static std::string bounded(const char* text, std::size_t max);
    std::string text_;
};
