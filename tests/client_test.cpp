#include <gtest/gtest.h>

#include "explorer/registration.h"
#include "frame/client.h"
#include "tests/test_support.h"

namespace {

// Leaves the process-wide state as a freshly loaded library has it.
class client_state : public testing::Test {
protected:
    void SetUp() override { bound_ = quelmodrin_get_interface(nullptr, nullptr); }
    void TearDown() override {
        host_api = nullptr;
        module_handle = nullptr;
        services_available = false;
        component_location.path.release();
        component_location.name.release();
    }
    component_client* client() { return bound_; }

private:
    component_client* bound_ = nullptr;
};

TEST_F(client_state, fixed_answers_before_and_after_binding) {
    component_client* bound = quelmodrin_get_interface(nullptr, nullptr);
    EXPECT_EQ(bound->client_version(), 71u);
    EXPECT_FALSE(bound->client_flag());
    scripted_host host(scripted_host::yes);
    EXPECT_EQ(quelmodrin_get_interface(&host, &host), bound);
    EXPECT_EQ(bound->client_version(), 71u);
    EXPECT_FALSE(bound->client_flag());
}

TEST_F(client_state, the_export_records_the_latest_host_and_handle) {
    scripted_host first(scripted_host::yes), second(scripted_host::no);
    int handle_a = 0, handle_b = 0;
    component_client* a = quelmodrin_get_interface(&first, &handle_a);
    component_client* b = quelmodrin_get_interface(&second, &handle_b);
    EXPECT_EQ(a, b);
    EXPECT_EQ(host_api, &second);
    EXPECT_EQ(module_handle, &handle_b);
}

TEST_F(client_state, factory_list_holds_the_command_factory_then_the_version_factory) {
    service_factory_base* head = client()->first_factory();
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head, static_cast<service_factory_base*>(&command_factory));
    EXPECT_TRUE(guid_equal(*head->class_guid, mainmenu_commands::class_guid));
    ASSERT_NE(head->next, nullptr);
    EXPECT_EQ(head->next, static_cast<service_factory_base*>(&version_factory));
    EXPECT_TRUE(guid_equal(*head->next->class_guid, componentversion::class_guid));
    EXPECT_EQ(head->next->next, nullptr);
    EXPECT_EQ(client()->first_factory(), head);
}

TEST_F(client_state, host_check_gate_asks_only_a_bound_host_while_services_are_available) {
    struct row {
        const char* name;
        bool services;
        bool bound;
        scripted_host::answer answer;
        bool expected;
        int checks;
    } rows[] = {
        {"services off", false, true, scripted_host::no, true, 0},
        {"no host", true, false, scripted_host::no, true, 0},
        {"host says yes", true, true, scripted_host::yes, true, 1},
        {"host says no", true, true, scripted_host::no, false, 1},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        scripted_host host(r.answer);
        quelmodrin_get_interface(r.bound ? &host : nullptr, nullptr);
        client()->set_services_available(r.services);
        EXPECT_EQ(host_check_gate(), r.expected);
        EXPECT_EQ(host.checks, r.checks);
    }
    scripted_host refusing(scripted_host::no);
    quelmodrin_get_interface(&refusing, nullptr);
    client()->set_services_available(true);
    EXPECT_FALSE(host_check_gate());
    client()->set_services_available(false);
    EXPECT_TRUE(host_check_gate());
    EXPECT_EQ(refusing.checks, 1);
}

TEST_F(client_state, host_check_errors_pass_through_the_gate) {
    scripted_host host(scripted_host::raise);
    quelmodrin_get_interface(&host, nullptr);
    client()->set_services_available(true);
    EXPECT_THROW(host_check_gate(), host_stream_error);
}

TEST_F(client_state, location_name_is_never_null_and_keeps_its_own_copy) {
    EXPECT_EQ(location_name(), empty_text);
    client()->set_location("", "");
    EXPECT_STREQ(location_name(), "");
    {
        std::string path = "/opt/player/components/krelvashimon.dll";
        std::string name = "krelvashimon.dll";
        client()->set_location(path.c_str(), name.c_str());
        name.assign("overwritten by the host");
    }
    EXPECT_STREQ(location_name(), "krelvashimon.dll");
    EXPECT_STREQ(component_location.path.data(), "/opt/player/components/krelvashimon.dll");
    EXPECT_EQ(component_location.name.size(), 17u);
    client()->set_location("/elsewhere/k.dll", "k.dll");
    EXPECT_STREQ(location_name(), "k.dll");
    EXPECT_STREQ(component_location.path.data(), "/elsewhere/k.dll");
}

TEST_F(client_state, absent_location_texts_count_as_empty) {
    client()->set_location(nullptr, nullptr);
    EXPECT_STREQ(location_name(), "");
    EXPECT_STREQ(component_location.path.data(), "");
}

TEST_F(client_state, exhaustion_in_set_location_keeps_the_text_whose_copy_failed) {
    client()->set_location("old path", "old name");
    {
        allocation_probe probe(2);
        EXPECT_THROW(client()->set_location("new path!", "new name!"), std::bad_alloc);
    }
    EXPECT_STREQ(component_location.path.data(), "new path!");
    EXPECT_STREQ(location_name(), "old name");
}

TEST_F(client_state, settings_calls_reach_the_record_stream) {
    abort_token abort;
    recording_stream_out out;
    client()->write_settings(&out, &abort);
    EXPECT_TRUE(out.writes.empty());
    std::vector<std::uint8_t> record(20, 0);
    record[16] = 2;
    record.push_back('a');
    record.push_back('b');
    scripted_stream_in in(record);
    client()->read_settings(&in, &abort);
    EXPECT_EQ(in.position, 22u);
}

// --- the registry conventions, on the component's own factories ---

TEST(services, create_service_hands_out_the_same_static_object_and_releases_the_old_one) {
    for (service_factory_base* factory = factory_list; factory; factory = factory->next) {
        counting_service previous;
        service_ref holder;
        holder.assign(&previous);
        factory->create_service(&holder);
        EXPECT_EQ(previous.releases, 1u);
        service_base* first = holder.get();
        ASSERT_NE(first, nullptr);
        factory->create_service(&holder);
        EXPECT_EQ(holder.get(), first);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(first->add_ref(), 1u);
            EXPECT_EQ(first->release(), 1u);
        }
    }
}

TEST(services, query_answers_only_the_interface_own_class) {
    guid last_bytes_differ = mainmenu_commands::class_guid;
    last_bytes_differ.data4[7] ^= 1;
    service_ref commands_holder, version_holder;
    command_factory.create_service(&commands_holder);
    version_factory.create_service(&version_holder);
    struct row {
        const char* name;
        service_base* object;
        const guid* requested;
        bool expected;
    } rows[] = {
        {"commands, own class", commands_holder.get(), &mainmenu_commands::class_guid, true},
        {"commands, version class", commands_holder.get(), &componentversion::class_guid, false},
        {"commands, null guid", commands_holder.get(), &null_guid, false},
        {"commands, last bytes differ", commands_holder.get(), &last_bytes_differ, false},
        {"version, own class", version_holder.get(), &componentversion::class_guid, true},
        {"version, commands class", version_holder.get(), &mainmenu_commands::class_guid, false},
        {"version, null guid", version_holder.get(), &null_guid, false},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        counting_service held;
        service_ref holder;
        holder.assign(&held);
        EXPECT_EQ(r.object->query(&holder, r.requested), r.expected);
        EXPECT_EQ(held.releases, r.expected ? 1u : 0u);
        EXPECT_EQ(holder.get(), r.expected ? r.object : &held);
    }
}

TEST(services, the_version_service_part_follows_the_node) {
    service_ref holder;
    version_factory.create_service(&holder);
    auto node = reinterpret_cast<const char*>(static_cast<service_factory_base*>(&version_factory));
    EXPECT_EQ(reinterpret_cast<const char*>(holder.get()) - node, static_cast<long>(3 * sizeof(void*)));
    auto commands_node = reinterpret_cast<const char*>(static_cast<service_factory_base*>(&command_factory));
    command_factory.create_service(&holder);
    EXPECT_EQ(reinterpret_cast<const char*>(holder.get()) - commands_node, static_cast<long>(3 * sizeof(void*)));
}

TEST(service_ref, assignment_and_drop_rules) {
    counting_service a, b;
    {
        service_ref holder;
        holder.assign(&a);
        EXPECT_EQ(a.add_refs, 1u);
        holder.assign(&b);
        EXPECT_EQ(a.releases, 1u);
        EXPECT_EQ(b.add_refs, 1u);
        holder.assign(nullptr);
        EXPECT_EQ(b.releases, 1u);
        holder.assign(&a);
    }
    EXPECT_EQ(a.releases, 2u);
    {
        service_ref held(&b);
        service_ref copy(held);  // a holder passed by value is such a copy
        EXPECT_EQ(b.add_refs, 3u);
        EXPECT_EQ(b.releases, 1u);
    }
    EXPECT_EQ(b.releases, 3u);
}

// The registration mechanism on a list of the test's own.
class test_interface : public service_base {
public:
    static constexpr guid class_guid{0x01020304, 0x0506, 0x0708, {1, 2, 3, 4, 5, 6, 7, 8}};
};
class test_service : public test_interface {
public:
    using service_interface = test_interface;
    explicit test_service(int tag) : tag(tag) {}
    bool query(service_ref* holder, const guid* requested) override {
        return query_own_class(this, class_guid, holder, requested);
    }
    int tag;
};

TEST(registry, factories_link_at_the_front_in_construction_order) {
    service_factory_base* list = nullptr;
    service_factory_single_t<test_service> first(list, 1);
    service_factory_single_transparent_t<test_service> second(list, 2);
    ASSERT_EQ(list, static_cast<service_factory_base*>(&second));
    EXPECT_EQ(list->next, static_cast<service_factory_base*>(&first));
    EXPECT_EQ(list->next->next, nullptr);
    EXPECT_EQ(list->class_guid, &test_interface::class_guid);
    service_ref holder;
    list->create_service(&holder);
    EXPECT_EQ(static_cast<test_service*>(holder.get())->tag, 2);
    list->next->create_service(&holder);
    EXPECT_EQ(static_cast<test_service*>(holder.get())->tag, 1);
}

}  // namespace
