// Test doubles shared by the unit tests: injected allocation failure, host
// streams and services that record every call, a recorder for the platform
// calls, and throw-away settings files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frame/client.h"
#include "frame/records.h"
#include "frame/service.h"
#include "platform/native_hooks.h"
#include "text/storage.h"

class abort_token {};

// While alive, counts reallocations and fails the one numbered fail_at
// (1-based; 0 never fails).
class allocation_probe {
public:
    explicit allocation_probe(long fail_at = 0);
    ~allocation_probe();
    long calls() const;
    void fail_at(long call_number);

private:
    reallocate_function previous_;
};

struct stream_call {
    std::string op;
    std::uint64_t asked;
    std::uint64_t got;
    bool operator==(const stream_call& other) const {
        return op == other.op && asked == other.asked && got == other.got;
    }
};
std::ostream& operator<<(std::ostream& out, const stream_call& call);

// The host's own stream error, outside the data classes.
struct host_stream_error : std::exception {
    const char* what() const noexcept override { return "host stream ended early"; }
};

class scripted_stream_in final : public stream_in {
public:
    explicit scripted_stream_in(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    std::uint32_t read(void* destination, std::uint32_t count, abort_token& abort) override;
    void read_exact(void* destination, std::uint32_t count, abort_token& abort) override;
    std::uint64_t skip(std::uint64_t count, abort_token& abort) override;
    void skip_exact(std::uint64_t count, abort_token& abort) override;

    std::vector<stream_call> calls;
    std::size_t position = 0;

private:
    std::vector<std::uint8_t> bytes_;
};

class recording_stream_out final : public stream_out {
public:
    void write(const void* source, std::uint32_t count, abort_token& abort) override;
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint32_t> writes;
    int fail_on_write = 0;  // 1-based; 0 never
};

class counting_service final : public service_base {
public:
    std::uint32_t release() override { return ++releases; }
    std::uint32_t add_ref() override { return ++add_refs; }
    bool query(service_ref*, const guid*) override { return false; }
    std::uint32_t releases = 0;
    std::uint32_t add_refs = 0;
};

// The host's table, answering host_check as told and counting the calls.
class scripted_host final : public host_interface {
public:
    enum answer { yes, no, raise };
    explicit scripted_host(answer a) : answer_(a) {}
    void host_slot_0() override {}
    void host_slot_1() override {}
    void host_slot_2() override {}
    void host_slot_3() override {}
    bool host_check() override {
        ++checks;
        if (answer_ == raise) throw host_stream_error();
        return answer_ == yes;
    }
    int checks = 0;

private:
    answer answer_;
};

struct shell_request {
    std::string verb, file, parameters;
    int show;
};

// Installs itself as the native platform hooks while alive.
class platform_recorder {
public:
    platform_recorder();
    ~platform_recorder();
    static platform_recorder* current;

    std::vector<shell_request> shell_requests;
    std::vector<std::string> warnings;  // caption + "|" + message + "|" + style
    std::string executable;             // given as the executable's path
    bool executable_fails = false;

private:
    native_platform_hooks saved_;
};

// A fresh directory under the system's temporary directory, removed at the end.
class temp_directory {
public:
    temp_directory();
    ~temp_directory();
    const std::string& path() const { return path_; }
    std::string write(const std::string& name, const std::string& content) const;

private:
    std::string path_;
};

std::vector<std::uint8_t> bytes_of(const std::string& text);
