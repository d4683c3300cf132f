#include <gtest/gtest.h>

#include "explorer/registration.h"
#include "frame/client.h"
#include "host/host_receiver.h"

namespace {

constexpr char about[] =
    "krelvashimon\nFor: quelmodrin v0.9.3.1\n\nContributors:\nIlse Marrow\nTomas Venn";

class version_service : public testing::Test {
protected:
    void SetUp() override {
        service_ref holder;
        version_factory.create_service(&holder);
        version = static_cast<componentversion*>(holder.get());
        client = quelmodrin_get_interface(nullptr, nullptr);
    }
    void TearDown() override {
        component_location.path.release();
        component_location.name.release();
    }
    // Each report is exactly one whole-text assign over earlier content.
    std::string report(void (componentversion::*operation)(kvo::string_base&)) {
        host_receiver out;
        out.assign("text the host held before", kvo::whole_text);
        out.assign_calls = 0;
        (version->*operation)(out);
        EXPECT_EQ(out.assign_calls, 1);
        EXPECT_EQ(out.other_calls, 0);
        return out.text();
    }
    componentversion* version = nullptr;
    component_client* client = nullptr;
};

TEST_F(version_service, fixed_texts_whatever_the_location) {
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(report(&componentversion::report_name), "krelvashimon");
        EXPECT_EQ(report(&componentversion::report_version), "1.31");
        EXPECT_EQ(report(&componentversion::report_about), about);
        client->set_location("/opt/player/components/krelvashimon.dll", "krelvashimon.dll");
    }
    EXPECT_EQ(report(&componentversion::report_about).rfind("krelvashimon\nFor: quelmodrin v0.9.3.1\n\nContributors:\n", 0), 0u);
}

TEST_F(version_service, file_name_follows_the_latest_location) {
    EXPECT_EQ(report(&componentversion::report_file_name), "");
    client->set_location("/opt/player/components/krelvashimon.dll", "krelvashimon.dll");
    EXPECT_EQ(report(&componentversion::report_file_name), "krelvashimon.dll");
    client->set_location("/elsewhere/renamed.dll", "renamed.dll");
    EXPECT_EQ(report(&componentversion::report_file_name), "renamed.dll");
    client->set_location("/elsewhere/unnamed", "");
    EXPECT_EQ(report(&componentversion::report_file_name), "");
}

}  // namespace
