#include "text/storage.h"

#include <cstdlib>
#include <cstring>

const char empty_text[1] = {0};

namespace {
void* reallocate_with_crt(void* block, std::size_t count) { return std::realloc(block, count); }
reallocate_function current_reallocate = reallocate_with_crt;
}  // namespace

reallocate_function set_reallocate_function(reallocate_function replacement) {
    reallocate_function previous = current_reallocate;
    current_reallocate = replacement ? replacement : reallocate_with_crt;
    return previous;
}

void* raw_realloc(void* block, std::size_t count) {
    if (count == 0) {
        std::free(block);
        return nullptr;
    }
    void* result = current_reallocate(block, count);
    if (result == nullptr) throw allocation_failure();
    return result;
}

std::size_t text_length(const char* text) { return std::strlen(text); }

std::size_t bounded_length(const char* text, std::size_t max) {
    if (text == nullptr) return 0;
    std::size_t length = 0;
    while (length < max && text[length] != 0) ++length;
    return length;
}

char_array::~char_array() { release(); }

void char_array::release() {
    size_ = 0;
    set_capacity(0);
}

void char_array::set_capacity(std::size_t count) {
    if (count == capacity_) return;
    data_ = static_cast<char*>(raw_realloc(data_, count));
    capacity_ = count;
}

void char_array::resize(std::size_t new_size, std::size_t new_capacity) {
    if (new_capacity > capacity_) {
        set_capacity(new_capacity);
        size_ = new_size;
    } else {
        size_ = new_size;
        set_capacity(new_capacity);
    }
}

void char_array::assign_text(const char* text) {
    std::size_t length = text_length(text);
    resize(length + 1, length + 1);
    std::memcpy(data_, text, length);
    data_[length] = 0;
}
