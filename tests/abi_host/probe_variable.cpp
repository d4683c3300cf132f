// Linked only into krelvashimon_probe.dll, a test twin of the component:
// one persistent variable, so that the player can watch the record stream's
// errors and cleanups cross into it. The shipped component registers none.
#include "frame/records.h"

namespace {

constexpr guid probe_id{0x6B1D5C2E, 0x1F4A, 0x4C3B, {0x9E, 0x21, 0x70, 0x5A, 0x33, 0x8C, 0x0D, 0x47}};

// Saves "probe"; loads by reading up to four bytes, which leaves the rest of
// a longer record for the frame to pass over.
class probe_variable final : public persistent_variable {
public:
    probe_variable() : persistent_variable(probe_id, persistent_variable_list) { persistent_variable_list = this; }
    void save(stream_out& out, abort_token& abort) override { out.write("probe", 5, abort); }
    void load(stream_in& in, std::uint32_t, abort_token& abort) override {
        char head[4];
        in.read(head, sizeof head, abort);
    }
};

probe_variable probe;

}  // namespace
