/* An independent host for krelvashimon.dll, written in C as a host built by
 * another compiler sees the component: tables of function pointers in slot
 * order, the platform compiler's conventions spelled out (__thiscall on
 * 32-bit; an aggregate result through a hidden pointer right after this; a
 * counted reference passed by value as one pointer-sized value that the
 * callee releases), factory nodes read by offset.
 *
 * ShellExecuteA and MessageBoxA are replaced in the DLL's own import table,
 * so nothing is launched or shown: the harness checks what would have been.
 * The settings file lies beside this executable and is read by the real
 * GetPrivateProfileStringA; the path comes from the real GetModuleFileNameA.
 *
 * Usage: harness [path of krelvashimon.dll]. Prints one line per failed
 * check, naming its case, and a summary; exits 0 only if all checks pass. */
#include <windows.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#if defined(__i386__)
#define HOST_CALL __attribute__((thiscall))
#else
#define HOST_CALL
#endif

typedef unsigned char host_bool; /* the platform's bool: one byte, in AL */

typedef struct guid {
    uint32_t data1;
    uint16_t data2, data3;
    uint8_t data4[8];
} guid;

static const guid mainmenu_commands_class = {0x35077B8C, 0x6E70, 0x47BA, {0xB9, 0xDD, 0xD5, 0x15, 0x00, 0xE1, 0x2F, 0x2E}};
static const guid componentversion_class = {0x10BB3EBD, 0xDDF7, 0x4975, {0xA3, 0xCC, 0x23, 0x08, 0x48, 0x29, 0x45, 0x3E}};
static const guid command_id_expected = {0x908174BA, 0xF4A5, 0x4DC2, {0xA6, 0x8E, 0xFE, 0x85, 0x3F, 0x18, 0xDA, 0x28}};
static const guid group_file = {0x8F487F1F, 0x419F, 0x47A7, {0x8E, 0xCF, 0xEC, 0x44, 0xAF, 0x44, 0x49, 0xA3}};
static const guid group_playback = {0x53FA5B8A, 0xFCBC, 0x4296, {0xB9, 0x68, 0x45, 0xBA, 0xE6, 0x88, 0x88, 0x45}};
static const guid group_view = {0xF8BE5604, 0x165F, 0x4BB9, {0xB6, 0xA9, 0x15, 0xE5, 0x5E, 0x0E, 0x0D, 0x3A}};
static const guid group_help = {0x25DC3DB7, 0x996A, 0x4F48, {0xAF, 0x53, 0x71, 0x20, 0x32, 0xEF, 0xA0, 0x4F}};
static const guid group_fallback = {0x15D22753, 0x9D30, 0x4929, {0xAA, 0x14, 0x51, 0x24, 0x01, 0x6F, 0x7E, 0x68}};
static const guid null_guid = {0};

/* ---- checks ---- */

static int checks, failures;
static const char* current_case = "";

#define CHECK(condition, ...)                                        \
    do {                                                             \
        ++checks;                                                    \
        if (!(condition)) {                                          \
            ++failures;                                              \
            printf("FAIL [%s] %s:%d: ", current_case, __FILE__, __LINE__); \
            printf(__VA_ARGS__);                                     \
            printf("\n");                                            \
        }                                                            \
    } while (0)

static int same_guid(const guid* a, const guid* b) { return memcmp(a, b, sizeof *a) == 0; }

/* ---- host objects ---- */

/* A counted object: service_base's three slots. */
typedef struct counted counted;
typedef struct counted_table {
    uint32_t(HOST_CALL* release)(counted* self);
    uint32_t(HOST_CALL* add_ref)(counted* self);
    host_bool(HOST_CALL* query)(counted* self, void* holder, const guid* id);
} counted_table;
struct counted {
    const counted_table* table;
    int releases, add_refs;
};
static uint32_t HOST_CALL counted_release(counted* self) { return (uint32_t)++self->releases; }
static uint32_t HOST_CALL counted_add_ref(counted* self) { return (uint32_t)++self->add_refs; }
static host_bool HOST_CALL counted_query(counted* self, void* holder, const guid* id) {
    (void)self, (void)holder, (void)id;
    return 0;
}
static const counted_table counted_ops = {counted_release, counted_add_ref, counted_query};

/* The text receiver: seven slots over a fixed buffer. */
typedef struct receiver receiver;
typedef struct receiver_table {
    void(HOST_CALL* append)(receiver* self, const char* text, size_t max);
    const char*(HOST_CALL* get_text)(receiver* self);
    void(HOST_CALL* assign)(receiver* self, const char* text, size_t max);
    void(HOST_CALL* truncate)(receiver* self, size_t length);
    size_t(HOST_CALL* get_length)(receiver* self);
    char*(HOST_CALL* open_buffer)(receiver* self, size_t n);
    void(HOST_CALL* close_buffer)(receiver* self);
} receiver_table;
struct receiver {
    const receiver_table* table;
    char text[4096];
    int assigns, other_calls;
};
static void put_text(receiver* self, size_t at, const char* text, size_t max) {
    size_t n = 0;
    while (text && n < max && text[n] && at + n < sizeof self->text - 1) ++n;
    memcpy(self->text + at, text, n);
    self->text[at + n] = 0;
}
static void HOST_CALL r_append(receiver* self, const char* text, size_t max) {
    ++self->other_calls;
    put_text(self, strlen(self->text), text, max);
}
static const char* HOST_CALL r_get_text(receiver* self) { return self->text; }
static void HOST_CALL r_assign(receiver* self, const char* text, size_t max) {
    ++self->assigns;
    put_text(self, 0, text, max);
}
static void HOST_CALL r_truncate(receiver* self, size_t length) {
    ++self->other_calls;
    if (length < strlen(self->text)) self->text[length] = 0;
}
static size_t HOST_CALL r_get_length(receiver* self) { return strlen(self->text); }
static char* HOST_CALL r_open_buffer(receiver* self, size_t n) {
    ++self->other_calls;
    (void)n;
    memset(self->text, 0, sizeof self->text);
    return self->text;
}
static void HOST_CALL r_close_buffer(receiver* self) { ++self->other_calls; }
static const receiver_table receiver_ops = {r_append, r_get_text, r_assign, r_truncate,
                                            r_get_length, r_open_buffer, r_close_buffer};
static void receiver_init(receiver* r, const char* earlier) {
    memset(r, 0, sizeof *r);
    r->table = &receiver_ops;
    strcpy(r->text, earlier);
}

/* host_api: five slots; the component may call only the fifth. */
typedef struct host_api host_api;
typedef struct host_api_table {
    void(HOST_CALL* unused[4])(host_api* self);
    host_bool(HOST_CALL* host_check)(host_api* self);
} host_api_table;
struct host_api {
    const host_api_table* table;
    host_bool answer;
    int checks, unexpected;
};
static void HOST_CALL api_unused(host_api* self) { ++self->unexpected; }
static host_bool HOST_CALL api_check(host_api* self) {
    ++self->checks;
    return self->answer;
}
static const host_api_table api_ops = {{api_unused, api_unused, api_unused, api_unused}, api_check};

/* Streams over memory, recording every call. */
typedef struct host_stream host_stream;
typedef struct stream_in_table {
    uint32_t(HOST_CALL* read)(host_stream* self, void* destination, uint32_t count, void* abort);
    void(HOST_CALL* read_exact)(host_stream* self, void* destination, uint32_t count, void* abort);
    uint64_t(HOST_CALL* skip)(host_stream* self, uint64_t count, void* abort);
    void(HOST_CALL* skip_exact)(host_stream* self, uint64_t count, void* abort);
} stream_in_table;
typedef struct stream_out_table {
    void(HOST_CALL* write)(host_stream* self, const void* source, uint32_t count, void* abort);
} stream_out_table;
struct host_stream {
    const void* table;
    const uint8_t* data;
    size_t size, position;
    char log[512];
    void* abort_seen;
};
static void log_call(host_stream* s, const char* op, unsigned long long count, void* abort) {
    size_t used = strlen(s->log);
    snprintf(s->log + used, sizeof s->log - used, "%s%s(%llu)", used ? " " : "", op, count);
    s->abort_seen = abort;
}
static uint32_t HOST_CALL in_read(host_stream* s, void* destination, uint32_t count, void* abort) {
    size_t left = s->size - s->position;
    uint32_t got = count < left ? count : (uint32_t)left;
    memcpy(destination, s->data + s->position, got);
    s->position += got;
    log_call(s, "read", count, abort);
    return got;
}
static void HOST_CALL in_read_exact(host_stream* s, void* destination, uint32_t count, void* abort) {
    log_call(s, "read_exact", count, abort);
    if (count > s->size - s->position) return; /* never reached by these cases */
    memcpy(destination, s->data + s->position, count);
    s->position += count;
}
static uint64_t HOST_CALL in_skip(host_stream* s, uint64_t count, void* abort) {
    log_call(s, "skip", count, abort);
    return 0;
}
static void HOST_CALL in_skip_exact(host_stream* s, uint64_t count, void* abort) {
    log_call(s, "skip_exact", count, abort);
    s->position += (size_t)count;
}
static void HOST_CALL out_write(host_stream* s, const void* source, uint32_t count, void* abort) {
    (void)source;
    log_call(s, "write", count, abort);
}
static const stream_in_table stream_in_ops = {in_read, in_read_exact, in_skip, in_skip_exact};
static const stream_out_table stream_out_ops = {out_write};

/* ---- the component's tables, as the host declares them ---- */

typedef struct client client;
typedef struct client_table {
    uint32_t(HOST_CALL* client_version)(client* self);
    void*(HOST_CALL* first_factory)(client* self);
    void(HOST_CALL* write_settings)(client* self, host_stream* out, void* abort);
    void(HOST_CALL* read_settings)(client* self, host_stream* in, void* abort);
    void(HOST_CALL* set_location)(client* self, const char* path, const char* name);
    void(HOST_CALL* set_services_available)(client* self, host_bool available);
    host_bool(HOST_CALL* client_flag)(client* self);
} client_table;
struct client {
    const client_table* table;
};
typedef client*(__cdecl* get_interface_fn)(host_api* api, HMODULE module);

typedef struct service service;
typedef struct factory_table {
    void(HOST_CALL* create_service)(void* self, service** holder);
} factory_table;

typedef struct commands_table {
    uint32_t(HOST_CALL* release)(service* self);
    uint32_t(HOST_CALL* add_ref)(service* self);
    host_bool(HOST_CALL* query)(service* self, void* holder, const guid* id);
    uint32_t(HOST_CALL* command_count)(service* self);
    guid*(HOST_CALL* command_id)(service* self, guid* result, uint32_t index);
    void(HOST_CALL* command_name)(service* self, uint32_t index, receiver* out);
    host_bool(HOST_CALL* command_description)(service* self, uint32_t index, receiver* out);
    guid*(HOST_CALL* parent_group)(service* self, guid* result);
    uint32_t(HOST_CALL* sort_priority)(service* self);
    host_bool(HOST_CALL* command_display)(service* self, uint32_t index, receiver* out, uint32_t* flags);
    void(HOST_CALL* run_command)(service* self, uint32_t index, counted* callback);
} commands_table;

typedef struct version_table {
    uint32_t(HOST_CALL* release)(service* self);
    uint32_t(HOST_CALL* add_ref)(service* self);
    host_bool(HOST_CALL* query)(service* self, void* holder, const guid* id);
    void(HOST_CALL* report_file_name)(service* self, receiver* out);
    void(HOST_CALL* report_name)(service* self, receiver* out);
    void(HOST_CALL* report_version)(service* self, receiver* out);
    void(HOST_CALL* report_about)(service* self, receiver* out);
} version_table;

struct service {
    const void* table;
};
#define COMMANDS(s) ((const commands_table*)(s)->table)
#define VERSION(s) ((const version_table*)(s)->table)

/* Node fields, read by offset as the host reads them. */
static void* node_next(void* node) { return *(void**)((char*)node + sizeof(void*)); }
static const guid* node_class(void* node) { return *(const guid**)((char*)node + 2 * sizeof(void*)); }

/* ---- the DLL's imports, replaced ---- */

static struct {
    int calls;
    char verb[64], file[64], parameters[2048], directory[8];
    int show, had_owner, had_directory;
} shell;
static struct {
    int calls;
    char caption[128], message[512];
    UINT style;
    int had_owner;
} box;

static HINSTANCE WINAPI fake_ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                           LPCSTR directory, INT show) {
    ++shell.calls;
    shell.had_owner = owner != NULL;
    shell.had_directory = directory != NULL;
    snprintf(shell.verb, sizeof shell.verb, "%s", verb ? verb : "(null)");
    snprintf(shell.file, sizeof shell.file, "%s", file ? file : "(null)");
    snprintf(shell.parameters, sizeof shell.parameters, "%s", parameters ? parameters : "(null)");
    shell.show = show;
    return (HINSTANCE)(INT_PTR)2; /* file not found: the component must not care */
}

static int WINAPI fake_MessageBoxA(HWND owner, LPCSTR message, LPCSTR caption, UINT style) {
    ++box.calls;
    box.had_owner = owner != NULL;
    snprintf(box.caption, sizeof box.caption, "%s", caption ? caption : "(null)");
    snprintf(box.message, sizeof box.message, "%s", message ? message : "(null)");
    box.style = style;
    return IDOK;
}

static int replace_import(HMODULE module, const char* dll, const char* name, void* replacement) {
    BYTE* base = (BYTE*)module;
    IMAGE_NT_HEADERS* nt = (IMAGE_NT_HEADERS*)(base + ((IMAGE_DOS_HEADER*)base)->e_lfanew);
    IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    IMAGE_IMPORT_DESCRIPTOR* d;
    for (d = (IMAGE_IMPORT_DESCRIPTOR*)(base + dir.VirtualAddress); d->Name; ++d) {
        if (_stricmp((char*)(base + d->Name), dll) != 0) continue;
        IMAGE_THUNK_DATA* names = (IMAGE_THUNK_DATA*)(base + d->OriginalFirstThunk);
        IMAGE_THUNK_DATA* slots = (IMAGE_THUNK_DATA*)(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            IMAGE_IMPORT_BY_NAME* by_name = (IMAGE_IMPORT_BY_NAME*)(base + names->u1.AddressOfData);
            if (strcmp((char*)by_name->Name, name) != 0) continue;
            DWORD old;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
            slots->u1.Function = (ULONG_PTR)replacement;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
            return 1;
        }
    }
    return 0;
}

/* ---- settings beside this executable ---- */

static char settings_file[MAX_PATH];

static void write_settings_file(const char* content) {
    if (!content) {
        DeleteFileA(settings_file);
        return;
    }
    FILE* f = fopen(settings_file, "wb");
    fputs(content, f);
    fclose(f);
}

/* ---- the cases ---- */

static client* bound;
static service* commands;
static service* version;
static host_api api = {&api_ops, 1, 0, 0};

static void check_binding(get_interface_fn get_interface, HMODULE module) {
    current_case = "export and client table";
    client* again;
    bound = get_interface(&api, module);
    CHECK(bound != NULL, "export returned null");
    again = get_interface(&api, module);
    CHECK(again == bound, "export returned another object the second time");
    CHECK(bound->table->client_version(bound) == 71, "client_version");
    CHECK(bound->table->client_flag(bound) == 0, "client_flag");

    current_case = "factory list";
    void* head = bound->table->first_factory(bound);
    CHECK(head != NULL, "empty factory list");
    CHECK(same_guid(node_class(head), &mainmenu_commands_class), "head serves mainmenu_commands");
    void* second = node_next(head);
    CHECK(second != NULL && same_guid(node_class(second), &componentversion_class),
          "second serves componentversion");
    CHECK(second && node_next(second) == NULL, "second is the last");
    CHECK(bound->table->first_factory(bound) == head, "the list never changes");

    current_case = "create_service";
    counted earlier = {&counted_ops, 0, 0};
    service* holder = (service*)&earlier;
    (*(factory_table**)head)->create_service(head, &holder);
    CHECK(earlier.releases == 1, "the holder's earlier object was released %d times", earlier.releases);
    commands = holder;
    (*(factory_table**)head)->create_service(head, &holder);
    CHECK(holder == commands, "same command set on every call");
    CHECK((char*)commands == (char*)head + 3 * sizeof(void*), "command set follows the node");
    holder = NULL;
    (*(factory_table**)second)->create_service(second, &holder);
    version = holder;
    CHECK(version != NULL && (char*)version == (char*)second + 3 * sizeof(void*),
          "version service is the factory's own service part");

    current_case = "service_base slots";
    service* both[2] = {commands, version};
    const guid* own[2] = {&mainmenu_commands_class, &componentversion_class};
    for (int i = 0; i < 2; ++i) {
        const commands_table* t = COMMANDS(both[i]);
        for (int k = 0; k < 3; ++k) {
            CHECK(t->add_ref(both[i]) == 1, "add_ref returns 1");
            CHECK(t->release(both[i]) == 1, "release returns 1");
        }
        counted held = {&counted_ops, 0, 0};
        service* h = (service*)&held;
        guid near_miss = *own[i];
        near_miss.data4[7] ^= 0x80;
        CHECK(!t->query(both[i], &h, own[1 - i]) && h == (service*)&held && held.releases == 0,
              "query with the other interface's class misses and leaves the holder");
        CHECK(!t->query(both[i], &h, &null_guid) && h == (service*)&held, "null guid misses");
        CHECK(!t->query(both[i], &h, &near_miss) && h == (service*)&held, "last byte differs: miss");
        CHECK(t->query(both[i], &h, own[i]) && h == both[i] && held.releases == 1,
              "own class hits, releases the held object once");
    }

    current_case = "settings records";
    host_stream out = {&stream_out_ops, NULL, 0, 0, "", NULL};
    char abort_token;
    bound->table->write_settings(bound, &out, &abort_token);
    CHECK(out.log[0] == 0, "writing emits nothing, got %s", out.log);
    uint8_t records[16 + 4 + 3 + 16 + 4 + 5];
    memset(records, 0xAB, sizeof records);
    memcpy(records + 16, "\x03\0\0\0", 4);
    memcpy(records + 16 + 4 + 3 + 16, "\x00\0\0\0", 4);
    host_stream in = {&stream_in_ops, records, sizeof records - 5, 0, "", NULL};
    bound->table->read_settings(bound, &in, &abort_token);
    CHECK(strcmp(in.log, "read(16) read_exact(4) skip_exact(3) read(16) read_exact(4) skip_exact(0) read(16)") == 0,
          "read calls: %s", in.log);
    CHECK(in.abort_seen == &abort_token, "the abort token is passed along");
}

static void check_version(void) {
    const version_table* t = VERSION(version);
    receiver r;
    current_case = "version reports";
    receiver_init(&r, "held before");
    t->report_file_name(version, &r);
    CHECK(strcmp(r.text, "") == 0 && r.assigns == 1 && r.other_calls == 0, "file name before set_location: [%s]", r.text);
    bound->table->set_location(bound, "C:\\Player\\components\\krelvashimon.dll", "krelvashimon.dll");
    receiver_init(&r, "held before");
    t->report_file_name(version, &r);
    CHECK(strcmp(r.text, "krelvashimon.dll") == 0 && r.assigns == 1, "file name: [%s]", r.text);
    receiver_init(&r, "held before");
    t->report_name(version, &r);
    CHECK(strcmp(r.text, "krelvashimon") == 0 && r.assigns == 1, "name: [%s]", r.text);
    receiver_init(&r, "held before");
    t->report_version(version, &r);
    CHECK(strcmp(r.text, "1.31") == 0 && r.assigns == 1, "version: [%s]", r.text);
    receiver_init(&r, "held before");
    t->report_about(version, &r);
    CHECK(strncmp(r.text, "krelvashimon\nFor: quelmodrin v0.9.3.1\n\nContributors:\n", 51) == 0 &&
              strchr(r.text + 51, '\n') && r.text[strlen(r.text) - 1] != '\n',
          "about: [%s]", r.text);
}

struct menu_case {
    const char* name;
    const char* settings;
    const char* label;
    int warns;
    const guid* group;
};

static void check_menu(void) {
    static const struct menu_case cases[] = {
        {"no settings file", NULL, "Explorer", 0, &group_view},
        {"label and group", "[krelvashimon]\nmenu=Open music\nlocation=playback now\n", "Open music", 0, &group_playback},
        {"outdated label", "[krelvashimon]\nmenu=Tools/Explorer\nlocation=help\n", "Tools/Explorer", 1, &group_help},
        {"slash first", "[krelvashimon]\nmenu=/x\nlocation=file\n", "/x", 1, &group_file},
        {"quoted, blanks, case", "[KRELVASHIMON]\n  Menu = \" Spaced \" \nLOCATION=View\n", " Spaced ", 0, &group_fallback},
        {"empty location", "[krelvashimon]\nlocation=\n", "Explorer", 0, &group_fallback},
    };
    const commands_table* t = COMMANDS(commands);
    current_case = "command slots";
    CHECK(t->command_count(commands) == 1, "command_count");
    CHECK(t->sort_priority(commands) == 0x80000000u, "sort_priority");
    guid id;
    memset(&id, 0xCC, sizeof id);
    CHECK(t->command_id(commands, &id, 0) == &id, "command_id returns the result's address");
    CHECK(same_guid(&id, &command_id_expected), "command_id(0)");
    CHECK(t->command_id(commands, &id, 1) == &id && same_guid(&id, &null_guid), "command_id(1) is null");
    receiver r;
    receiver_init(&r, "held");
    CHECK(t->command_description(commands, 0, &r) == 1 && strcmp(r.text, "Opens an Explorer window.") == 0,
          "description: [%s]", r.text);
    receiver_init(&r, "held");
    CHECK(t->command_description(commands, 1, &r) == 0 && strcmp(r.text, "held") == 0, "description(1)");
    uint32_t flags = 0xFFFFFFFF;
    receiver_init(&r, "held");
    box.calls = 0;
    CHECK(t->command_display(commands, 1, &r, &flags) == 1 && flags == 0 && strcmp(r.text, "held") == 0 &&
              box.calls == 0,
          "display(1)");

    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const struct menu_case* c = &cases[i];
        current_case = c->name;
        write_settings_file(c->settings);
        box.calls = 0;
        receiver_init(&r, "held");
        t->command_name(commands, 0, &r);
        CHECK(strcmp(r.text, c->label) == 0 && r.assigns == 1, "label [%s], want [%s]", r.text, c->label);
        flags = 0xFFFFFFFF;
        receiver_init(&r, "held");
        CHECK(t->command_display(commands, 0, &r, &flags) == 1 && flags == 0 && strcmp(r.text, c->label) == 0,
              "display label [%s]", r.text);
        CHECK(box.calls == 2 * c->warns, "%d warning boxes, want %d", box.calls, 2 * c->warns);
        if (c->warns) {
            CHECK(strcmp(box.caption, "Configuration Error") == 0 && box.style == 0x30 && !box.had_owner,
                  "box caption [%s] style %#x", box.caption, box.style);
            CHECK(strcmp(box.message, "You appear to have an old krelvashimon.ini file.\nPlease see the INI that came "
                                      "with this version and update your's accordingly.") == 0,
                  "box message [%s]", box.message);
        }
        guid group;
        memset(&group, 0xCC, sizeof group);
        CHECK(t->parent_group(commands, &group) == &group && same_guid(&group, c->group), "parent_group");
    }
}

struct run_case {
    const char* name;
    const char* settings;
    const char* parameters; /* NULL: nothing launched */
    int show;
};

static void check_run(void) {
    static char path_1023[1100], path_1024[1100], path_259[300], path_260[300];
    static char ini_1023[1200], ini_1024[1200], ini_259[400], ini_260[400];
    static char want_1023[1200], want_259[400], want_260[400];
    char* paths[] = {path_259, path_260, path_1023, path_1024};
    char* inis[] = {ini_259, ini_260, ini_1023, ini_1024};
    char* wants[] = {want_259, want_260, want_1023, NULL};
    size_t lengths[] = {259, 260, 1023, 1024};
    for (int i = 0; i < 4; ++i) {
        strcpy(paths[i], "C:\\");
        memset(paths[i] + 3, 'p', lengths[i] - 3);
        paths[i][lengths[i]] = 0;
        sprintf(inis[i], "[krelvashimon]\npath=%s\n", paths[i]);
        if (wants[i]) sprintf(wants[i], " /e,/root,%s", paths[i]);
    }
    const struct run_case cases[] = {
        {"run: defaults", NULL, " /e,/root,C:\\", 1},
        {"run: my computer", "[krelvashimon]\npath=:mycomputer\nshow=Minimize\n", " /e,/root,::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", 6},
        {"run: desktop", "[krelvashimon]\npath=:Desktop\nshow=MAXIMIZE\n", " /e,/select,::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", 3},
        {"run: folder with spaces, switches off", "[krelvashimon]\nroot=0\nfolder=\npath=D:\\My Music\nshow=max\n", " D:\\My Music", 1},
        {"run: quoted path", "[krelvashimon]\nroot=1\nfolder=0\npath=\"D:\\Quoted Folder\"\n", " /root,D:\\Quoted Folder", 1},
        {"run: path of 259", ini_259, want_259, 1},
        {"run: path of 260", ini_260, want_260, 1},
        {"run: path of 1023", ini_1023, want_1023, 1},
        {"run: path of 1024 is refused", ini_1024, NULL, 0},
    };
    const commands_table* t = COMMANDS(commands);
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const struct run_case* c = &cases[i];
        current_case = c->name;
        write_settings_file(c->settings);
        memset(&shell, 0, sizeof shell);
        counted callback = {&counted_ops, 0, 0};
        t->run_command(commands, 0, &callback);
        CHECK(callback.releases == 1 && callback.add_refs == 0, "callback released %d times", callback.releases);
        if (!c->parameters) {
            CHECK(shell.calls == 0, "launched although refused");
            continue;
        }
        CHECK(shell.calls == 1, "%d shell requests", shell.calls);
        CHECK(strcmp(shell.verb, "open") == 0 && strcmp(shell.file, "Explorer.exe") == 0 && !shell.had_owner &&
                  !shell.had_directory,
              "verb [%s] file [%s]", shell.verb, shell.file);
        CHECK(strcmp(shell.parameters, c->parameters) == 0, "parameters [%s], want [%s]", shell.parameters, c->parameters);
        CHECK(shell.show == c->show, "show %d, want %d", shell.show, c->show);
    }

    write_settings_file(NULL);
    struct gate_case {
        const char* name;
        uint32_t index;
        host_bool services, answer;
        int launched, checks;
    } gates[] = {
        {"gate: index 1", 1, 1, 1, 0, 0},
        {"gate: services off", 0, 0, 0, 1, 0},
        {"gate: host says no", 0, 1, 0, 0, 1},
        {"gate: host says yes", 0, 1, 1, 1, 1},
    };
    for (size_t i = 0; i < sizeof gates / sizeof gates[0]; ++i) {
        current_case = gates[i].name;
        bound->table->set_services_available(bound, gates[i].services);
        api.answer = gates[i].answer;
        api.checks = 0;
        memset(&shell, 0, sizeof shell);
        counted callback = {&counted_ops, 0, 0};
        t->run_command(commands, gates[i].index, &callback);
        CHECK(callback.releases == 1, "callback released %d times", callback.releases);
        CHECK(shell.calls == gates[i].launched, "launched %d", shell.calls);
        CHECK(api.checks == gates[i].checks, "host asked %d times", api.checks);
        t->run_command(commands, gates[i].index, NULL);
    }
    bound->table->set_services_available(bound, 0);
    current_case = "host table";
    CHECK(api.unexpected == 0, "the component called a host slot other than host_check");
}

int main(int argc, char** argv) {
    char here[MAX_PATH];
    GetModuleFileNameA(NULL, here, sizeof here);
    *strrchr(here, '\\') = 0;
    snprintf(settings_file, sizeof settings_file, "%s\\krelvashimon.ini", here);

    char library[MAX_PATH];
    if (argc > 1) snprintf(library, sizeof library, "%s", argv[1]);
    else snprintf(library, sizeof library, "%s\\krelvashimon.dll", here);
    HMODULE module = LoadLibraryA(library);
    if (!module) {
        printf("FAIL cannot load %s (error %lu)\n", library, GetLastError());
        return 2;
    }
    get_interface_fn get_interface = (get_interface_fn)(void*)GetProcAddress(module, "quelmodrin_get_interface");
    if (!get_interface) {
        printf("FAIL %s has no export quelmodrin_get_interface\n", library);
        return 2;
    }
    current_case = "imports";
    CHECK(replace_import(module, "shell32.dll", "ShellExecuteA", (void*)fake_ShellExecuteA), "ShellExecuteA import");
    CHECK(replace_import(module, "user32.dll", "MessageBoxA", (void*)fake_MessageBoxA), "MessageBoxA import");

    check_binding(get_interface, module);
    check_version();
    check_menu();
    check_run();
    write_settings_file(NULL);

    printf("harness (%d-bit): %d checks, %d failed\n", (int)(8 * sizeof(void*)), checks, failures);
    return failures ? 1 : 0;
}
