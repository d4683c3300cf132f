// krelvashimon-host.exe, the host program as the player's users get it: the
// player itself loads the component, so this build only checks the settings
// file the component reads, through the platform's own reader.
//
//   krelvashimon-host check [FILE]
//
// FILE defaults to krelvashimon.ini beside this program, where the player's
// executable would be. Exit status: 0 when there is nothing to warn about,
// 1 with warnings, 2 when the file cannot be read or on a usage error.
#include <cstring>

#include "host/host_platform.h"
#include "host/settings_check.h"

int main(int argc, char** argv) {
    if (argc >= 2 && argc <= 3 && std::strcmp(argv[1], "check") == 0)
        return check_settings(argc == 3 ? argv[2] : nullptr);
    host_platform::error_line("usage: krelvashimon-host check [FILE]");
    return check_unusable;
}
