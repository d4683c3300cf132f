#include "frame/records.h"

#include <cstring>

#include "text/storage.h"

persistent_variable* persistent_variable_list = nullptr;

void byte_buffer::set_size(std::uint32_t n) {
    std::uint32_t target_capacity = capacity ? capacity : 1;
    while (target_capacity < n) {
        if (target_capacity >= 0x80000000u) throw allocation_failure();
        target_capacity *= 2;
    }
    if (target_capacity > capacity) set_capacity(target_capacity);
    size = n;
}

void byte_buffer::set_capacity(std::uint32_t n) {
    if (n == capacity) return;
    data = static_cast<std::uint8_t*>(raw_realloc(data, n));
    capacity = n;
}

void buffer_writer::write(const void* source, std::uint32_t count, abort_token&) {
    std::uint32_t old_size = target->size;
    if (count > 0xFFFFFFFFu - old_size) throw allocation_failure();
    target->set_size(old_size + count);
    if (count > 0) std::memcpy(target->data + old_size, source, count);
}

std::uint32_t bounded_reader::read(void* destination, std::uint32_t count, abort_token& abort) {
    std::uint32_t asked = count < remaining ? count : remaining;
    std::uint32_t delivered = inner.read(destination, asked, abort);
    remaining -= delivered;
    return delivered;
}

void bounded_reader::read_exact(void* destination, std::uint32_t count, abort_token& abort) {
    stream_in& self = *this;
    if (self.read(destination, count, abort) != count)
        throw quelmodrin_io::exception_io_data_truncation();
}

std::uint64_t bounded_reader::skip(std::uint64_t count, abort_token& abort) {
    if (count == 0) return 0;
    stream_in& self = *this;
    std::uint8_t scratch[256];
    std::uint64_t total = 0;
    for (;;) {
        std::uint32_t chunk = count < sizeof scratch ? static_cast<std::uint32_t>(count)
                                                     : static_cast<std::uint32_t>(sizeof scratch);
        std::uint32_t delivered = self.read(scratch, chunk, abort);
        total += delivered;
        count -= delivered;
        if (delivered < chunk || count == 0) return total;
    }
}

void bounded_reader::skip_exact(std::uint64_t count, abort_token& abort) {
    stream_in& self = *this;
    if (self.skip(count, abort) != count) throw quelmodrin_io::exception_io_data_truncation();
}

namespace {

void store_le32(std::uint8_t* bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t load_le32(const std::uint8_t* bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return value;
}

persistent_variable* variable_claiming(const std::uint8_t (&identifier)[16]) {
    for (persistent_variable* v = persistent_variable_list; v; v = v->next) {
        if (std::memcmp(&v->id, identifier, sizeof identifier) == 0) return v;
    }
    return nullptr;
}

}  // namespace

void write_records(stream_out& out, abort_token& abort) {
    byte_buffer buffer;
    buffer_writer writer(buffer);
    for (persistent_variable* v = persistent_variable_list; v; v = v->next) {
        buffer.set_size(0);
        v->save(writer, abort);
        out.write(&v->id, sizeof v->id, abort);
        std::uint8_t size_field[4];
        store_le32(size_field, buffer.size);
        out.write(size_field, sizeof size_field, abort);
        if (buffer.size > 0) out.write(buffer.data, buffer.size, abort);
    }
    buffer.size = 0;
}

void read_records(stream_in& in, abort_token& abort) {
    for (;;) {
        std::uint8_t identifier[16];
        if (in.read(identifier, sizeof identifier, abort) != sizeof identifier) return;
        std::uint8_t size_field[4];
        in.read_exact(size_field, sizeof size_field, abort);
        std::uint32_t size = load_le32(size_field);

        persistent_variable* owner = variable_claiming(identifier);
        if (owner == nullptr) {
            in.skip_exact(size, abort);
            continue;
        }
        bounded_reader record(in, size);
        try {
            owner->load(record, size, abort);
        } catch (const quelmodrin_io::exception_io_data&) {
            // A variable's own format error: keep what it loaded, move on.
        }
        if (record.remaining > 0) {
            stream_in& record_stream = record;
            record_stream.skip_exact(record.remaining, abort);
        }
    }
}
