// A player built by the platform's compiler, driving krelvashimon.dll through
// its export and tables exactly as the real one would: every slot of every
// table, the factory list walked by its nodes' fields, errors crossing both
// ways, and unloading and loading again.
//
// ShellExecuteA and MessageBoxA are replaced in the DLL's own import table,
// so nothing is launched or shown; realloc and free are replaced there too,
// to count the component's blocks and to make an allocation fail on demand.
// The settings file lies beside this program and is read by the real
// GetPrivateProfileStringA.
//
//   abi_host            all checks; prints one line per failure and a summary
//   abi_host menu       the label request with the real warning box
//   abi_host run        the command with the real shell request
//
// Exit status: 0 when every check passed, 1 otherwise, 2 when the library
// cannot be loaded.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <new>

#include "tests/abi_host/player_interfaces.h"

namespace {

constexpr guid mainmenu_commands_class{0x35077B8C, 0x6E70, 0x47BA, {0xB9, 0xDD, 0xD5, 0x15, 0x00, 0xE1, 0x2F, 0x2E}};
constexpr guid componentversion_class{0x10BB3EBD, 0xDDF7, 0x4975, {0xA3, 0xCC, 0x23, 0x08, 0x48, 0x29, 0x45, 0x3E}};
constexpr guid command_id_expected{0x908174BA, 0xF4A5, 0x4DC2, {0xA6, 0x8E, 0xFE, 0x85, 0x3F, 0x18, 0xDA, 0x28}};
constexpr guid group_file{0x8F487F1F, 0x419F, 0x47A7, {0x8E, 0xCF, 0xEC, 0x44, 0xAF, 0x44, 0x49, 0xA3}};
constexpr guid group_playback{0x53FA5B8A, 0xFCBC, 0x4296, {0xB9, 0x68, 0x45, 0xBA, 0xE6, 0x88, 0x88, 0x45}};
constexpr guid group_view{0xF8BE5604, 0x165F, 0x4BB9, {0xB6, 0xA9, 0x15, 0xE5, 0x5E, 0x0E, 0x0D, 0x3A}};
constexpr guid group_help{0x25DC3DB7, 0x996A, 0x4F48, {0xAF, 0x53, 0x71, 0x20, 0x32, 0xEF, 0xA0, 0x4F}};
constexpr guid group_fallback{0x15D22753, 0x9D30, 0x4929, {0xAA, 0x14, 0x51, 0x24, 0x01, 0x6F, 0x7E, 0x68}};
constexpr guid null_guid{};

constexpr char warning_text[] =
    "You appear to have an old krelvashimon.ini file.\nPlease see the INI that came with this version "
    "and update your's accordingly.";
constexpr char about_start[] = "krelvashimon\nFor: quelmodrin v0.9.3.1\n\nContributors:\n";

bool same(const guid& a, const guid& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// ---- checks ----

int checks = 0;
int failures = 0;
const char* current_case = "";

#define CHECK(condition, ...)                                              \
    do {                                                                   \
        ++checks;                                                          \
        if (!(condition)) {                                                \
            ++failures;                                                    \
            std::printf("FAIL [%s] line %d: ", current_case, __LINE__);    \
            std::printf(__VA_ARGS__);                                      \
            std::printf("\n");                                             \
        }                                                                  \
    } while (0)

// ---- the player's own objects ----

// An error of the player's own, raised through the component's frames.
struct host_error {
    const char* where;
};

// True when operation lets the player's own error from where reach it.
template <class operation_type>
bool passes_host_error(const char* where, operation_type operation) {
    try {
        operation();
    } catch (const host_error& e) {
        return std::strcmp(e.where, where) == 0;
    }
    return false;
}

class counted_object final : public service_base {
public:
    std::uint32_t release() override { return static_cast<std::uint32_t>(--references); }
    std::uint32_t add_ref() override { return static_cast<std::uint32_t>(++references); }
    bool query(service_ref*, const guid*) override { return false; }
    int references = 0;
};

class receiver final : public string_base {
public:
    explicit receiver(const char* earlier = "held before") { std::strcpy(text, earlier); }
    void append(const char* more, std::size_t max) override {
        ++other_calls;
        put(std::strlen(text), more, max);
    }
    const char* get_text() override { return text; }
    void assign(const char* value, std::size_t max) override {
        ++assigns;
        if (raise_on_assign) throw host_error{"receiver assign"};
        put(0, value, max);
    }
    void truncate(std::size_t length) override {
        ++other_calls;
        if (length < std::strlen(text)) text[length] = 0;
    }
    std::size_t get_length() override { return std::strlen(text); }
    char* open_buffer(std::size_t) override {
        ++other_calls;
        std::memset(text, 0, sizeof text);
        return text;
    }
    void close_buffer() override { ++other_calls; }

    char text[512];
    int assigns = 0;
    int other_calls = 0;
    bool raise_on_assign = false;

private:
    void put(std::size_t at, const char* value, std::size_t max) {
        std::size_t n = 0;
        while (value && n < max && value[n] && at + n < sizeof text - 1) ++n;
        std::memcpy(text + at, value, n);
        text[at + n] = 0;
    }
};

class player_api final : public host_api {
public:
    void unused_0() override { ++unexpected; }
    void unused_1() override { ++unexpected; }
    void unused_2() override { ++unexpected; }
    void unused_3() override { ++unexpected; }
    bool host_check() override {
        ++asked;
        if (raise) throw host_error{"host_check"};
        return answer;
    }
    bool answer = true;
    bool raise = false;
    int asked = 0;
    int unexpected = 0;
};

// Streams over memory that log every call.
class memory_stream final : public stream_in, public stream_out {
public:
    memory_stream(const std::uint8_t* bytes, std::size_t length) : data(bytes), size(length) {}
    std::uint32_t read(void* destination, std::uint32_t count, abort_token& abort) override {
        note("read", count, abort);
        if (raise_on_read > 0 && --raise_on_read == 0) throw host_error{"stream read"};
        std::size_t left = size - position;
        std::uint32_t got = count < left ? count : static_cast<std::uint32_t>(left);
        std::memcpy(destination, data + position, got);
        position += got;
        return got;
    }
    void read_exact(void* destination, std::uint32_t count, abort_token& abort) override {
        note("read_exact", count, abort);
        if (count > size - position) throw host_error{"stream ends"};
        std::memcpy(destination, data + position, count);
        position += count;
    }
    std::uint64_t skip(std::uint64_t count, abort_token& abort) override {
        note("skip", count, abort);
        return 0;
    }
    void skip_exact(std::uint64_t count, abort_token& abort) override {
        note("skip_exact", count, abort);
        if (count > size - position) throw host_error{"stream ends"};
        position += static_cast<std::size_t>(count);
    }
    void write(const void* source, std::uint32_t count, abort_token& abort) override {
        note("write", count, abort);
        if (raise_on_write > 0 && --raise_on_write == 0) throw host_error{"stream write"};
        if (written_size + count <= sizeof written) std::memcpy(written + written_size, source, count);
        written_size += count;
    }

    const std::uint8_t* data;
    std::size_t size;
    std::size_t position = 0;
    char log[256] = "";
    abort_token* abort_seen = nullptr;
    int raise_on_read = 0;   // k: the k-th read raises
    int raise_on_write = 0;  // k: the k-th write raises
    std::uint8_t written[64] = {};
    std::size_t written_size = 0;

private:
    void note(const char* operation, std::uint64_t count, abort_token& abort) {
        std::size_t used = std::strlen(log);
        _snprintf(log + used, sizeof log - used - 1, "%s%s(%u)", used ? " " : "", operation,
                  static_cast<unsigned>(count));
        abort_seen = &abort;
    }
};

// ---- the DLL's imports, replaced ----

struct shell_request {
    int calls;
    char verb[32], file[32], parameters[2048];
    int show;
    bool owner, directory;
} shell;

struct warning_box {
    int calls;
    char caption[64], message[256];
    UINT style;
    bool owner;
} box;

// The component's heap, seen through its own imports.
struct heap_watch {
    void* live[64];
    int live_count;
    int allocations;     // successful realloc calls with a count above 0
    int fail_countdown;  // 0: none; k: the k-th allocation from now fails
    void* freed[8];      // frees while recording, in order
    int freed_count;
    bool record_frees;
} heap;

void forget(void* block) {
    for (int i = 0; i < heap.live_count; ++i)
        if (heap.live[i] == block) {
            heap.live[i] = heap.live[--heap.live_count];
            return;
        }
}

void* __cdecl counting_realloc(void* block, std::size_t count) {
    if (count > 0 && heap.fail_countdown > 0 && --heap.fail_countdown == 0) return nullptr;
    void* result = std::realloc(block, count);
    if (result == nullptr) return nullptr;
    if (block) forget(block);
    if (heap.live_count < 64) heap.live[heap.live_count++] = result;
    ++heap.allocations;
    return result;
}

void __cdecl counting_free(void* block) {
    if (!block) return;
    forget(block);
    if (heap.record_frees && heap.freed_count < 8) heap.freed[heap.freed_count++] = block;
    std::free(block);
}

HINSTANCE WINAPI recorded_shell_execute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                        LPCSTR directory, INT show) {
    ++shell.calls;
    shell.owner = owner != nullptr;
    shell.directory = directory != nullptr;
    _snprintf(shell.verb, sizeof shell.verb - 1, "%s", verb ? verb : "(null)");
    _snprintf(shell.file, sizeof shell.file - 1, "%s", file ? file : "(null)");
    _snprintf(shell.parameters, sizeof shell.parameters - 1, "%s", parameters ? parameters : "(null)");
    shell.show = show;
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(2));  // "not found": must not matter
}

int WINAPI recorded_message_box(HWND owner, LPCSTR message, LPCSTR caption, UINT style) {
    ++box.calls;
    box.owner = owner != nullptr;
    _snprintf(box.caption, sizeof box.caption - 1, "%s", caption ? caption : "(null)");
    _snprintf(box.message, sizeof box.message - 1, "%s", message ? message : "(null)");
    box.style = style;
    return IDOK;
}

bool profile_read_raises = false;
DWORD WINAPI raising_profile_read(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer, DWORD size,
                                  LPCSTR file) {
    if (profile_read_raises) throw host_error{"profile read"};
    return GetPrivateProfileStringA(section, key, fallback, buffer, size, file);
}

bool replace_import(HMODULE module, const char* dll, const char* name, void* replacement) {
    auto base = reinterpret_cast<BYTE*>(module);
    auto nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    IMAGE_DATA_DIRECTORY directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress); d->Name; ++d) {
        if (_stricmp(reinterpret_cast<char*>(base + d->Name), dll) != 0) continue;
        auto names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<char*>(by_name->Name), name) != 0) continue;
            DWORD old;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
            return true;
        }
    }
    return false;
}

// ---- the settings file beside this program ----

char settings_file[MAX_PATH];

void settings(const char* content) {
    if (!content) {
        DeleteFileA(settings_file);
        return;
    }
    FILE* file = std::fopen(settings_file, "wb");
    std::fputs(content, file);
    std::fclose(file);
}

// ---- the loaded component ----

struct component {
    HMODULE module = nullptr;
    get_interface_function get_interface = nullptr;
    component_client* client = nullptr;
    service_factory_base* command_node = nullptr;
    service_factory_base* version_node = nullptr;
    mainmenu_commands* commands = nullptr;
    componentversion* version = nullptr;
};

player_api api;

// Loads the library, replaces its imports, binds it and takes its services.
bool load(const char* library, component& c, bool replace_imports) {
    c.module = LoadLibraryA(library);
    if (!c.module) {
        std::printf("FAIL cannot load %s (error %lu)\n", library, GetLastError());
        return false;
    }
    c.get_interface = reinterpret_cast<get_interface_function>(
        reinterpret_cast<void*>(GetProcAddress(c.module, "quelmodrin_get_interface")));
    if (!c.get_interface) {
        std::printf("FAIL %s has no export quelmodrin_get_interface\n", library);
        return false;
    }
    if (replace_imports) {
        current_case = "imports";
        CHECK(replace_import(c.module, "shell32.dll", "ShellExecuteA", reinterpret_cast<void*>(recorded_shell_execute)),
              "ShellExecuteA import");
        CHECK(replace_import(c.module, "user32.dll", "MessageBoxA", reinterpret_cast<void*>(recorded_message_box)),
              "MessageBoxA import");
        CHECK(replace_import(c.module, "msvcrt.dll", "realloc", reinterpret_cast<void*>(counting_realloc)),
              "realloc import");
        CHECK(replace_import(c.module, "msvcrt.dll", "free", reinterpret_cast<void*>(counting_free)), "free import");
        CHECK(replace_import(c.module, "kernel32.dll", "GetPrivateProfileStringA",
                             reinterpret_cast<void*>(raising_profile_read)),
              "GetPrivateProfileStringA import");
    }
    c.client = c.get_interface(&api, c.module);
    if (!c.client) return false;
    c.command_node = c.client->first_factory();
    c.version_node = c.command_node ? c.command_node->next : nullptr;
    if (!c.command_node || !c.version_node) return false;
    service_ref holder;
    c.command_node->create_service(&holder);
    c.commands = static_cast<mainmenu_commands*>(holder.get());
    c.version_node->create_service(&holder);
    c.version = static_cast<componentversion*>(holder.get());
    return true;
}

// ---- the cases ----

void check_binding(component& c) {
    current_case = "export and client table";
    CHECK(c.get_interface(&api, c.module) == c.client, "the export returned another object the second time");
    CHECK(c.client->client_version() == 71, "client_version %u", c.client->client_version());
    CHECK(!c.client->client_flag(), "client_flag");

    current_case = "factory list";
    CHECK(same(*c.command_node->class_guid, mainmenu_commands_class), "the head serves mainmenu_commands");
    CHECK(same(*c.version_node->class_guid, componentversion_class), "the second serves componentversion");
    CHECK(c.version_node->next == nullptr, "the second node is the last");
    CHECK(c.client->first_factory() == c.command_node, "the list never changes");
    auto offset = [](const void* field, const void* node) {
        return static_cast<const char*>(field) - static_cast<const char*>(node);
    };

    current_case = "create_service";
    counted_object earlier;
    for (service_factory_base* node : {c.command_node, c.version_node}) {
        service_ref holder(&earlier);
        node->create_service(&holder);
        CHECK(earlier.references == 0, "the holder's earlier object kept %d references", earlier.references);
        service_base* first = holder.get();
        node->create_service(&holder);
        CHECK(holder.get() == first, "the same service on every call");
        CHECK(offset(first, node) == static_cast<long>(3 * sizeof(void*)), "the service follows the node's fields");
    }

    current_case = "service_base slots";
    service_base* services[] = {c.commands, c.version};
    const guid* own[] = {&mainmenu_commands_class, &componentversion_class};
    for (int i = 0; i < 2; ++i) {
        for (int k = 0; k < 3; ++k) {
            CHECK(services[i]->add_ref() == 1, "add_ref returns 1");
            CHECK(services[i]->release() == 1, "release returns 1");
        }
        counted_object held;
        service_ref holder(&held);
        guid near_miss = *own[i];
        near_miss.data4[7] ^= 0x80;
        for (const guid* miss : {own[1 - i], &null_guid, static_cast<const guid*>(&near_miss)}) {
            CHECK(!services[i]->query(&holder, miss) && holder.get() == &held && held.references == 1,
                  "a query for another class misses and leaves the holder alone");
        }
        CHECK(services[i]->query(&holder, own[i]) && holder.get() == services[i] && held.references == 0,
              "the own class hits and releases what the holder held");
    }
}

void check_records(component& c) {
    abort_token abort;
    current_case = "write_settings";
    memory_stream out(nullptr, 0);
    c.client->write_settings(&out, &abort);
    CHECK(out.log[0] == 0, "writing emits nothing, got %s", out.log);

    current_case = "read_settings";
    std::uint8_t records[16 + 4 + 3 + 16 + 4 + 5];
    std::memset(records, 0xAB, sizeof records);
    std::memcpy(records + 16, "\x03\0\0\0", 4);
    std::memcpy(records + 16 + 4 + 3 + 16, "\x00\0\0\0", 4);
    memory_stream in(records, sizeof records - 5);
    c.client->read_settings(&in, &abort);
    CHECK(std::strcmp(in.log, "read(16) read_exact(4) skip_exact(3) read(16) read_exact(4) skip_exact(0) read(16)") == 0,
          "calls: %s", in.log);
    CHECK(in.abort_seen == &abort, "the abort token is passed along");

    current_case = "read_settings: the stream's error passes through";
    memory_stream cut(records, 18);
    int live = heap.live_count;
    CHECK(passes_host_error("stream ends", [&] { c.client->read_settings(&cut, &abort); }),
          "the stream's own error did not reach the player");
    CHECK(heap.live_count == live, "%d blocks left behind", heap.live_count - live);
}

void check_version(component& c) {
    current_case = "version reports";
    receiver before;
    c.version->report_file_name(before);
    CHECK(std::strcmp(before.text, "") == 0 && before.assigns == 1 && before.other_calls == 0,
          "file name before set_location: [%s]", before.text);
    c.client->set_location("C:\\Player\\components\\krelvashimon.dll", "krelvashimon.dll");
    struct {
        void (componentversion::*report)(string_base&);
        const char* want;
    } rows[] = {
        {&componentversion::report_file_name, "krelvashimon.dll"},
        {&componentversion::report_name, "krelvashimon"},
        {&componentversion::report_version, "1.31"},
    };
    for (const auto& row : rows) {
        receiver r;
        (c.version->*row.report)(r);
        CHECK(std::strcmp(r.text, row.want) == 0 && r.assigns == 1 && r.other_calls == 0, "[%s], want [%s]", r.text,
              row.want);
    }
    receiver about;
    c.version->report_about(about);
    std::size_t start = sizeof about_start - 1;
    CHECK(std::strncmp(about.text, about_start, start) == 0 && std::strchr(about.text + start, '\n') &&
              about.text[std::strlen(about.text) - 1] != '\n',
          "about: [%s]", about.text);

    current_case = "version reports: the receiver's error passes through";
    receiver raising;
    raising.raise_on_assign = true;
    CHECK(passes_host_error("receiver assign", [&] { c.version->report_name(raising); }),
          "the receiver's error did not reach the player");
}

void check_menu(component& c) {
    struct menu_case {
        const char* name;
        const char* settings;
        const char* label;
        bool warns;
        const guid* group;
    } cases[] = {
        {"menu: no settings file", nullptr, "Explorer", false, &group_view},
        {"menu: label and group", "[krelvashimon]\nmenu=Open music\nlocation=playback now\n", "Open music", false,
         &group_playback},
        {"menu: outdated label", "[krelvashimon]\nmenu=Tools/Explorer\nlocation=help\n", "Tools/Explorer", true,
         &group_help},
        {"menu: slash first", "[krelvashimon]\nmenu=/x\nlocation=file\n", "/x", true, &group_file},
        {"menu: quoted, blanks, case", "[KRELVASHIMON]\n  Menu = \" Spaced \" \nLOCATION=View\n", " Spaced ", false,
         &group_fallback},
        {"menu: empty location", "[krelvashimon]\nlocation=\n", "Explorer", false, &group_fallback},
    };
    mainmenu_commands* m = c.commands;
    current_case = "command slots";
    CHECK(m->command_count() == 1, "command_count");
    CHECK(m->sort_priority() == 0x80000000u, "sort_priority");
    CHECK(same(m->command_id(0), command_id_expected), "command_id(0)");
    CHECK(same(m->command_id(1), null_guid), "command_id(1) is null");
    receiver description("held");
    CHECK(m->command_description(0, description) && std::strcmp(description.text, "Opens an Explorer window.") == 0,
          "description: [%s]", description.text);
    receiver untouched("held");
    CHECK(!m->command_description(1, untouched) && std::strcmp(untouched.text, "held") == 0, "description(1)");
    std::uint32_t flags = 0xFFFFFFFFu;
    box.calls = 0;
    CHECK(m->command_display(1, untouched, flags) && flags == 0 && std::strcmp(untouched.text, "held") == 0 &&
              untouched.assigns == 0 && box.calls == 0,
          "display(1)");

    for (const menu_case& row : cases) {
        current_case = row.name;
        settings(row.settings);
        box.calls = 0;
        receiver label("held");
        m->command_name(0, label);
        CHECK(std::strcmp(label.text, row.label) == 0 && label.assigns == 1, "label [%s], want [%s]", label.text,
              row.label);
        receiver shown("held");
        flags = 0xFFFFFFFFu;
        CHECK(m->command_display(0, shown, flags) && flags == 0 && std::strcmp(shown.text, row.label) == 0,
              "display label [%s]", shown.text);
        CHECK(box.calls == (row.warns ? 2 : 0), "%d warning boxes", box.calls);
        if (row.warns)
            CHECK(std::strcmp(box.caption, "Configuration Error") == 0 && box.style == 0x30 && !box.owner &&
                      std::strcmp(box.message, warning_text) == 0,
                  "box [%s] style %#x [%s]", box.caption, box.style, box.message);
        CHECK(same(m->parent_group(), *row.group), "parent_group");
    }
    settings(nullptr);
}

void check_run(component& c) {
    static char path_259[300], path_1023[1100], path_1024[1100];
    static char ini_259[400], ini_1023[1200], ini_1024[1200], want_259[400], want_1023[1200];
    struct {
        char* path;
        char* ini;
        char* want;
        std::size_t length;
    } long_paths[] = {{path_259, ini_259, want_259, 259}, {path_1023, ini_1023, want_1023, 1023},
                      {path_1024, ini_1024, nullptr, 1024}};
    for (auto& p : long_paths) {
        std::strcpy(p.path, "C:\\");
        std::memset(p.path + 3, 'p', p.length - 3);
        p.path[p.length] = 0;
        std::sprintf(p.ini, "[krelvashimon]\npath=%s\n", p.path);
        if (p.want) std::sprintf(p.want, " /e,/root,%s", p.path);
    }
    struct run_case {
        const char* name;
        const char* settings;
        const char* parameters;  // null: nothing launched
        int show;
    } cases[] = {
        {"run: defaults", nullptr, " /e,/root,C:\\", 1},
        {"run: my computer", "[krelvashimon]\npath=:mycomputer\nshow=Minimize\n",
         " /e,/root,::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", 6},
        {"run: desktop", "[krelvashimon]\npath=:Desktop\nshow=MAXIMIZE\n",
         " /e,/select,::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", 3},
        {"run: folder with spaces, switches off", "[krelvashimon]\nroot=0\nfolder=\npath=D:\\My Music\nshow=max\n",
         " D:\\My Music", 1},
        {"run: path of 259", ini_259, want_259, 1},
        {"run: path of 1023", ini_1023, want_1023, 1},
        {"run: path of 1024 is refused", ini_1024, nullptr, 0},
    };
    for (const run_case& row : cases) {
        current_case = row.name;
        settings(row.settings);
        std::memset(&shell, 0, sizeof shell);
        counted_object callback;
        service_ref held(&callback);
        c.commands->run_command(0, held);
        CHECK(callback.references == 1, "the callback holds %d references, want the player's 1", callback.references);
        if (!row.parameters) {
            CHECK(shell.calls == 0, "launched although refused");
            continue;
        }
        CHECK(shell.calls == 1, "%d shell requests", shell.calls);
        CHECK(std::strcmp(shell.verb, "open") == 0 && std::strcmp(shell.file, "Explorer.exe") == 0 && !shell.owner &&
                  !shell.directory,
              "verb [%s] file [%s]", shell.verb, shell.file);
        CHECK(std::strcmp(shell.parameters, row.parameters) == 0, "parameters [%s], want [%s]", shell.parameters,
              row.parameters);
        CHECK(shell.show == row.show, "show %d, want %d", shell.show, row.show);
    }
    settings(nullptr);

    struct gate_case {
        const char* name;
        std::uint32_t index;
        bool services, answer, raise;
        int launched, asked;
    } gates[] = {
        {"gate: index 1", 1, true, true, false, 0, 0},
        {"gate: services off", 0, false, false, false, 1, 0},
        {"gate: the player says no", 0, true, false, false, 0, 1},
        {"gate: the player says yes", 0, true, true, false, 1, 1},
        {"gate: the player's check raises", 0, true, true, true, 0, 1},
    };
    for (const gate_case& row : gates) {
        current_case = row.name;
        c.client->set_services_available(row.services);
        api.answer = row.answer;
        api.raise = row.raise;
        api.asked = 0;
        std::memset(&shell, 0, sizeof shell);
        counted_object callback;
        bool raised = false;
        {
            service_ref held(&callback);
            raised = passes_host_error("host_check", [&] { c.commands->run_command(row.index, held); });
            CHECK(callback.references == 1, "the callback holds %d references, want the player's 1",
                  callback.references);
        }
        CHECK(raised == row.raise, "the check's error %s", raised ? "reached the player" : "was lost");
        CHECK(shell.calls == row.launched, "launched %d times", shell.calls);
        CHECK(api.asked == row.asked, "the player was asked %d times", api.asked);
        if (!row.raise) c.commands->run_command(row.index, service_ref());
    }
    api.raise = false;
    c.client->set_services_available(false);
    current_case = "host table";
    CHECK(api.unexpected == 0, "the component called a slot other than host_check");
}

// The component's allocation failures reach the player as the platform's
// std::bad_alloc; each leaves the promised state and nothing behind.
void check_allocation_failures(component& c) {
    auto raises_bad_alloc = [](auto operation) {
        int live = heap.live_count;
        bool as_bad_alloc = false, as_exception = false;
        heap.fail_countdown = 1;
        try {
            operation();
        } catch (const std::bad_alloc& e) {
            as_bad_alloc = std::strcmp(e.what(), "bad allocation") == 0;
        }
        heap.fail_countdown = 1;
        try {
            operation();
        } catch (const std::exception& e) {
            as_exception = std::strcmp(e.what(), "bad allocation") == 0;
        }
        heap.fail_countdown = 0;
        CHECK(as_bad_alloc, "not caught as std::bad_alloc with \"bad allocation\"");
        CHECK(as_exception, "not caught as std::exception with \"bad allocation\"");
        CHECK(heap.live_count == live, "%d blocks left behind", heap.live_count - live);
    };

    current_case = "out of memory: set_location";
    c.client->set_location("C:\\first", "first.dll");
    raises_bad_alloc([&] { c.client->set_location("C:\\second folder", "second-name.dll"); });
    receiver name;
    c.version->report_file_name(name);
    CHECK(std::strcmp(name.text, "first.dll") == 0, "the name is [%s], want the earlier one", name.text);

    current_case = "out of memory: the name's copy";
    heap.fail_countdown = 2;
    try {
        c.client->set_location("C:\\third folder", "third-name.dll");
    } catch (const std::bad_alloc&) {
    }
    heap.fail_countdown = 0;
    receiver kept;
    c.version->report_file_name(kept);
    CHECK(std::strcmp(kept.text, "first.dll") == 0, "the name is [%s], want the earlier one", kept.text);

    current_case = "out of memory: command_name";
    box.calls = 0;
    receiver label("held");
    raises_bad_alloc([&] { c.commands->command_name(0, label); });
    CHECK(std::strcmp(label.text, "held") == 0 && label.assigns == 0 && box.calls == 0,
          "the receiver was written or a box shown");

    current_case = "out of memory: the label's fit";
    int live = heap.live_count;
    heap.fail_countdown = 2;
    bool caught = false;
    try {
        c.commands->command_name(0, label);
    } catch (const std::bad_alloc&) {
        caught = true;
    }
    heap.fail_countdown = 0;
    CHECK(caught && heap.live_count == live, "caught %d, %d blocks left behind", caught, heap.live_count - live);

    current_case = "out of memory: parent_group";
    raises_bad_alloc([&] { c.commands->parent_group(); });

    current_case = "out of memory: then everything works";
    c.client->set_location("C:\\fourth", "fourth.dll");
    receiver after;
    c.version->report_file_name(after);
    CHECK(std::strcmp(after.text, "fourth.dll") == 0, "name [%s]", after.text);
    receiver label_after;
    c.commands->command_name(0, label_after);
    CHECK(std::strcmp(label_after.text, "Explorer") == 0, "label [%s]", label_after.text);
    CHECK(same(c.commands->parent_group(), group_view), "parent_group");
}

// The player's own errors pass through the component, whose cleanups run.
void check_errors_passing_through(component& c) {
    current_case = "the receiver raises in command_name";
    int live = heap.live_count;
    receiver raising;
    raising.raise_on_assign = true;
    box.calls = 0;
    settings("[krelvashimon]\nmenu=Tools/Explorer\n");
    CHECK(passes_host_error("receiver assign", [&] { c.commands->command_name(0, raising); }),
          "the receiver's error did not reach the player");
    CHECK(heap.live_count == live, "the temporary label was not freed (%d blocks)", heap.live_count - live);
    CHECK(box.calls == 0, "a box was shown for a label the player never took");

    std::uint32_t flags = 7;
    bool caught = passes_host_error("receiver assign", [&] { c.commands->command_display(0, raising, flags); });
    CHECK(caught && heap.live_count == live, "command_display: caught %d, %d blocks left", caught,
          heap.live_count - live);
    settings(nullptr);

    struct {
        const char* name;
        void (*operation)(component&);
    } reads[] = {{"the settings read raises in command_name",
                  [](component& c) {
                      receiver label;
                      c.commands->command_name(0, label);
                  }},
                 {"the settings read raises in parent_group", [](component& c) { c.commands->parent_group(); }}};
    for (const auto& row : reads) {
        current_case = row.name;
        profile_read_raises = true;
        caught = passes_host_error("profile read", [&] { row.operation(c); });
        profile_read_raises = false;
        CHECK(caught, "the error did not reach the player");
        CHECK(heap.live_count == live, "the temporary string was not freed (%d blocks)", heap.live_count - live);
    }
}

void check_allocation_counts(component& c) {
    struct row {
        const char* name;
        int allocations;
        void (*operation)(component&);
    } rows[] = {
        {"allocations: run_command", 0, [](component& c) { c.commands->run_command(0, service_ref()); }},
        {"allocations: command_name", 2,
         [](component& c) {
             receiver r;
             c.commands->command_name(0, r);
         }},
        {"allocations: parent_group", 2, [](component& c) { c.commands->parent_group(); }},
        {"allocations: query and create_service", 0,
         [](component& c) {
             service_ref holder;
             c.commands->query(&holder, &mainmenu_commands_class);
             c.command_node->create_service(&holder);
         }},
    };
    for (const row& r : rows) {
        current_case = r.name;
        int before = heap.allocations, live = heap.live_count;
        r.operation(c);
        CHECK(heap.allocations - before == r.allocations, "%d allocations, want %d", heap.allocations - before,
              r.allocations);
        CHECK(heap.live_count == live, "%d blocks left behind", heap.live_count - live);
    }
}

// Reads the records from in, catching the error as the given class; the
// error's message, or null when nothing was caught.
template <class error>
const char* read_catching_as(component& c, memory_stream& in) {
    abort_token abort;
    try {
        c.client->read_settings(&in, &abort);
    } catch (const error& e) {
        return e.what();
    }
    return nullptr;
}

// The record stream of the test twin that registers one variable: what it
// writes, its errors crossing into the player as the platform's exceptions,
// and its buffer freed whatever the player's stream raises.
void check_probe_records(const char* probe_library) {
    component probe;
    if (!load(probe_library, probe, true)) {
        ++failures;
        return;
    }
    constexpr std::uint8_t probe_id[16] = {0x2E, 0x5C, 0x1D, 0x6B, 0x4A, 0x1F, 0x3B, 0x4C,
                                           0x9E, 0x21, 0x70, 0x5A, 0x33, 0x8C, 0x0D, 0x47};
    abort_token abort;

    current_case = "probe: write_settings";
    int live = heap.live_count;
    memory_stream out(nullptr, 0);
    probe.client->write_settings(&out, &abort);
    CHECK(std::strcmp(out.log, "write(16) write(4) write(5)") == 0, "calls: %s", out.log);
    CHECK(out.written_size == 25 && std::memcmp(out.written, probe_id, 16) == 0 &&
              std::memcmp(out.written + 16, "\x05\0\0\0probe", 9) == 0,
          "record bytes");
    CHECK(heap.live_count == live, "the buffer was not freed (%d blocks)", heap.live_count - live);

    for (int failing_write = 1; failing_write <= 3; ++failing_write) {
        current_case = "probe: the player's stream raises while writing";
        memory_stream raising(nullptr, 0);
        raising.raise_on_write = failing_write;
        CHECK(passes_host_error("stream write", [&] { probe.client->write_settings(&raising, &abort); }),
              "write %d: the stream's error did not reach the player", failing_write);
        CHECK(heap.live_count == live, "write %d: the buffer was not freed", failing_write);
    }

    // A claimed record of 100 bytes of which only 10 arrive: the variable
    // reads 4, the frame's pass over the other 96 comes up short.
    static std::uint8_t cut_record[16 + 4 + 10];
    std::memcpy(cut_record, probe_id, 16);
    std::memcpy(cut_record + 16, "\x64\0\0\0", 4);
    std::memset(cut_record + 20, 'x', 10);
    struct {
        const char* name;
        const char* (*read_catching)(component&, memory_stream&);
    } rows[] = {{"probe: truncation as exception_io_data_truncation",
                 read_catching_as<quelmodrin_io::exception_io_data_truncation>},
                {"probe: truncation as exception_io_data", read_catching_as<quelmodrin_io::exception_io_data>},
                {"probe: truncation as exception_io", read_catching_as<quelmodrin_io::exception_io>},
                {"probe: truncation as std::exception", read_catching_as<std::exception>}};
    for (const auto& row : rows) {
        current_case = row.name;
        memory_stream in(cut_record, sizeof cut_record);
        const char* message = row.read_catching(probe, in);
        CHECK(message && std::strcmp(message, "Unsupported format or corrupted file") == 0, "caught with [%s]",
              message ? message : "(nothing)");
        CHECK(std::strcmp(in.log, "read(16) read_exact(4) read(4) read(96)") == 0, "calls: %s", in.log);
    }

    current_case = "probe: a whole record, then one nobody claims";
    static std::uint8_t records[16 + 4 + 6 + 16 + 4 + 3];
    std::memcpy(records, probe_id, 16);
    std::memcpy(records + 16, "\x06\0\0\0abcdef", 10);
    std::memset(records + 26, 0x11, 16);
    std::memcpy(records + 42, "\x03\0\0\0xyz", 7);
    memory_stream whole(records, sizeof records);
    probe.client->read_settings(&whole, &abort);
    CHECK(std::strcmp(whole.log, "read(16) read_exact(4) read(4) read(2) read(16) read_exact(4) skip_exact(3) read(16)") == 0,
          "calls: %s", whole.log);

    current_case = "probe: the player's stream raises inside the variable's load";
    memory_stream raising(records, sizeof records);
    raising.raise_on_read = 2;
    CHECK(passes_host_error("stream read", [&] { probe.client->read_settings(&raising, &abort); }),
          "the stream's error did not reach the player");
    CHECK(heap.live_count == live, "%d blocks left behind", heap.live_count - live);
    FreeLibrary(probe.module);
}

// Unloading frees the path, then the name, then the settings path; loading
// again starts afresh.
bool check_unload_and_reload(component& c, const char* library) {
    current_case = "unload";
    heap.live_count = 0;
    c.client->set_location("C:\\Player\\components\\path.dll", "name-text.dll");
    CHECK(heap.live_count == 2, "%d blocks for the two texts", heap.live_count);
    void* path_block = heap.live_count == 2 ? heap.live[0] : nullptr;
    void* name_block = heap.live_count == 2 ? heap.live[1] : nullptr;
    heap.freed_count = 0;
    heap.record_frees = true;
    CHECK(FreeLibrary(c.module), "FreeLibrary failed");
    heap.record_frees = false;
    CHECK(heap.freed_count == 3, "%d frees at unload, want 3", heap.freed_count);
    CHECK(heap.freed_count == 3 && heap.freed[0] == path_block && heap.freed[1] == name_block &&
              heap.freed[2] != path_block && heap.freed[2] != name_block,
          "freed out of order: the path, the name, then the settings path");
    CHECK(heap.live_count == 0, "%d blocks left after unloading", heap.live_count);

    current_case = "load again";
    component again;
    if (!load(library, again, true)) return false;
    receiver name;
    again.version->report_file_name(name);
    CHECK(std::strcmp(name.text, "") == 0, "the new instance remembers [%s]", name.text);
    CHECK(again.client->client_version() == 71 && same(*again.command_node->class_guid, mainmenu_commands_class) &&
              again.version_node->next == nullptr,
          "the list after loading again");
    std::memset(&shell, 0, sizeof shell);
    again.commands->run_command(0, service_ref());
    CHECK(shell.calls == 1 && std::strcmp(shell.parameters, " /e,/root,C:\\") == 0, "run after loading again: [%s]",
          shell.parameters);
    c = again;
    return true;
}

// The real shell and the real box, for a person or a screen test to see.
int run_for_real(const char* library, const char* command) {
    component c;
    if (!load(library, c, false)) return 2;
    if (std::strcmp(command, "menu") == 0) {
        receiver label;
        std::uint32_t flags = 0;
        c.commands->command_display(0, label, flags);
        std::printf("label: %s\n", label.text);
        return 0;
    }
    c.commands->run_command(0, service_ref());
    std::printf("run: requested\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    static char here[MAX_PATH], library[MAX_PATH], probe_library[MAX_PATH];
    GetModuleFileNameA(nullptr, here, sizeof here);
    *std::strrchr(here, '\\') = 0;
    _snprintf(settings_file, sizeof settings_file - 1, "%s\\krelvashimon.ini", here);
    _snprintf(library, sizeof library - 1, "%s\\krelvashimon.dll", here);
    _snprintf(probe_library, sizeof probe_library - 1, "%s\\krelvashimon_probe.dll", here);
    if (argc > 1) return run_for_real(library, argv[1]);

    settings(nullptr);
    component c;
    if (!load(library, c, true)) return 2;
    check_binding(c);
    check_records(c);
    check_version(c);
    check_menu(c);
    check_run(c);
    check_allocation_failures(c);
    check_errors_passing_through(c);
    check_allocation_counts(c);
    if (check_unload_and_reload(c, library)) {
        check_menu(c);
        check_run(c);
    }
    if (GetFileAttributesA(probe_library) != INVALID_FILE_ATTRIBUTES) check_probe_records(probe_library);
    settings(nullptr);

    std::printf("abi host (%d-bit): %d checks, %d failed\n", static_cast<int>(8 * sizeof(void*)), checks, failures);
    return failures ? 1 : 0;
}
