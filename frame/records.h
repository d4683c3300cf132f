// The persistent-settings record stream.
//
// A record is a 16-byte identifier, a 32-bit little-endian payload size, and
// the payload; records lie end to end with nothing else in the stream.
// write_records emits one record per registered variable in registry order;
// read_records hands each record to the first variable with the same
// identifier, steps over the rest, and always leaves the stream at the start
// of the next record, whatever a variable's load consumed.
//
// The component itself registers no variable: persistent_variable_list stays
// null, so writing emits nothing and reading skips every record.
#pragma once

#include <cstdint>
#include <exception>

#include "frame/guid.h"

namespace quelmodrin_io {

class exception_io : public std::exception {};
class exception_io_data : public exception_io {};
class exception_io_data_truncation : public exception_io_data {
public:
    const char* what() const noexcept override { return "Unsupported format or corrupted file"; }
};

}  // namespace quelmodrin_io

// The host's cancellation object: passed along by reference, never examined.
class abort_token;

class stream_in {
public:
    // Fewer bytes than asked only where the data ends.
    virtual std::uint32_t read(void* destination, std::uint32_t count, abort_token& abort) = 0;
    virtual void read_exact(void* destination, std::uint32_t count, abort_token& abort) = 0;
    virtual std::uint64_t skip(std::uint64_t count, abort_token& abort) = 0;
    virtual void skip_exact(std::uint64_t count, abort_token& abort) = 0;

protected:
    ~stream_in() = default;
};

class stream_out {
public:
    // Writes every byte or raises.
    virtual void write(const void* source, std::uint32_t count, abort_token& abort) = 0;

protected:
    ~stream_out() = default;
};

class persistent_variable {
public:
    virtual void save(stream_out& out, abort_token& abort) = 0;
    virtual void load(stream_in& in, std::uint32_t size, abort_token& abort) = 0;

    guid id;
    persistent_variable* next;

protected:
    persistent_variable(const guid& identifier, persistent_variable* following)
        : id(identifier), next(following) {}
    ~persistent_variable() = default;
};

extern persistent_variable* persistent_variable_list;

// Growable bytes; capacity is 0 or a power of two and never below size.
class byte_buffer {
public:
    byte_buffer() = default;
    ~byte_buffer() { set_capacity(0); }
    byte_buffer(const byte_buffer&) = delete;
    byte_buffer& operator=(const byte_buffer&) = delete;

    // Doubles from max(capacity, 1); never shrinks; sizes above 2^31 fail.
    void set_size(std::uint32_t n);
    void set_capacity(std::uint32_t n);

    std::uint8_t* data = nullptr;
    std::uint32_t size = 0;
    std::uint32_t capacity = 0;
};

// A stream_in limited to the payload of one record.
class bounded_reader : public stream_in {
public:
    bounded_reader(stream_in& inner_stream, std::uint32_t record_size)
        : inner(inner_stream), remaining(record_size) {}

    std::uint32_t read(void* destination, std::uint32_t count, abort_token& abort) override;
    void read_exact(void* destination, std::uint32_t count, abort_token& abort) override;
    // Always reads through the object's own read, in chunks of at most 256
    // bytes; the inner stream's skip is never used inside a record.
    std::uint64_t skip(std::uint64_t count, abort_token& abort) override;
    void skip_exact(std::uint64_t count, abort_token& abort) override;

    stream_in& inner;
    std::uint32_t remaining;
};

// A stream_out that collects into a byte_buffer.
class buffer_writer : public stream_out {
public:
    explicit buffer_writer(byte_buffer& buffer) : target(&buffer) {}
    void write(const void* source, std::uint32_t count, abort_token& abort) override;

    byte_buffer* target;
};

void write_records(stream_out& out, abort_token& abort);
void read_records(stream_in& in, abort_token& abort);
