// Storage primitives beneath every text and buffer of the component.
//
// Invariants:
//  - raw_realloc is the only place that allocates; exhaustion raises
//    std::bad_alloc whose what() is "bad allocation", and the caller's block
//    stays valid and unchanged.
//  - char_array: size <= capacity; data is null exactly when capacity is 0.
//    A zeroed char_array is a valid empty one, so static instances need no
//    construction step.
//  - empty_text is one shared, read-only NUL byte.
#pragma once

#include <cstddef>
#include <new>

extern const char empty_text[1];

// std::bad_alloc carrying the message that hosts display.
class allocation_failure : public std::bad_alloc {
public:
    const char* what() const noexcept override { return "bad allocation"; }
};

// (null, 0): nothing, null. (null, n): allocate. (block, 0): free, null.
// (block, n): reallocate, content kept up to the smaller size.
void* raw_realloc(void* block, std::size_t count);

// The underlying reallocation that raw_realloc performs for a non-zero count.
// Tests and benchmarks swap it to inject failures or count calls; it returns
// the previous function. Not thread-safe: set it before use.
using reallocate_function = void* (*)(void* block, std::size_t count);
reallocate_function set_reallocate_function(reallocate_function replacement);

// Bytes before the first NUL. text must not be null.
std::size_t text_length(const char* text);

// Bytes before the first NUL but at most max; 0 for a null text. Bytes past
// the bounded length are never read.
std::size_t bounded_length(const char* text, std::size_t max);

class char_array {
public:
    constexpr char_array() = default;
    ~char_array();
    char_array(const char_array&) = delete;
    char_array& operator=(const char_array&) = delete;

    char* data() const { return data_; }
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }

    // Reallocates only when count differs; on failure nothing changes.
    void set_capacity(std::size_t count);
    // Orders the two steps so size never exceeds capacity, even on failure.
    // New bytes are not initialised.
    void resize(std::size_t new_size, std::size_t new_capacity);
    // Exact-size copy of text and its terminator. text must not be null and
    // must not lie in this array.
    void assign_text(const char* text);
    // Frees the block: size 0, then capacity 0.
    void release();

private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};
