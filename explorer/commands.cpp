#include "explorer/commands.h"

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
    kvo::string8 location;
    read_setting(settings_path, location_key, location.open_buffer(256));
    location.close_buffer();
    switch (group_for_location(location.get_text())) {
    case menu_group::file: return explorer_ids::group_file;
    case menu_group::edit: return explorer_ids::group_edit;
    case menu_group::playback: return explorer_ids::group_playback;
    case menu_group::view: return explorer_ids::group_view;
    case menu_group::help: return explorer_ids::group_help;
    case menu_group::general: break;
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
    platform::shell_open(explorer_verb, explorer_file, request.parameters, request.show_command);
}
