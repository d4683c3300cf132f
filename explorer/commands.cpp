#include "explorer/commands.h"

#include <cstring>

#include "frame/client.h"
#include "platform/platform.h"

bool mainmenu_commands_explorer::query(service_ref* holder, const guid* requested) {
    return query_own_class(this, mainmenu_commands::class_guid, holder, requested);
}

std::uint32_t mainmenu_commands_explorer::command_count() { return 1; }

guid mainmenu_commands_explorer::command_id(std::uint32_t index) {
    return index == 0 ? explorer_ids::command : null_guid;
}

void mainmenu_commands_explorer::command_name(std::uint32_t index, kvo::string_base& out) {
    if (index != 0) return;
    kvo::string8 label;
    read_setting(settings_path, menu_key, label.open_buffer(256));
    label.close_buffer();
    out.assign(label.get_text(), kvo::whole_text);
    // "/" marks a settings file from an older release; the label still counts.
    if (contains(out.get_text(), "/")) platform::warning_box(warning_caption, warning_message, warning_style);
}

bool mainmenu_commands_explorer::command_description(std::uint32_t index, kvo::string_base& out) {
    if (index != 0) return false;
    out.assign(command_description_text, kvo::whole_text);
    return true;
}

guid mainmenu_commands_explorer::parent_group() {
    struct keyword_group {
        const char* keyword;
        const guid& group;
    };
    static const keyword_group groups[] = {
        {"file", explorer_ids::group_file},         {"edit", explorer_ids::group_edit},
        {"playback", explorer_ids::group_playback}, {"view", explorer_ids::group_view},
        {"help", explorer_ids::group_help},
    };
    kvo::string8 location;
    read_setting(settings_path, location_key, location.open_buffer(256));
    location.close_buffer();
    for (const keyword_group& candidate : groups) {
        if (begins_with(location.get_text(), candidate.keyword)) return candidate.group;
    }
    return explorer_ids::group_fallback;
}

std::uint32_t mainmenu_commands_explorer::sort_priority() { return command_sort_priority; }

bool mainmenu_commands_explorer::command_display(std::uint32_t index, kvo::string_base& out,
                                                 std::uint32_t& flags) {
    flags = 0;
    mainmenu_commands& self = *this;
    self.command_name(index, out);
    return true;
}

bool switch_on(const char* value) { return equals_ignoring_case(value, "1"); }

int show_command_for(const char* value) {
    if (equals_ignoring_case(value, "maximize")) return show_maximized;
    if (equals_ignoring_case(value, "minimize")) return show_minimized;
    return show_normal;
}

bool build_parameters(bool folder_switch, bool root_switch, const char* path,
                      char (&parameters)[parameters_capacity]) {
    char target[target_capacity] = {};
    if (equals_ignoring_case(path, ":MyComputer")) {
        std::memcpy(target, my_computer, sizeof my_computer);
    } else if (equals_ignoring_case(path, ":Desktop")) {
        static constexpr char select_my_computer[] = "/select,::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
        std::memcpy(target, select_my_computer, sizeof select_my_computer);
        root_switch = false;
    } else {
        std::size_t length = std::strlen(path);
        if (length >= sizeof target) return false;
        std::memcpy(target, path, length + 1);
    }

    std::memset(parameters, 0, sizeof parameters);
    char* end = parameters;
    auto put = [&end](const char* piece) {
        std::size_t length = std::strlen(piece);
        std::memcpy(end, piece, length);
        end += length;
    };
    put(" ");
    if (folder_switch) put("/e,");
    if (root_switch) put("/root,");
    put(target);
    static_assert(sizeof parameters >= 1 + 3 + 6 + sizeof target,
                  "every piece fits, target terminator included");
    return true;
}

bool build_launch_request(const char* root, const char* folder, const char* show, const char* path,
                          launch_request& request) {
    request.show_command = show_command_for(show);
    return build_parameters(switch_on(folder), switch_on(root), path, request.parameters);
}

// One value buffer serves the four reads in turn, which keeps the frame
// small enough to need no stack probe.
void mainmenu_commands_explorer::run_command(std::uint32_t index, service_ref callback) {
    (void)callback;  // owned by this call: dropped on return, whatever passes through
    if (index != 0) return;
    if (!host_check_gate()) return;

    // One byte more than any path we pass on, to tell a value that the read
    // would have cut from one that fits.
    char value[value_read_size + 1] = {};
    launch_request request;
    read_setting(settings_path, root_key, value);
    bool root_switch = switch_on(value);
    read_setting(settings_path, folder_key, value);
    bool folder_switch = switch_on(value);
    read_setting(settings_path, show_key, value);
    request.show_command = show_command_for(value);
    read_setting(settings_path, path_key, value, sizeof value);

    if (!build_parameters(folder_switch, root_switch, value, request.parameters)) return;
    platform::shell_open("open", "Explorer.exe", request.parameters, request.show_command);
}
