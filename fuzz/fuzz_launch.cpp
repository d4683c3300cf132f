// The launch request over arbitrary settings values: the parameters stay in
// their buffer and carry the configured location whole, or nothing is asked.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "explorer/launch.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string values[4];
    std::size_t field = 0;
    for (std::size_t i = 0; i < size && field < 4; ++i) {
        if (data[i] == '\n') ++field;
        else if (data[i] != 0) values[field].push_back(static_cast<char>(data[i]));
    }
    static launch_request request;
    std::memset(request.parameters, 'Z', sizeof request.parameters);
    const std::string& path = values[3];
    bool built = build_launch_request(values[0].c_str(), values[1].c_str(), values[2].c_str(), path.c_str(), request);
    if (!built) {
        if (path.size() < target_capacity) std::abort();
        return 0;
    }
    std::size_t length = strnlen(request.parameters, sizeof request.parameters);
    if (length == sizeof request.parameters) std::abort();
    std::string parameters(request.parameters, length);
    if (parameters[0] != ' ') std::abort();
    bool special = strcasecmp(path.c_str(), ":MyComputer") == 0 || strcasecmp(path.c_str(), ":Desktop") == 0;
    if (!special && (parameters.size() < path.size() ||
                     parameters.compare(parameters.size() - path.size(), path.size(), path) != 0))
        std::abort();
    int show = request.show_command;
    if (show != 1 && show != 3 && show != 6) std::abort();
    return 0;
}
