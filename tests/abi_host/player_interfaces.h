// The component's interfaces as the player declares them: plain C++ classes
// compiled by the platform's compiler, which alone decides how members are
// called, how GUIDs come back and how a holder passed by value travels.
// Nothing here comes from the component's own headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>

struct guid {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];
};

class service_ref;

class service_base {
public:
    virtual std::uint32_t release() = 0;
    virtual std::uint32_t add_ref() = 0;
    virtual bool query(service_ref* holder, const guid* id) = 0;
};

// The player's counted holder: a copy counts a reference, dropping releases.
class service_ref {
public:
    service_ref() = default;
    explicit service_ref(service_base* object) : object_(object) {
        if (object_) object_->add_ref();
    }
    service_ref(const service_ref& other) : object_(other.object_) {
        if (object_) object_->add_ref();
    }
    service_ref& operator=(const service_ref&) = delete;
    ~service_ref() {
        if (object_) object_->release();
    }
    service_base* get() const { return object_; }

private:
    service_base* object_ = nullptr;
};

// A node of the component's factory list: the player reads next and
// class_guid straight from it.
class service_factory_base {
public:
    virtual void create_service(service_ref* holder) = 0;
    service_factory_base* next;
    const guid* class_guid;
};

class string_base {
public:
    virtual void append(const char* text, std::size_t max) = 0;
    virtual const char* get_text() = 0;
    virtual void assign(const char* text, std::size_t max) = 0;
    virtual void truncate(std::size_t length) = 0;
    virtual std::size_t get_length() = 0;
    virtual char* open_buffer(std::size_t n) = 0;
    virtual void close_buffer() = 0;
};

class abort_token {
public:
    bool aborted = false;
};

class stream_in {
public:
    virtual std::uint32_t read(void* destination, std::uint32_t count, abort_token& abort) = 0;
    virtual void read_exact(void* destination, std::uint32_t count, abort_token& abort) = 0;
    virtual std::uint64_t skip(std::uint64_t count, abort_token& abort) = 0;
    virtual void skip_exact(std::uint64_t count, abort_token& abort) = 0;
};

class stream_out {
public:
    virtual void write(const void* source, std::uint32_t count, abort_token& abort) = 0;
};

class host_api {
public:
    virtual void unused_0() = 0;
    virtual void unused_1() = 0;
    virtual void unused_2() = 0;
    virtual void unused_3() = 0;
    virtual bool host_check() = 0;
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
};

class mainmenu_commands : public service_base {
public:
    virtual std::uint32_t command_count() = 0;
    virtual guid command_id(std::uint32_t index) = 0;
    virtual void command_name(std::uint32_t index, string_base& out) = 0;
    virtual bool command_description(std::uint32_t index, string_base& out) = 0;
    virtual guid parent_group() = 0;
    virtual std::uint32_t sort_priority() = 0;
    virtual bool command_display(std::uint32_t index, string_base& out, std::uint32_t& flags) = 0;
    virtual void run_command(std::uint32_t index, service_ref callback) = 0;
};

class componentversion : public service_base {
public:
    virtual void report_file_name(string_base& out) = 0;
    virtual void report_name(string_base& out) = 0;
    virtual void report_version(string_base& out) = 0;
    virtual void report_about(string_base& out) = 0;
};

namespace quelmodrin_io {
class exception_io : public std::exception {};
class exception_io_data : public exception_io {};
class exception_io_data_truncation : public exception_io_data {};
}  // namespace quelmodrin_io

using get_interface_function = component_client* (*)(host_api* api, void* module);
