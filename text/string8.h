// The text-receiver interface shared with the host, and the component's own
// growable 8-bit string.
//
// string_receiver + string_base form one table of exactly seven operations,
// in slot order: append, get_text, assign, truncate, get_length, open_buffer,
// close_buffer. The table has no destructor: nobody destroys a string through
// the interface.
//
// string8_t invariants, outside the writing state (open_buffer..close_buffer):
//  1. A new string owns no storage and allocates nothing until written.
//  2. Once it has storage, storage[length] is NUL and the storage size lies
//     between length + 1 and length + 1 + shrink_slack (33 with the standard
//     policy); it keeps at least one byte until destroyed.
//  3. get_text of an empty string is empty_text, never null and never inside
//     the storage.
// Every write fits the storage with one rule (see fit_storage); a failed
// allocation leaves text, length and block as they were.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>

#include "text/search.h"
#include "text/storage.h"

namespace kvo {

// A maximum length of whole_text takes a text up to its terminator.
constexpr std::size_t whole_text = ~std::size_t(0);

class string_receiver {
public:
    virtual void append(const char* text, std::size_t max) = 0;

protected:
    ~string_receiver() = default;
};

class string_base : public string_receiver {
public:
    virtual const char* get_text() const = 0;
    virtual void assign(const char* text, std::size_t max) = 0;
    virtual void truncate(std::size_t new_length) = 0;
    virtual std::size_t get_length() const = 0;
    // At least n + 1 writable bytes, all zero.
    virtual char* open_buffer(std::size_t n) = 0;
    // The length becomes the bytes before the first NUL in the buffer.
    virtual void close_buffer() = 0;

protected:
    ~string_base() = default;
};

// Growth adds growth_spare bytes; the storage shrinks to an exact fit once
// more than shrink_slack bytes would be spare.
struct alloc_standard {
    static constexpr std::size_t growth_spare = 16;
    static constexpr std::size_t shrink_slack = 32;
};

template <class allocation_policy>
class string8_t : public string_base {
public:
    string8_t() = default;
    // If the assignment throws, the member storage frees what it allocated.
    string8_t(const char* text, std::size_t max) { assign(text, max); }
    ~string8_t() = default;
    string8_t(const string8_t&) = delete;
    string8_t& operator=(const string8_t&) = delete;

    void append(const char* text, std::size_t max) override {
        if (max != 0 && lies_in_storage(text)) {
            string8_t copy(text, max);
            string_receiver& self = *this;
            self.append(copy.get_text(), whole_text);
            return;
        }
        std::size_t n = bounded_length(text, max);
        fit_storage(add_checked(add_checked(length_, n), 1));
        if (n > 0) std::memcpy(storage_.data() + length_, text, n);
        length_ += n;
        storage_.data()[length_] = 0;
    }

    const char* get_text() const override {
        return length_ > 0 ? storage_.data() : empty_text;
    }

    void assign(const char* text, std::size_t max) override {
        if (max != 0 && lies_in_storage(text)) {
            string8_t copy(text, max);
            string_base& self = *this;
            self.assign(copy.get_text(), whole_text);
            return;
        }
        std::size_t n = bounded_length(text, max);
        fit_storage(add_checked(n, 1));
        if (n > 0) std::memcpy(storage_.data(), text, n);
        length_ = n;
        storage_.data()[length_] = 0;
    }

    void truncate(std::size_t new_length) override {
        if (new_length >= length_) return;
        length_ = new_length;
        storage_.data()[length_] = 0;
        fit_storage(length_ + 1);
    }

    std::size_t get_length() const override { return length_; }

    char* open_buffer(std::size_t n) override {
        fit_storage(add_checked(n, 1));
        std::memset(storage_.data(), 0, storage_.size());
        return storage_.data();
    }

    void close_buffer() override {
        if (storage_.data() == nullptr) {
            length_ = 0;
            return;
        }
        length_ = bounded_length(storage_.data(), storage_.size());
        fit_storage(add_checked(length_, 1));
        storage_.data()[length_] = 0;
    }

    const char_array& storage() const { return storage_; }

private:
    // A size that would wrap is as unsatisfiable as exhausted memory.
    static std::size_t add_checked(std::size_t a, std::size_t b) {
        if (a > ~std::size_t(0) - b) throw allocation_failure();
        return a + b;
    }

    bool lies_in_storage(const char* text) const {
        if (text == nullptr || storage_.data() == nullptr) return false;
        std::less_equal<const char*> at_or_before;
        std::less<const char*> before;
        return at_or_before(storage_.data(), text) &&
               before(text, storage_.data() + storage_.size());
    }

    void fit_storage(std::size_t required) {
        std::size_t current = storage_.size();
        if (current < required) {
            std::size_t grown = add_checked(required, allocation_policy::growth_spare);
            storage_.resize(grown, grown);
        } else if (current - required > allocation_policy::shrink_slack) {
            storage_.resize(required, required);
        }
    }

    char_array storage_;
    std::size_t length_ = 0;
};

using string8 = string8_t<alloc_standard>;

}  // namespace kvo
