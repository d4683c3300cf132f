#include <gtest/gtest.h>

#include <functional>

#include "frame/records.h"
#include "tests/test_support.h"

namespace {

using call_list = std::vector<stream_call>;

std::vector<std::uint8_t> record(std::uint8_t id_byte, std::vector<std::uint8_t> payload) {
    std::vector<std::uint8_t> out(16, id_byte);
    std::uint32_t size = static_cast<std::uint32_t>(payload.size());
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

std::vector<std::uint8_t> joined(std::initializer_list<std::vector<std::uint8_t>> parts) {
    std::vector<std::uint8_t> out;
    for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

guid id_of(std::uint8_t byte) {
    guid id;
    std::memset(&id, byte, sizeof id);
    return id;
}

// A variable whose save and load are given by the test; registered for the
// lifetime of the object and unregistered afterwards.
class test_variable final : public persistent_variable {
public:
    std::function<void(stream_out&, abort_token&)> on_save = [](stream_out&, abort_token&) {};
    std::function<void(stream_in&, std::uint32_t, abort_token&)> on_load =
        [](stream_in&, std::uint32_t, abort_token&) {};
    std::vector<std::uint32_t> loaded_sizes;

    explicit test_variable(std::uint8_t id_byte) : persistent_variable(id_of(id_byte), nullptr) {}
    void save(stream_out& out, abort_token& abort) override { on_save(out, abort); }
    void load(stream_in& in, std::uint32_t size, abort_token& abort) override {
        loaded_sizes.push_back(size);
        on_load(in, size, abort);
    }
};

// Registers variables in the order given (the first at the head) while alive.
class registry_scope {
public:
    explicit registry_scope(std::vector<persistent_variable*> variables) {
        for (std::size_t i = 0; i < variables.size(); ++i)
            variables[i]->next = i + 1 < variables.size() ? variables[i + 1] : nullptr;
        persistent_variable_list = variables.empty() ? nullptr : variables[0];
    }
    ~registry_scope() { persistent_variable_list = nullptr; }
};

abort_token abort_flag;

TEST(write_records, empty_registry_writes_and_allocates_nothing) {
    allocation_probe probe;
    recording_stream_out out;
    write_records(out, abort_flag);
    EXPECT_TRUE(out.writes.empty());
    EXPECT_EQ(probe.calls(), 0);
}

TEST(write_records, one_record_per_variable_in_registry_order_with_duplicates) {
    test_variable first(0x11), silent(0x22), twin(0x11);
    first.on_save = [](stream_out& out, abort_token& abort) {
        out.write("hello", 5, abort);
        out.write(" world", 6, abort);
    };
    twin.on_save = [](stream_out& out, abort_token& abort) { out.write("x", 1, abort); };
    registry_scope scope({&first, &silent, &twin});
    recording_stream_out out;
    write_records(out, abort_flag);
    EXPECT_EQ(out.writes, (std::vector<std::uint32_t>{16, 4, 11, 16, 4, 16, 4, 1}));
    auto expected = joined({record(0x11, bytes_of("hello world")), record(0x22, {}), record(0x11, bytes_of("x"))});
    EXPECT_EQ(out.bytes, expected);
}

TEST(write_records, size_field_is_little_endian) {
    test_variable big(0x33);
    big.on_save = [](stream_out& out, abort_token& abort) {
        std::vector<std::uint8_t> payload(0x0102, 7);
        out.write(payload.data(), static_cast<std::uint32_t>(payload.size()), abort);
    };
    registry_scope scope({&big});
    recording_stream_out out;
    write_records(out, abort_flag);
    ASSERT_GE(out.bytes.size(), 20u);
    EXPECT_EQ(out.bytes[16], 0x02);
    EXPECT_EQ(out.bytes[17], 0x01);
    EXPECT_EQ(out.bytes[18], 0);
    EXPECT_EQ(out.bytes[19], 0);
}

TEST(write_records, errors_pass_and_the_buffer_is_released) {
    struct row {
        const char* name;
        int fail_on_write;
        bool save_throws;
        long fail_allocation;
        std::size_t bytes_left_in_stream;
    } rows[] = {
        {"host write of the size", 2, false, 0, 16},
        {"host write of the payload", 3, false, 0, 20},
        {"save raises", 0, true, 0, 0},
        {"memory runs out", 0, false, 1, 0},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        test_variable v(0x44);
        v.on_save = [&r](stream_out& out, abort_token& abort) {
            out.write("abc", 3, abort);
            if (r.save_throws) throw quelmodrin_io::exception_io_data();
        };
        registry_scope scope({&v});
        recording_stream_out out;
        out.fail_on_write = r.fail_on_write;
        allocation_probe probe(r.fail_allocation);
        bool raised = false;
        try {
            write_records(out, abort_flag);
        } catch (...) {
            raised = true;
        }
        EXPECT_TRUE(raised);
        EXPECT_EQ(out.bytes.size(), r.bytes_left_in_stream);
    }
}

TEST(byte_buffer, grows_by_doubling_from_one) {
    byte_buffer buffer;
    buffer.set_size(0);
    EXPECT_EQ(buffer.capacity, 1u);
    buffer_writer writer(buffer);
    writer.write("12345", 5, abort_flag);
    EXPECT_EQ(buffer.capacity, 8u);
    EXPECT_EQ(buffer.size, 5u);
    writer.write("123456789", 9, abort_flag);
    EXPECT_EQ(buffer.capacity, 16u);
    buffer.set_size(0);
    EXPECT_EQ(buffer.capacity, 16u);
}

TEST(byte_buffer, sizes_past_32_bits_raise_bad_alloc) {
    byte_buffer buffer;
    EXPECT_THROW(buffer.set_size(0x80000001u), std::bad_alloc);
    EXPECT_EQ(buffer.capacity, 0u);
    buffer_writer writer(buffer);
    writer.write("ab", 2, abort_flag);
    EXPECT_THROW(writer.write("x", 0xFFFFFFFFu, abort_flag), std::bad_alloc);
    EXPECT_EQ(buffer.size, 2u);
}

TEST(read_records, empty_registry_call_sequences) {
    struct row {
        const char* name;
        std::vector<std::uint8_t> stream;
        call_list expected;
    } rows[] = {
        {"empty stream", {}, {{"read", 16, 0}}},
        {"records of 3 and 0 bytes",
         joined({record(1, bytes_of("abc")), record(2, {})}),
         {{"read", 16, 16}, {"read_exact", 4, 4}, {"skip_exact", 3, 3},
          {"read", 16, 16}, {"read_exact", 4, 4}, {"skip_exact", 0, 0},
          {"read", 16, 0}}},
        {"7 trailing bytes",
         joined({record(1, bytes_of("a")), std::vector<std::uint8_t>(7, 9)}),
         {{"read", 16, 16}, {"read_exact", 4, 4}, {"skip_exact", 1, 1}, {"read", 16, 7}}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        scripted_stream_in in(r.stream);
        read_records(in, abort_flag);
        EXPECT_EQ(in.calls, r.expected);
        EXPECT_EQ(in.position, r.stream.size());
    }
}

TEST(read_records, host_stream_errors_inside_a_record_pass_through) {
    struct row {
        const char* name;
        std::vector<std::uint8_t> stream;
    } rows[] = {
        {"inside the size field", std::vector<std::uint8_t>(18, 1)},
        {"inside an unclaimed payload", [] {
             auto r = record(1, bytes_of("abcdef"));
             r.resize(r.size() - 2);
             return r;
         }()},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        scripted_stream_in in(r.stream);
        EXPECT_THROW(read_records(in, abort_flag), host_stream_error);
    }
}

TEST(read_records, claimed_record_read_short_is_skipped_in_256_byte_reads) {
    test_variable v(5);
    v.on_load = [](stream_in& in, std::uint32_t, abort_token& abort) {
        char head[4];
        in.read_exact(head, 4, abort);
    };
    registry_scope scope({&v});
    scripted_stream_in in(joined({record(5, std::vector<std::uint8_t>(604, 1)), record(6, bytes_of("zz"))}));
    read_records(in, abort_flag);
    call_list expected = {{"read", 16, 16}, {"read_exact", 4, 4}, {"read", 4, 4},
                          {"read", 256, 256}, {"read", 256, 256}, {"read", 88, 88},
                          {"read", 16, 16}, {"read_exact", 4, 4}, {"skip_exact", 2, 2}, {"read", 16, 0}};
    EXPECT_EQ(in.calls, expected);
    EXPECT_EQ(v.loaded_sizes, std::vector<std::uint32_t>{604});
}

TEST(read_records, load_reading_past_its_record_gets_truncation_which_is_dropped) {
    test_variable v(5);
    std::string caught;
    v.on_load = [&caught](stream_in& in, std::uint32_t, abort_token& abort) {
        char data[10];
        try {
            in.read_exact(data, 10, abort);
        } catch (const quelmodrin_io::exception_io_data_truncation& error) {
            caught = error.what();
            throw;
        }
    };
    registry_scope scope({&v});
    scripted_stream_in in(joined({record(5, bytes_of("abc")), record(6, bytes_of("z"))}));
    read_records(in, abort_flag);
    EXPECT_EQ(caught, "Unsupported format or corrupted file");
    call_list expected = {{"read", 16, 16}, {"read_exact", 4, 4}, {"read", 3, 3},
                          {"read", 16, 16}, {"read_exact", 4, 4}, {"skip_exact", 1, 1}, {"read", 16, 0}};
    EXPECT_EQ(in.calls, expected);
}

TEST(read_records, zero_size_claimed_record_still_asks_the_inner_stream_for_zero) {
    test_variable v(5);
    v.on_load = [](stream_in& in, std::uint32_t, abort_token& abort) {
        char byte;
        EXPECT_EQ(in.read(&byte, 1, abort), 0u);
    };
    registry_scope scope({&v});
    scripted_stream_in in(record(5, {}));
    read_records(in, abort_flag);
    call_list expected = {{"read", 16, 16}, {"read_exact", 4, 4}, {"read", 0, 0}, {"read", 16, 0}};
    EXPECT_EQ(in.calls, expected);
}

TEST(read_records, duplicate_ids_all_go_to_the_variable_nearer_the_head) {
    test_variable head(7), shadowed(7);
    registry_scope scope({&head, &shadowed});
    scripted_stream_in in(joined({record(7, bytes_of("a")), record(7, bytes_of("bc"))}));
    read_records(in, abort_flag);
    EXPECT_EQ(head.loaded_sizes, (std::vector<std::uint32_t>{1, 2}));
    EXPECT_TRUE(shadowed.loaded_sizes.empty());
    EXPECT_EQ(in.position, 43u);
}

TEST(read_records, which_load_errors_are_dropped) {
    struct row {
        const char* name;
        std::function<void()> raise;
        bool dropped;
    } rows[] = {
        {"exception_io_data", [] { throw quelmodrin_io::exception_io_data(); }, true},
        {"truncation", [] { throw quelmodrin_io::exception_io_data_truncation(); }, true},
        {"exception_io", [] { throw quelmodrin_io::exception_io(); }, false},
        {"bad_alloc", [] { throw allocation_failure(); }, false},
        {"host error", [] { throw host_stream_error(); }, false},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        test_variable v(5);
        v.on_load = [&r](stream_in&, std::uint32_t, abort_token&) { r.raise(); };
        registry_scope scope({&v});
        scripted_stream_in in(joined({record(5, bytes_of("abc")), record(5, bytes_of("d"))}));
        bool passed = false;
        try {
            read_records(in, abort_flag);
        } catch (...) {
            passed = true;
        }
        EXPECT_EQ(passed, !r.dropped);
        EXPECT_EQ(v.loaded_sizes.size(), r.dropped ? 2u : 1u);
        EXPECT_EQ(in.position, r.dropped ? 44u : 20u);
    }
}

TEST(read_records, data_ending_inside_a_claimed_payload_raises_truncation) {
    test_variable v(5);
    registry_scope scope({&v});
    auto stream = record(5, bytes_of("abcdef"));
    stream.resize(stream.size() - 3);
    scripted_stream_in in(stream);
    EXPECT_THROW(read_records(in, abort_flag), quelmodrin_io::exception_io_data_truncation);
}

TEST(bounded_reader, skip_reads_in_chunks_and_stops_at_the_end_of_data) {
    scripted_stream_in inner(std::vector<std::uint8_t>(300, 1));
    bounded_reader reader(inner, 1000);
    stream_in& stream = reader;
    EXPECT_EQ(stream.skip(600, abort_flag), 300u);
    EXPECT_EQ(inner.calls, (call_list{{"read", 256, 256}, {"read", 256, 44}}));

    scripted_stream_in inner2(std::vector<std::uint8_t>(300, 1));
    bounded_reader reader2(inner2, 1000);
    EXPECT_THROW(reader2.skip_exact(600, abort_flag), quelmodrin_io::exception_io_data_truncation);
    EXPECT_EQ(reader2.skip(0, abort_flag), 0u);
}

TEST(stream_errors, truncation_is_caught_as_each_class_of_its_chain) {
    auto raise = [] { throw quelmodrin_io::exception_io_data_truncation(); };
    EXPECT_THROW(raise(), quelmodrin_io::exception_io_data_truncation);
    EXPECT_THROW(raise(), quelmodrin_io::exception_io_data);
    EXPECT_THROW(raise(), quelmodrin_io::exception_io);
    EXPECT_THROW(raise(), std::exception);
}

}  // namespace
