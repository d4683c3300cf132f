// krelvashimon-host: loads the native build of the component as the media
// player does and drives it through its export, client table and services.
// (On Windows the player loads the component itself, and tests/abi_host,
// built for the platform's C++ ABI, drives it in the tests; the Windows
// build of this program, windows_host.cpp, only checks settings.)
//
//   krelvashimon-host [--library PATH] [--deny] [--services-off] COMMAND...
//   COMMAND: info | menu | run | session (info, menu and run in turn)
//   krelvashimon-host check [FILE]
//
// Exit status: 0 on success, 1 when the component misbehaved, 2 on a usage
// or loading error. check explains a settings file (by default the one
// beside this program) without loading the component: 0 when there is
// nothing to warn about, 1 with warnings, 2 when the file cannot be read.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "explorer/commands.h"
#include "explorer/version.h"
#include "frame/client.h"
#include "host/host_receiver.h"
#include "host/settings_check.h"
#include "platform/native_hooks.h"

namespace {

constexpr char default_library[] = "krelvashimon.so";

using get_interface_function = component_client* (*)(host_interface*, void*);

struct loaded_library {
    void* handle = nullptr;
    get_interface_function get_interface = nullptr;
    std::string error;
};

loaded_library load(const std::string& path) {
    loaded_library library;
    library.handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library.handle) {
        library.error = std::string("cannot load ") + dlerror();
        return library;
    }
    library.get_interface =
        reinterpret_cast<get_interface_function>(dlsym(library.handle, "quelmodrin_get_interface"));
    if (!library.get_interface) library.error = path + " has no export quelmodrin_get_interface";
    return library;
}

std::string directory_of_executable(const char* argv0) {
    char path[4096] = {};
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) std::snprintf(path, sizeof path, "%s", argv0);
    std::string text(path);
    std::size_t cut = text.find_last_of('/');
    return cut == std::string::npos ? std::string(".") : text.substr(0, cut);
}

std::string file_name_of(const std::string& path) {
    std::size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

class host_api_object final : public host_interface {
public:
    explicit host_api_object(bool allow) : allow_(allow) {}
    void host_slot_0() override {}
    void host_slot_1() override {}
    void host_slot_2() override {}
    void host_slot_3() override {}
    bool host_check() override {
        ++checks;
        return allow_;
    }
    int checks = 0;

private:
    bool allow_;
};

// The callback that the host hands to run_command by value: the host holds
// one reference of its own, and the copy it passes is one more, which the
// component must release before it returns.
class counted_callback final : public service_base {
public:
    std::uint32_t release() override {
        ++releases;
        return static_cast<std::uint32_t>(--count);
    }
    std::uint32_t add_ref() override {
        ++add_refs;
        return static_cast<std::uint32_t>(++count);
    }
    bool query(service_ref*, const guid*) override { return false; }
    int count = 0;
    int add_refs = 0;
    int releases = 0;
};

int warnings_shown = 0;
int shell_requests = 0;

const char* show_name(int show) {
    switch (show) {
    case 1: return "normal";
    case 3: return "maximized";
    case 6: return "minimized";
    default: return "other";
    }
}

void print_shell_request(const char* verb, const char* file, const char* parameters, int show) {
    ++shell_requests;
    std::printf("shell request: %s %s, parameters \"%s\", show %d (%s)\n", verb, file, parameters, show,
                show_name(show));
}

void print_warning(const char* caption, const char* message, std::uint32_t style) {
    ++warnings_shown;
    std::printf("warning box (style 0x%X): [%s]\n", style, caption);
    std::string text(message);
    for (std::size_t start = 0, end; start <= text.size(); start = end + 1) {
        end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::printf("  | %s\n", text.substr(start, end - start).c_str());
    }
}

std::string guid_text(const guid& id) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(id.data1), id.data2, id.data3, id.data4[0], id.data4[1],
                  id.data4[2], id.data4[3], id.data4[4], id.data4[5], id.data4[6], id.data4[7]);
    return text;
}

const char* group_name(const guid& id) {
    struct named_group {
        const guid& id;
        const char* name;
    };
    static const named_group groups[] = {
        {explorer_ids::group_file, "file"},         {explorer_ids::group_edit, "edit"},
        {explorer_ids::group_playback, "playback"}, {explorer_ids::group_view, "view"},
        {explorer_ids::group_help, "help"},         {explorer_ids::group_fallback, "other (fallback)"},
    };
    for (const named_group& group : groups)
        if (guid_equal(group.id, id)) return group.name;
    return "unknown";
}

struct bound_component {
    component_client* client = nullptr;
    mainmenu_commands* commands = nullptr;
    componentversion* version = nullptr;
};

template <class I>
I* service_from(component_client* client) {
    for (service_factory_base* node = client->first_factory(); node; node = node->next) {
        if (!guid_equal(*node->class_guid, I::class_guid)) continue;
        service_ref holder;
        node->create_service(&holder);
        return static_cast<I*>(holder.get());
    }
    return nullptr;
}

int show_info(const bound_component& component) {
    std::printf("client version: %u\n", component.client->client_version());
    std::printf("factories:");
    for (service_factory_base* node = component.client->first_factory(); node; node = node->next) {
        const char* name = guid_equal(*node->class_guid, mainmenu_commands::class_guid) ? "mainmenu_commands"
                           : guid_equal(*node->class_guid, componentversion::class_guid) ? "componentversion"
                                                                                         : "unknown";
        std::printf(" %s", name);
    }
    std::printf("\n");
    if (!component.version) {
        std::printf("error: no componentversion service\n");
        return 1;
    }
    host_receiver file_name, name, version, about;
    component.version->report_file_name(file_name);
    component.version->report_name(name);
    component.version->report_version(version);
    component.version->report_about(about);
    std::printf("file name: %s\nname: %s\nversion: %s\nabout:\n", file_name.get_text(), name.get_text(),
                version.get_text());
    std::string text = about.text();
    for (std::size_t start = 0, end; start <= text.size(); start = end + 1) {
        end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::printf("  | %s\n", text.substr(start, end - start).c_str());
    }
    return 0;
}

int show_menu(const bound_component& component) {
    mainmenu_commands* commands = component.commands;
    if (!commands) {
        std::printf("error: no mainmenu_commands service\n");
        return 1;
    }
    int warnings_before = warnings_shown;
    host_receiver label, description;
    std::uint32_t flags = 0xFFFFFFFFu;
    guid id = commands->command_id(0);
    commands->command_display(0, label, flags);
    commands->command_description(0, description);
    guid group = commands->parent_group();
    std::printf("commands: %u\n", commands->command_count());
    std::printf("command id: %s\n", guid_text(id).c_str());
    std::printf("label: %s\n", label.get_text());
    std::printf("description: %s\n", description.get_text());
    std::printf("display flags: %u\n", flags);
    std::printf("group: %s %s\n", group_name(group), guid_text(group).c_str());
    std::printf("sort priority: 0x%08X\n", commands->sort_priority());
    std::printf("outdated-settings warning: %s\n", warnings_shown > warnings_before ? "shown" : "not shown");
    return 0;
}

int run_menu_command(const bound_component& component, const host_api_object& api) {
    if (!component.commands) {
        std::printf("error: no mainmenu_commands service\n");
        return 1;
    }
    counted_callback callback;
    service_ref held(&callback);  // the host's own reference; run_command gets a copy
    int requests_before = shell_requests;
    int checks_before = api.checks;
    int handed_over = callback.add_refs, released = callback.releases;
    component.commands->run_command(0, held);
    handed_over = callback.add_refs - handed_over;
    released = callback.releases - released;
    std::printf("host check asked: %s\n", api.checks > checks_before ? "yes" : "no");
    if (shell_requests == requests_before) std::printf("shell request: none\n");
    std::printf("callback: %d reference%s handed over, %d released by the component; the host still holds "
                "its own\n",
                handed_over, handed_over == 1 ? "" : "s", released);
    return handed_over == 1 && released == 1 && callback.count == 1 ? 0 : 1;
}

int usage(const char* message) {
    std::fprintf(stderr, "krelvashimon-host: %s\n", message);
    std::fprintf(stderr,
                 "usage: krelvashimon-host [--library PATH] [--deny] [--services-off] "
                 "info|menu|run|session...\n"
                 "       krelvashimon-host check [FILE]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string library_path = directory_of_executable(argv[0]) + "/" + default_library;
    bool allow = true;
    bool services = true;
    std::vector<std::string> commands;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--library" && i + 1 < argc) {
            library_path = argv[++i];
        } else if (argument == "--deny") {
            allow = false;
        } else if (argument == "--services-off") {
            services = false;
        } else if (argument == "info" || argument == "menu" || argument == "run") {
            commands.push_back(argument);
        } else if (argument == "check") {
            if (i != 1 || argc > 3) return usage("check takes at most one settings file, and nothing else");
            return check_settings(argc == 3 ? argv[2] : nullptr);
        } else if (argument == "session") {
            commands.insert(commands.end(), {"info", "menu", "run"});
        } else {
            return usage(("unknown command or option: " + argument).c_str());
        }
    }
    if (commands.empty()) return usage("no command given");

    std::setvbuf(stdout, nullptr, _IONBF, 0);
    loaded_library library = load(library_path);
    if (!library.get_interface) {
        std::fprintf(stderr, "krelvashimon-host: %s\n", library.error.c_str());
        return 2;
    }
    using hooks_function = native_platform_hooks* (*)();
    if (auto hooks = reinterpret_cast<hooks_function>(dlsym(library.handle, "krelvashimon_native_hooks"))) {
        hooks()->shell_open = print_shell_request;
        hooks()->warning_box = print_warning;
    }

    host_api_object api(allow);
    bound_component component;
    component.client = library.get_interface(&api, library.handle);
    component.client->set_location(library_path.c_str(), file_name_of(library_path).c_str());
    component.client->set_services_available(services);
    component.commands = service_from<mainmenu_commands>(component.client);
    component.version = service_from<componentversion>(component.client);

    int status = 0;
    for (const std::string& command : commands) {
        std::printf("== %s\n", command.c_str());
        int result = command == "info" ? show_info(component)
                     : command == "menu" ? show_menu(component)
                                         : run_menu_command(component, api);
        if (result != 0) status = result;
    }
    component.client->set_services_available(false);
    return status;
}
