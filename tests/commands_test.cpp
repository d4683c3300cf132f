#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <optional>

#include "explorer/commands.h"
#include "frame/client.h"
#include "host/host_receiver.h"
#include "platform/platform.h"
#include "tests/test_support.h"

namespace {

// Final, so that the test may destroy it as its own concrete type.
class command_set_object final : public service_impl_single_t<mainmenu_commands_explorer> {};

std::string settings_with(const std::string& lines) { return "[krelvashimon]\n" + lines; }

// A command set whose settings file lies in a directory of the test's own,
// with the platform calls recorded.
class command_set : public testing::Test {
protected:
    void SetUp() override {
        platform.executable = dir.path() + "/player";
        commands.emplace();
    }
    void TearDown() override {
        host_api = nullptr;
        services_available = false;
    }
    void settings(const std::string& content) { dir.write("krelvashimon.ini", content); }
    std::string label(std::uint32_t index = 0) {
        host_receiver out;
        commands->command_name(index, out);
        return out.text();
    }
    guid group() { return commands->parent_group(); }

    temp_directory dir;
    platform_recorder platform;
    std::optional<command_set_object> commands;
};

TEST_F(command_set, settings_path_lies_beside_the_executable) {
    struct row {
        const char* executable;
        bool fails;
        const char* expected;
    } rows[] = {
        {"/apps/player/player", false, "/apps/player/krelvashimon.ini"},
        {"/player", false, "/krelvashimon.ini"},
        {"player", false, "krelvashimon.ini"},
        {"", false, "krelvashimon.ini"},
        {"/ignored", true, "krelvashimon.ini"},
        {"/dir/", false, "/dir/krelvashimon.ini"},
    };
    for (const row& r : rows) {
        platform.executable = r.executable;
        platform.executable_fails = r.fails;
        command_set_object fresh;
        EXPECT_STREQ(fresh.settings_path.get_text(), r.expected) << r.executable;
    }
}

TEST_F(command_set, an_executable_path_past_259_characters_is_cut_before_the_directory_is_taken) {
    std::string deep = "/" + std::string(200, 'a') + "/" + std::string(100, 'b') + "/player";
    platform.executable = deep;
    command_set_object fresh;
    EXPECT_EQ(std::string(fresh.settings_path.get_text()), "/" + std::string(200, 'a') + "/krelvashimon.ini");
}

TEST_F(command_set, fixed_answers) {
    EXPECT_EQ(commands->command_count(), 1u);
    EXPECT_EQ(commands->sort_priority(), 0x80000000u);
    EXPECT_TRUE(guid_equal(commands->command_id(0), explorer_ids::command));
    EXPECT_TRUE(guid_equal(commands->command_id(1), null_guid));
    host_receiver description;
    description.assign("earlier", kvo::whole_text);
    EXPECT_FALSE(commands->command_description(1, description));
    EXPECT_EQ(description.text(), "earlier");
    EXPECT_TRUE(commands->command_description(0, description));
    EXPECT_EQ(description.text(), "Opens an Explorer window.");
}

TEST_F(command_set, label_and_outdated_settings_warning) {
    struct row {
        const char* name;
        const char* file;
        std::string expected;
        bool warns;
    } rows[] = {
        {"no file", nullptr, "Explorer", false},
        {"plain label", "menu=Open folder\n", "Open folder", false},
        {"slash first", "menu=/Explorer\n", "/Explorer", true},
        {"slash inside", "menu=Tools/Explorer\n", "Tools/Explorer", true},
        {"slash last", "menu=Explorer/\n", "Explorer/", true},
        {"backslash is fine", "menu=Tools\\Explorer\n", "Tools\\Explorer", false},
        {"empty label", "menu=\n", "", false},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        if (r.file) settings(settings_with(r.file));
        platform.warnings.clear();
        EXPECT_EQ(label(), r.expected);
        EXPECT_EQ(label(), r.expected);
        EXPECT_EQ(platform.warnings.size(), r.warns ? 2u : 0u);
    }
    std::string expected_warning = std::string("Configuration Error|") +
                                   "You appear to have an old krelvashimon.ini file.\nPlease see the INI that came "
                                   "with this version and update your's accordingly.|48";
    settings(settings_with("menu=a/b\n"));
    platform.warnings.clear();
    label();
    ASSERT_EQ(platform.warnings.size(), 1u);
    EXPECT_EQ(platform.warnings[0], expected_warning);
}

TEST_F(command_set, label_is_cut_to_254_characters) {
    settings(settings_with("menu=" + std::string(300, 'm') + "\n"));
    EXPECT_EQ(label(), std::string(254, 'm'));
}

TEST_F(command_set, display_sets_flags_and_performs_a_full_label_request) {
    settings(settings_with("menu=Old/Label\n"));
    host_receiver out;
    std::uint32_t flags = 0xFFFFFFFF;
    EXPECT_TRUE(commands->command_display(0, out, flags));
    EXPECT_EQ(flags, 0u);
    EXPECT_EQ(out.text(), "Old/Label");
    EXPECT_EQ(platform.warnings.size(), 1u);

    host_receiver untouched;
    untouched.assign("kept", kvo::whole_text);
    flags = 0xFFFFFFFF;
    EXPECT_TRUE(commands->command_display(1, untouched, flags));
    EXPECT_EQ(flags, 0u);
    EXPECT_EQ(untouched.text(), "kept");
    EXPECT_EQ(untouched.assign_calls, 1);
    EXPECT_EQ(platform.warnings.size(), 1u);
}

TEST_F(command_set, group_from_the_location_prefix) {
    struct row {
        const char* file;
        guid expected;
    } rows[] = {
        {nullptr, explorer_ids::group_view},
        {"location=file\n", explorer_ids::group_file},
        {"location=edit\n", explorer_ids::group_edit},
        {"location=playback and more\n", explorer_ids::group_playback},
        {"location=viewer\n", explorer_ids::group_view},
        {"location=help\n", explorer_ids::group_help},
        {"location=View\n", explorer_ids::group_fallback},
        {"location=HELP\n", explorer_ids::group_fallback},
        {"location=\n", explorer_ids::group_fallback},
        {"location= preview\n", explorer_ids::group_fallback},
        {"location=tools\n", explorer_ids::group_fallback},
    };
    for (const row& r : rows) {
        if (r.file) settings(settings_with(r.file));
        EXPECT_TRUE(guid_equal(group(), r.expected)) << (r.file ? r.file : "no file");
    }
}

TEST_F(command_set, an_edited_file_takes_effect_at_the_next_request) {
    settings(settings_with("menu=First\nlocation=help\n"));
    EXPECT_EQ(label(), "First");
    EXPECT_TRUE(guid_equal(group(), explorer_ids::group_help));
    settings(settings_with("menu=Second\nlocation=file\n"));
    EXPECT_EQ(label(), "Second");
    EXPECT_TRUE(guid_equal(group(), explorer_ids::group_file));
}

constexpr char my_computer_target[] = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

TEST_F(command_set, launch_parameters_and_window_state) {
    struct row {
        const char* name;
        const char* file;
        std::string parameters;
        int show;
    } rows[] = {
        {"no file", nullptr, " /e,/root,C:\\", 1},
        {"every key at its default", "", " /e,/root,C:\\", 1},
        {"my computer, mixed case", "path=:mYcOmPuTeR\n", std::string(" /e,/root,") + my_computer_target, 1},
        {"desktop drops root", "path=:Desktop\nroot=1\nfolder=1\n",
         std::string(" /e,/select,") + my_computer_target, 1},
        {"desktop without folder", "path=:DESKTOP\nfolder=0\n", std::string(" /select,") + my_computer_target, 1},
        {"both switches off", "root=0\nfolder=no\npath=D:\\Music\n", " D:\\Music", 1},
        {"spaces reach Explorer unquoted", "root=0\nfolder=0\npath=D:\\My Music\\Live Sets\n",
         " D:\\My Music\\Live Sets", 1},
        {"empty switches are off", "root=\nfolder=\n", " C:\\", 1},
        {"a 1 with another digit is off", "root=11\nfolder=01\n", " C:\\", 1},
        {"maximize", "show=maximize\n", " /e,/root,C:\\", 3},
        {"minimize in capitals", "show=MINIMIZE\n", " /e,/root,C:\\", 6},
        {"maximize with a capital", "show=Maximize\n", " /e,/root,C:\\", 3},
        {"first letters only", "show=max\n", " /e,/root,C:\\", 1},
        {"maximize and more", "show=maximized\n", " /e,/root,C:\\", 1},
        {"empty show", "show=\n", " /e,/root,C:\\", 1},
        {"empty path", "path=\n", " /e,/root,", 1},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        if (r.file) settings(settings_with(r.file));
        platform.shell_requests.clear();
        commands->run_command(0, service_ref());
        ASSERT_EQ(platform.shell_requests.size(), 1u);
        const shell_request& request = platform.shell_requests[0];
        EXPECT_EQ(request.verb, "open");
        EXPECT_EQ(request.file, "Explorer.exe");
        EXPECT_EQ(request.parameters, r.parameters);
        EXPECT_EQ(request.show, r.show);
    }
}

TEST_F(command_set, long_paths_are_passed_whole_or_not_at_all) {
    struct row {
        std::size_t length;
        bool launched;
    } rows[] = {{259, true}, {260, true}, {1023, true}, {1024, false}, {5000, false}};
    for (const row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.length << " characters");
        std::string path = "D:\\" + std::string(r.length - 3, 'p');
        settings(settings_with("path=" + path + "\n"));
        platform.shell_requests.clear();
        commands->run_command(0, service_ref());
        ASSERT_EQ(platform.shell_requests.size(), r.launched ? 1u : 0u);
        if (r.launched) {
            EXPECT_EQ(platform.shell_requests[0].parameters, " /e,/root," + path);
            EXPECT_LE(platform.shell_requests[0].parameters.size() + 1, parameters_capacity);
        }
    }
}

TEST_F(command_set, callback_is_released_once_on_every_path) {
    struct row {
        const char* name;
        std::uint32_t index;
        bool services;
        scripted_host::answer answer;
        bool launched;
        int checks;
        bool raises;
    } rows[] = {
        {"index 1", 1, true, scripted_host::yes, false, 0, false},
        {"services off: no check", 0, false, scripted_host::no, true, 0, false},
        {"host allows", 0, true, scripted_host::yes, true, 1, false},
        {"host refuses", 0, true, scripted_host::no, false, 1, false},
        {"host check raises", 0, true, scripted_host::raise, false, 1, true},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        scripted_host host(r.answer);
        quelmodrin_get_interface(&host, nullptr)->set_services_available(r.services);
        platform.shell_requests.clear();
        counting_service callback;
        bool raised = false;
        try {
            commands->run_command(r.index, service_ref(&callback));
        } catch (const host_stream_error&) {
            raised = true;
        }
        EXPECT_EQ(raised, r.raises);
        // The one reference handed over is dropped, also while an error passes.
        EXPECT_EQ(callback.add_refs, 1u);
        EXPECT_EQ(callback.releases, 1u);
        EXPECT_EQ(platform.shell_requests.size(), r.launched ? 1u : 0u);
        EXPECT_EQ(host.checks, r.checks);
        if (!r.raises) commands->run_command(r.index, service_ref());  // an empty holder releases nothing
    }
}

TEST_F(command_set, build_launch_request_never_exceeds_its_buffer) {
    launch_request request;
    std::string longest(target_capacity - 1, 'x');
    ASSERT_TRUE(build_launch_request("1", "1", "normal", longest.c_str(), request));
    EXPECT_EQ(std::strlen(request.parameters), 1 + 3 + 6 + longest.size());
    std::string too_long(target_capacity, 'x');
    EXPECT_FALSE(build_launch_request("1", "1", "normal", too_long.c_str(), request));
}

}  // namespace

namespace {

// Without a host's hook the warning goes to standard error; with no
// terminal to answer it, the call must return instead of waiting.
TEST(native_warning, without_a_terminal_returns_at_once) {
    native_platform_hooks saved = *krelvashimon_native_hooks();
    *krelvashimon_native_hooks() = native_platform_hooks{};
    int saved_stdin = dup(0);
    int no_terminal = open("/dev/null", O_RDONLY);
    dup2(no_terminal, 0);
    testing::internal::CaptureStderr();
    platform::warning_box(warning_caption, warning_message, warning_style);
    std::string shown = testing::internal::GetCapturedStderr();
    dup2(saved_stdin, 0);
    close(saved_stdin);
    close(no_terminal);
    *krelvashimon_native_hooks() = saved;
    EXPECT_NE(shown.find("[Configuration Error]"), std::string::npos);
    EXPECT_NE(shown.find("You appear to have an old krelvashimon.ini file."), std::string::npos);
}

}  // namespace
