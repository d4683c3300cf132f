#include "host/host_receiver.h"

std::string host_receiver::bounded(const char* text, std::size_t max) {
    std::string out;
    for (std::size_t i = 0; text && i < max && text[i]; ++i) out.push_back(text[i]);
    return out;
}

void host_receiver::append(const char* text, std::size_t max) {
    ++other_calls;
    text_ += bounded(text, max);
}

const char* host_receiver::get_text() const { return text_.c_str(); }

void host_receiver::assign(const char* text, std::size_t max) {
    ++assign_calls;
    text_ = bounded(text, max);
}

void host_receiver::truncate(std::size_t new_length) {
    ++other_calls;
    if (new_length < text_.size()) text_.resize(new_length);
}

std::size_t host_receiver::get_length() const { return text_.size(); }

char* host_receiver::open_buffer(std::size_t n) {
    ++other_calls;
    text_.assign(n + 1, '\0');
    return &text_[0];
}

void host_receiver::close_buffer() {
    ++other_calls;
    text_.resize(text_.find('\0') == std::string::npos ? text_.size() : text_.find('\0'));
}
