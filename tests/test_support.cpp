#include "tests/test_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>

namespace {
long probe_calls = 0;
long probe_fail_at = 0;

void* probing_reallocate(void* block, std::size_t count) {
    ++probe_calls;
    if (probe_fail_at != 0 && probe_calls == probe_fail_at) return nullptr;
    return std::realloc(block, count);
}
}  // namespace

allocation_probe::allocation_probe(long fail_at) {
    probe_calls = 0;
    probe_fail_at = fail_at;
    previous_ = set_reallocate_function(probing_reallocate);
}
allocation_probe::~allocation_probe() { set_reallocate_function(previous_); }
long allocation_probe::calls() const { return probe_calls; }
void allocation_probe::fail_at(long call_number) { probe_fail_at = probe_calls + call_number; }

std::ostream& operator<<(std::ostream& out, const stream_call& call) {
    return out << call.op << "(" << call.asked << ")=" << call.got;
}

std::uint32_t scripted_stream_in::read(void* destination, std::uint32_t count, abort_token&) {
    std::size_t available = bytes_.size() - position;
    std::uint32_t got = count < available ? count : static_cast<std::uint32_t>(available);
    if (got) std::memcpy(destination, bytes_.data() + position, got);
    position += got;
    calls.push_back({"read", count, got});
    return got;
}

void scripted_stream_in::read_exact(void* destination, std::uint32_t count, abort_token&) {
    std::size_t available = bytes_.size() - position;
    calls.push_back({"read_exact", count, count <= available ? count : available});
    if (count > available) {
        position = bytes_.size();
        throw host_stream_error();
    }
    std::memcpy(destination, bytes_.data() + position, count);
    position += count;
}

std::uint64_t scripted_stream_in::skip(std::uint64_t count, abort_token&) {
    std::size_t available = bytes_.size() - position;
    std::uint64_t got = count < available ? count : available;
    position += got;
    calls.push_back({"skip", count, got});
    return got;
}

void scripted_stream_in::skip_exact(std::uint64_t count, abort_token&) {
    std::size_t available = bytes_.size() - position;
    calls.push_back({"skip_exact", count, count <= available ? count : available});
    if (count > available) {
        position = bytes_.size();
        throw host_stream_error();
    }
    position += count;
}

void recording_stream_out::write(const void* source, std::uint32_t count, abort_token&) {
    writes.push_back(count);
    if (fail_on_write != 0 && static_cast<int>(writes.size()) == fail_on_write) throw host_stream_error();
    const std::uint8_t* from = static_cast<const std::uint8_t*>(source);
    bytes.insert(bytes.end(), from, from + count);
}

platform_recorder* platform_recorder::current = nullptr;

platform_recorder::platform_recorder() {
    saved_ = *krelvashimon_native_hooks();
    current = this;
    native_platform_hooks& hooks = *krelvashimon_native_hooks();
    hooks.shell_open = [](const char* verb, const char* file, const char* parameters, int show) {
        current->shell_requests.push_back({verb, file, parameters, show});
    };
    hooks.warning_box = [](const char* caption, const char* message, std::uint32_t style) {
        current->warnings.push_back(std::string(caption) + "|" + message + "|" + std::to_string(style));
    };
    hooks.executable_path = [](char* buffer, std::uint32_t size) {
        if (current->executable_fails || size == 0) return;
        std::size_t length = current->executable.size();
        if (length > size - 1) length = size - 1;
        std::memcpy(buffer, current->executable.data(), length);
        buffer[length] = 0;
    };
}

platform_recorder::~platform_recorder() {
    *krelvashimon_native_hooks() = saved_;
    current = nullptr;
}

temp_directory::temp_directory() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/krelvashimon-test-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back(0);
    if (!mkdtemp(name.data())) std::abort();
    path_ = name.data();
}

temp_directory::~temp_directory() {
    std::string command = "rm -rf '" + path_ + "'";
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", path_.c_str());
}

std::string temp_directory::write(const std::string& name, const std::string& content) const {
    std::string file = path_ + "/" + name;
    std::FILE* stream = std::fopen(file.c_str(), "wb");
    if (!stream) std::abort();
    std::fwrite(content.data(), 1, content.size(), stream);
    std::fclose(stream);
    return file;
}

std::vector<std::uint8_t> bytes_of(const std::string& text) { return {text.begin(), text.end()}; }
