// The component's entry: the export, the client table and the process-wide
// state that the host's calls record.
//
// State starts zero at load with no construction step; the host's calls
// write it without synchronisation, as plain process-wide variables.
#pragma once

#include <cstdint>

#include "frame/export.h"
#include "frame/records.h"
#include "frame/service.h"
#include "text/storage.h"

// The host's operation table. The component calls only host_check (slot 4)
// and keeps the address without counting a reference.
class host_interface {
public:
    virtual void host_slot_0() = 0;
    virtual void host_slot_1() = 0;
    virtual void host_slot_2() = 0;
    virtual void host_slot_3() = 0;
    // False means that a command must not act.
    virtual bool host_check() = 0;

protected:
    ~host_interface() = default;
};

class component_client {
public:
    virtual std::uint32_t client_version() = 0;
    virtual service_factory_base* first_factory() = 0;
    virtual void write_settings(stream_out* out, abort_token* abort) = 0;
    virtual void read_settings(stream_in* in, abort_token* abort) = 0;
    virtual void set_location(const char* path, const char* name) = 0;
    virtual void set_services_available(bool available) = 0;
    virtual bool client_flag() = 0;

protected:
    ~component_client() = default;
};

constexpr std::uint32_t client_version_number = 71;

// Freed path first, then name, when the library unloads.
struct location_texts {
    ~location_texts() {
        path.release();
        name.release();
    }
    char_array path;
    char_array name;
};

extern host_interface* host_api;
extern void* module_handle;
extern bool services_available;
extern location_texts component_location;

// True unless services are available and a host is bound and its
// host_check says no. Errors that host_check raises pass through.
bool host_check_gate();

// The name from the latest set_location, or empty_text before any; never null.
// Valid until the next set_location.
const char* location_name();

KV_EXPORT component_client* quelmodrin_get_interface(host_interface* api, void* module);
