// Every allocation of every allocating operation, made to fail in turn: the
// failure surfaces as std::bad_alloc("bad allocation"), nothing leaks (the
// sanitized run checks), and the promised state survives.
#include <gtest/gtest.h>

#include <functional>

#include "explorer/commands.h"
#include "frame/client.h"
#include "host/host_receiver.h"
#include "tests/test_support.h"

namespace {

struct sweep_case {
    const char* name;
    std::function<void()> prepare;  // runs with allocations working
    std::function<void()> operation;
    std::function<void()> check_after_failure;
};

long allocations_of(const sweep_case& c) {
    c.prepare();
    allocation_probe probe;
    c.operation();
    return probe.calls();
}

void sweep(const sweep_case& c) {
    long total = allocations_of(c);
    ASSERT_GT(total, 0) << c.name << " allocates nothing";
    for (long k = 1; k <= total; ++k) {
        SCOPED_TRACE(testing::Message() << c.name << ": allocation " << k << " of " << total << " fails");
        c.prepare();
        allocation_probe probe(k);
        try {
            c.operation();
            ADD_FAILURE() << "no exception";
        } catch (const std::bad_alloc& error) {
            EXPECT_STREQ(error.what(), "bad allocation");
        }
        c.check_after_failure();
    }
}

TEST(allocation_failure, strings_and_storage) {
    kvo::string8 s;
    char_array array;
    const std::string long_text(300, 'L');
    sweep({"string8 append",
           [&] { s.assign("before", kvo::whole_text); },
           [&] { s.append(long_text.c_str(), kvo::whole_text); },
           [&] { EXPECT_STREQ(s.get_text(), "before"); }});
    sweep({"string8 append of its own text",
           [&] { s.assign("selfself", kvo::whole_text); },
           [&] { s.append(s.get_text(), kvo::whole_text); },
           [&] { EXPECT_STREQ(s.get_text(), "selfself"); }});
    sweep({"string8 assign",
           [&] { s.assign("before", kvo::whole_text); },
           [&] { s.assign(long_text.c_str(), kvo::whole_text); },
           [&] { EXPECT_STREQ(s.get_text(), "before"); }});
    sweep({"string8 open_buffer",
           [&] { s.assign("before", kvo::whole_text); },
           [&] { s.open_buffer(500); },
           [&] { EXPECT_STREQ(s.get_text(), "before"); }});
    sweep({"string8 from a text",
           [] {},
           [&] { kvo::string8 made(long_text.c_str(), kvo::whole_text); },
           [] {}});
    sweep({"char_array assign_text",
           [&] { array.assign_text("before"); },
           [&] { array.assign_text(long_text.c_str()); },
           [&] { EXPECT_STREQ(array.data(), "before"); }});
}

class saving_variable final : public persistent_variable {
public:
    saving_variable() : persistent_variable(guid{1, 2, 3, {4}}, nullptr) {}
    void save(stream_out& out, abort_token& abort) override {
        std::string payload(700, 'p');
        for (int i = 0; i < 3; ++i) out.write(payload.data(), static_cast<std::uint32_t>(payload.size()), abort);
    }
    void load(stream_in&, std::uint32_t, abort_token&) override {}
};

TEST(allocation_failure, record_writing_releases_its_buffer) {
    saving_variable first, second;
    first.next = &second;
    persistent_variable_list = &first;
    recording_stream_out out;
    abort_token abort;
    sweep({"write_records", [&] { out.bytes.clear(); }, [&] { write_records(out, abort); }, [] {}});
    persistent_variable_list = nullptr;
}

TEST(allocation_failure, set_location) {
    component_client* client = quelmodrin_get_interface(nullptr, nullptr);
    sweep({"set_location",
           [&] { client->set_location("old path", "old name"); },
           [&] { client->set_location("a new and longer path", "a new and longer name"); },
           [&] { EXPECT_STREQ(location_name(), "old name"); }});
    component_location.path.release();
    component_location.name.release();
}

TEST(allocation_failure, settings_path_label_and_group) {
    temp_directory dir;
    platform_recorder platform;
    platform.executable = dir.path() + "/player";
    dir.write("krelvashimon.ini", "[krelvashimon]\nmenu=Old/Label\nlocation=help\n");
    service_impl_single_t<mainmenu_commands_explorer> commands;
    host_receiver out;
    sweep({"settings path", [] {}, [] { service_impl_single_t<mainmenu_commands_explorer> made; }, [] {}});
    sweep({"command_name",
           [&] {
               out.assign("untouched", kvo::whole_text);
               platform.warnings.clear();
           },
           [&] { commands.command_name(0, out); },
           [&] {
               EXPECT_EQ(out.text(), "untouched");
               EXPECT_TRUE(platform.warnings.empty());
           }});
    sweep({"parent_group", [] {}, [&] {
               commands.parent_group();
           },
           [] {}});
}

}  // namespace
