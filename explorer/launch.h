// What the settings make of the command, apart from any service: the
// main-menu group a "location" names, and the request that opens Explorer
// from "root", "folder", "show" and "path".
#pragma once

#include <cstdint>

#include "explorer/settings.h"

enum class menu_group { file, edit, playback, view, help, general };

// The group whose keyword the value begins with (letter case counts); the
// general group for anything else.
menu_group group_for_location(const char* location);

// Show commands handed to the shell.
constexpr int show_normal = 1;
constexpr int show_maximized = 3;
constexpr int show_minimized = 6;

// The shell's parsing name of My Computer.
constexpr char my_computer[] = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

// Explorer's target holds any "path" the value read can deliver, so a long
// folder is passed whole; a value longer than that is refused rather than
// cut into another folder's name.
constexpr std::uint32_t value_read_size = path_key.read_size;
static_assert(root_key.read_size <= value_read_size && folder_key.read_size <= value_read_size &&
                  show_key.read_size <= value_read_size,
              "every value of a run fits a buffer of value_read_size");
constexpr std::uint32_t target_capacity = value_read_size;
constexpr std::uint32_t parameters_capacity = 1 + 3 + 6 + target_capacity;

// What run_command asks the shell: this verb on this file, with the
// request's parameters and show command.
constexpr char explorer_verb[] = "open";
constexpr char explorer_file[] = "Explorer.exe";

struct launch_request {
    char parameters[parameters_capacity];
    int show_command;
};

// "root" and "folder": on only for "1" (letter case ignored).
bool switch_on(const char* value);
// "show": the window state the shell opens Explorer in.
int show_command_for(const char* value);
// Explorer's parameters: a space, "/e," for the folder tree, "/root," for a
// rooted window, then the target that "path" names. Returns false, writing
// nothing, when the path is too long to pass whole.
bool build_parameters(bool folder_switch, bool root_switch, const char* path,
                      char (&parameters)[parameters_capacity]);
// All four values at once: the same rules as run_command applies.
bool build_launch_request(const char* root, const char* folder, const char* show, const char* path,
                          launch_request& request);
