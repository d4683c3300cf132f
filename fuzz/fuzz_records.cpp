// The record reader over arbitrary host stream bytes, with variables that
// read short, exactly, too far, or raise data errors. Each load must start
// right after its record's header; a normal end leaves the stream consumed;
// only data that ends inside a record may raise.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "frame/records.h"

class abort_token {};

namespace {

struct host_error {};

class memory_stream final : public stream_in {
public:
    memory_stream(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint32_t read(void* destination, std::uint32_t count, abort_token&) override {
        std::size_t left = size_ - position;
        std::uint32_t got = count < left ? count : static_cast<std::uint32_t>(left);
        if (got) std::memcpy(destination, data_ + position, got);
        position += got;
        return got;
    }
    void read_exact(void* destination, std::uint32_t count, abort_token& abort) override {
        if (read(destination, count, abort) != count) throw host_error();
    }
    std::uint64_t skip(std::uint64_t count, abort_token&) override {
        std::size_t left = size_ - position;
        std::uint64_t got = count < left ? count : left;
        position += static_cast<std::size_t>(got);
        return got;
    }
    void skip_exact(std::uint64_t count, abort_token& abort) override {
        if (skip(count, abort) != count) throw host_error();
    }
    std::size_t position = 0;

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

memory_stream* current;

class behaving_variable final : public persistent_variable {
public:
    behaving_variable(std::uint8_t id_byte, int behaviour) : persistent_variable(guid{}, nullptr), behaviour_(behaviour) {
        std::memset(&id, id_byte, sizeof id);
    }
    void save(stream_out&, abort_token&) override {}
    void load(stream_in& in, std::uint32_t size, abort_token& abort) override {
        starts.push_back(current->position);
        std::vector<std::uint8_t> scratch(size + 8u > 4096 ? 4096 : size + 8u);
        switch (behaviour_) {
        case 0: break;
        case 1: in.read(scratch.data(), static_cast<std::uint32_t>(scratch.size() / 2), abort); break;
        case 2: in.read_exact(scratch.data(), static_cast<std::uint32_t>(scratch.size()), abort); break;
        case 3: in.skip_exact(size + 1ull, abort); break;
        case 4: throw quelmodrin_io::exception_io_data();
        }
    }
    std::vector<std::size_t> starts;

private:
    int behaviour_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    behaving_variable a(data[0] & 0x0F, data[0] % 5), b(0x11, (data[0] >> 4) % 5), c(0xAB, 1);
    a.next = &b;
    b.next = &c;
    persistent_variable_list = &a;
    memory_stream in(data + 1, size - 1);
    current = &in;
    abort_token abort;
    bool raised = false;
    try {
        read_records(in, abort);
    } catch (const host_error&) {
        raised = true;
    } catch (const quelmodrin_io::exception_io_data_truncation&) {
        raised = true;
    }
    persistent_variable_list = nullptr;

    // Walk the same bytes with the format alone and compare.
    const std::uint8_t* stream = data + 1;
    std::size_t total = size - 1, at = 0;
    std::vector<std::size_t> claimed_starts;
    bool ends_inside = false;
    while (total - at >= 16) {
        if (total - at < 20) {
            ends_inside = true;
            break;
        }
        std::uint32_t length = stream[at + 16] | stream[at + 17] << 8 | stream[at + 18] << 16 |
                               static_cast<std::uint32_t>(stream[at + 19]) << 24;
        bool claimed = std::memcmp(stream + at, &a.id, 16) == 0 || std::memcmp(stream + at, &b.id, 16) == 0 ||
                       std::memcmp(stream + at, &c.id, 16) == 0;
        if (claimed) claimed_starts.push_back(at + 20);
        if (total - at - 20 < length) {
            ends_inside = true;
            break;
        }
        at += 20 + length;
    }
    if (raised != ends_inside) std::abort();
    if (!raised && in.position != total) std::abort();
    std::vector<std::size_t> starts = a.starts;
    starts.insert(starts.end(), b.starts.begin(), b.starts.end());
    starts.insert(starts.end(), c.starts.begin(), c.starts.end());
    if (starts.size() != claimed_starts.size()) std::abort();
    for (std::size_t s : starts) {
        bool known = false;
        for (std::size_t expected : claimed_starts) known |= s == expected;
        if (!known) std::abort();
    }
    return 0;
}
