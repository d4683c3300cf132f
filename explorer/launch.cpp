#include "explorer/launch.h"

#include <cstring>

menu_group group_for_location(const char* location) {
    struct keyword_group {
        const char* keyword;
        menu_group group;
    };
    static const keyword_group groups[] = {
        {"file", menu_group::file}, {"edit", menu_group::edit}, {"playback", menu_group::playback},
        {"view", menu_group::view}, {"help", menu_group::help},
    };
    for (const keyword_group& candidate : groups)
        if (begins_with(location, candidate.keyword)) return candidate.group;
    return menu_group::general;
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
