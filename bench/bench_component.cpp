// Speed and allocation figures of the component, with Google Benchmark and a
// counting allocator (the component allocates only through raw_realloc).
// Prints the benchmark results, then a summary table.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <string>

#include "explorer/commands.h"
#include "explorer/registration.h"
#include "frame/client.h"
#include "host/host_receiver.h"
#include "platform/platform.h"
#include "tests/test_support.h"

namespace {

temp_directory& bench_dir() {
    static temp_directory dir;
    return dir;
}

// A 1 KB settings file with every key set.
std::string settings_file() {
    static std::string path = [] {
        std::string text = "; settings for the benchmark\n[krelvashimon]\nmenu=Explorer\nlocation=view\n"
                           "root=1\nfolder=1\nshow=normal\n";
        while (text.size() < 1000) text += "; padding line to make the file about one kilobyte long\n";
        text += "path=C:\\Music\n";
        return bench_dir().write("krelvashimon.ini", text);
    }();
    return path;
}

class command_set_object final : public service_impl_single_t<mainmenu_commands_explorer> {};

command_set_object& commands() {
    static platform_recorder recorder;
    static std::optional<command_set_object> made;
    if (!made) {
        settings_file();
        recorder.executable = bench_dir().path() + "/player";
        made.emplace();
    }
    return *made;
}

std::map<std::string, double> allocations_per_call;

template <class F>
void count_allocations(benchmark::State& state, const char* name, F&& call) {
    long calls = 0, allocations = 0;
    for (auto _ : state) {
        allocation_probe probe;
        call();
        allocations += probe.calls();
        ++calls;
    }
    double per_call = calls ? static_cast<double>(allocations) / calls : 0;
    state.counters["allocs/call"] = per_call;
    allocations_per_call[name] = per_call;
}

void run_command(benchmark::State& state) {
    count_allocations(state, "run_command", [] { commands().run_command(0, service_ref()); });
}
void command_name(benchmark::State& state) {
    host_receiver out;
    count_allocations(state, "command_name", [&] { commands().command_name(0, out); });
}
void parent_group(benchmark::State& state) {
    count_allocations(state, "parent_group", [] {
        guid group = commands().parent_group();
        benchmark::DoNotOptimize(group);
    });
}
void query(benchmark::State& state) {
    service_ref holder;
    count_allocations(state, "query", [&] { commands().query(&holder, &mainmenu_commands::class_guid); });
}
void create_service(benchmark::State& state) {
    service_ref holder;
    count_allocations(state, "create_service", [&] { version_factory.create_service(&holder); });
}
void add_ref_release(benchmark::State& state) {
    count_allocations(state, "add_ref/release", [] {
        commands().add_ref();
        commands().release();
    });
}
void grow_one_byte(benchmark::State& state) {
    long appends = 0, reallocations = 0;
    for (auto _ : state) {
        kvo::string8 s;
        allocation_probe probe;
        for (int i = 0; i < 1700; ++i) s.append("x", 1);
        reallocations += probe.calls();
        appends += 1700;
    }
    allocations_per_call["string append of 1 byte"] = static_cast<double>(reallocations) / appends;
    state.counters["reallocs/append"] = static_cast<double>(reallocations) / appends;
}

void settings_read_component(benchmark::State& state) {
    kvo::string8 path(settings_file().c_str(), kvo::whole_text);
    char value[1024];
    for (auto _ : state) {
        read_setting(path, path_key, value);
        benchmark::DoNotOptimize(value);
    }
}
void settings_read_floor(benchmark::State& state) {
    std::string path = settings_file();
    char content[4096];
    for (auto _ : state) {
        int f = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        benchmark::DoNotOptimize(read(f, content, sizeof content));
        close(f);
    }
}

std::string path_text() {
    std::string text = "C:\\";
    while (text.size() < 240) text += "Folder\\";
    return text + "player.exe";
}
void find_first_path(benchmark::State& state) {
    std::string text = path_text();
    for (auto _ : state) benchmark::DoNotOptimize(find_first(text.c_str(), "player", 0));
}
void memmem_path(benchmark::State& state) {
    std::string text = path_text();
    for (auto _ : state) benchmark::DoNotOptimize(memmem(text.data(), text.size(), "player", 6));
}

BENCHMARK(run_command);
BENCHMARK(command_name);
BENCHMARK(parent_group);
BENCHMARK(query);
BENCHMARK(create_service);
BENCHMARK(add_ref_release);
BENCHMARK(grow_one_byte);
BENCHMARK(settings_read_component);
BENCHMARK(settings_read_floor);
BENCHMARK(find_first_path);
BENCHMARK(memmem_path);

class collecting_reporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) times[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    collecting_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n| measure | value | goal |\n|---|---|---|\n");
    const char* zero_goal[] = {"run_command", "query", "create_service", "add_ref/release"};
    for (const char* name : zero_goal)
        std::printf("| heap allocations per %s | %.2f | 0 |\n", name, allocations_per_call[name]);
    std::printf("| heap allocations per command_name | %.2f | 2: the temporary string's buffer, then its fit |\n",
                allocations_per_call["command_name"]);
    std::printf("| heap allocations per parent_group | %.2f | 2: the temporary string's buffer, then its fit |\n",
                allocations_per_call["parent_group"]);
    std::printf("| reallocations per 1-byte append | %.4f (1 in %.1f) | 1 in 17 |\n",
                allocations_per_call["string append of 1 byte"], 1 / allocations_per_call["string append of 1 byte"]);
    std::printf("| settings read / open+read+close floor (1 KB file) | %.2f | < 1.5 |\n",
                reporter.times["settings_read_component"] / reporter.times["settings_read_floor"]);
    std::printf("| find_first / memmem over a %zu-byte path | %.2f | (plain scan) |\n", path_text().size(),
                reporter.times["find_first_path"] / reporter.times["memmem_path"]);
    return 0;
}
