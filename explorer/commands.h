// The main-menu command set: one command that opens Windows Explorer on the
// location the settings file names, under the configured main-menu group.
//
// Slots, after service_base's three: command_count, command_id, command_name,
// command_description, parent_group, sort_priority, command_display,
// run_command. GUIDs are returned by value; run_command takes its callback
// as a holder by value, so the call owns one reference and drops it before
// returning, whatever passes through.
#pragma once

#include <cstdint>

#include "explorer/launch.h"
#include "explorer/settings.h"
#include "frame/service.h"
#include "text/string8.h"

class mainmenu_commands : public service_base {
public:
    static constexpr guid class_guid{
        0x35077B8C, 0x6E70, 0x47BA, {0xB9, 0xDD, 0xD5, 0x15, 0x00, 0xE1, 0x2F, 0x2E}};

    virtual std::uint32_t command_count() = 0;
    virtual guid command_id(std::uint32_t index) = 0;
    virtual void command_name(std::uint32_t index, kvo::string_base& out) = 0;
    virtual bool command_description(std::uint32_t index, kvo::string_base& out) = 0;
    virtual guid parent_group() = 0;
    virtual std::uint32_t sort_priority() = 0;
    virtual bool command_display(std::uint32_t index, kvo::string_base& out, std::uint32_t& flags) = 0;
    virtual void run_command(std::uint32_t index, service_ref callback) = 0;

protected:
    ~mainmenu_commands() = default;
};

namespace explorer_ids {
constexpr guid command{0x908174BA, 0xF4A5, 0x4DC2, {0xA6, 0x8E, 0xFE, 0x85, 0x3F, 0x18, 0xDA, 0x28}};
constexpr guid group_file{0x8F487F1F, 0x419F, 0x47A7, {0x8E, 0xCF, 0xEC, 0x44, 0xAF, 0x44, 0x49, 0xA3}};
constexpr guid group_edit{0x8CDA6B10, 0x0613, 0x4CFD, {0x87, 0x30, 0x3B, 0x9C, 0xBF, 0x4C, 0x6A, 0x39}};
constexpr guid group_playback{0x53FA5B8A, 0xFCBC, 0x4296, {0xB9, 0x68, 0x45, 0xBA, 0xE6, 0x88, 0x88, 0x45}};
constexpr guid group_view{0xF8BE5604, 0x165F, 0x4BB9, {0xB6, 0xA9, 0x15, 0xE5, 0x5E, 0x0E, 0x0D, 0x3A}};
constexpr guid group_help{0x25DC3DB7, 0x996A, 0x4F48, {0xAF, 0x53, 0x71, 0x20, 0x32, 0xEF, 0xA0, 0x4F}};
constexpr guid group_fallback{0x15D22753, 0x9D30, 0x4929, {0xAA, 0x14, 0x51, 0x24, 0x01, 0x6F, 0x7E, 0x68}};
}  // namespace explorer_ids

constexpr char command_description_text[] = "Opens an Explorer window.";
constexpr std::uint32_t command_sort_priority = 0x80000000u;
constexpr char warning_caption[] = "Configuration Error";
constexpr char warning_message[] =
    "You appear to have an old krelvashimon.ini file.\n"
    "Please see the INI that came with this version and update your's accordingly.";
constexpr std::uint32_t warning_style = 0x30;

class mainmenu_commands_explorer : public mainmenu_commands {
public:
    using service_interface = mainmenu_commands;

    mainmenu_commands_explorer() { compute_settings_path(settings_path); }

    bool query(service_ref* holder, const guid* requested) override;
    std::uint32_t command_count() override;
    guid command_id(std::uint32_t index) override;
    void command_name(std::uint32_t index, kvo::string_base& out) override;
    bool command_description(std::uint32_t index, kvo::string_base& out) override;
    guid parent_group() override;
    std::uint32_t sort_priority() override;
    bool command_display(std::uint32_t index, kvo::string_base& out, std::uint32_t& flags) override;
    void run_command(std::uint32_t index, service_ref callback) override;

    kvo::string8 settings_path;
};

template <class T>
class mainmenu_commands_factory_t : public service_factory_single_t<T> {
public:
    using service_factory_single_t<T>::service_factory_single_t;
};
