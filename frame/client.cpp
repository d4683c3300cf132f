#include "frame/client.h"

service_factory_base* factory_list = nullptr;
host_interface* host_api = nullptr;
void* module_handle = nullptr;
bool services_available = false;
location_texts component_location;

namespace {

class client_operations final : public component_client {
public:
    std::uint32_t client_version() override { return client_version_number; }

    service_factory_base* first_factory() override { return factory_list; }

    void write_settings(stream_out* out, abort_token* abort) override {
        write_records(*out, *abort);
    }

    void read_settings(stream_in* in, abort_token* abort) override {
        read_records(*in, *abort);
    }

    // An absent text is taken as empty rather than dereferenced.
    void set_location(const char* path, const char* name) override {
        component_location.path.assign_text(path ? path : empty_text);
        component_location.name.assign_text(name ? name : empty_text);
    }

    void set_services_available(bool available) override {
        services_available = available;
    }

    bool client_flag() override { return false; }
};

client_operations client_object;

}  // namespace

bool host_check_gate() {
    if (!services_available) return true;
    if (host_api == nullptr) return true;
    return host_api->host_check();
}

const char* location_name() {
    const char_array& name = component_location.name;
    return name.data() ? name.data() : empty_text;
}

component_client* quelmodrin_get_interface(host_interface* api, void* module) {
    host_api = api;
    module_handle = module;
    return &client_object;
}
