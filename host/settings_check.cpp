#include "host/settings_check.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <new>

#include "explorer/launch.h"
#include "explorer/settings.h"
#include "host/host_platform.h"
#include "platform/platform.h"
#include "text/storage.h"

namespace {

const setting_key* const known_keys[] = {&menu_key,  &location_key, &path_key,
                                          &root_key, &folder_key,   &show_key};

constexpr std::size_t longest_label = menu_key.read_size - 1;
constexpr std::size_t longest_path = target_capacity - 1;

// Levenshtein distance, ASCII letter case ignored; names longer than the
// table are never close to ours.
std::size_t distance_ignoring_case(const char* a, const char* b) {
    constexpr std::size_t longest = 64;
    std::size_t a_length = std::strlen(a), b_length = std::strlen(b);
    if (a_length > longest || b_length > longest) return ~std::size_t(0);
    auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    std::size_t previous[longest + 1], current[longest + 1];
    for (std::size_t j = 0; j <= b_length; ++j) previous[j] = j;
    for (std::size_t i = 1; i <= a_length; ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= b_length; ++j) {
            std::size_t substitute = previous[j - 1] + (fold(a[i - 1]) == fold(b[j - 1]) ? 0 : 1);
            std::size_t remove = previous[j] + 1, insert = current[j - 1] + 1;
            current[j] = substitute < remove ? (substitute < insert ? substitute : insert)
                                             : (remove < insert ? remove : insert);
        }
        std::memcpy(previous, current, sizeof current);
    }
    return previous[b_length];
}

const setting_key* known_key(const char* name) {
    for (const setting_key* key : known_keys)
        if (equals_ignoring_case(name, key->name)) return key;
    return nullptr;
}

// The known key a misspelt name most likely meant, if any is close.
const setting_key* nearest_known_key(const char* name) {
    const setting_key* nearest = nullptr;
    std::size_t best = 3;
    for (const setting_key* key : known_keys) {
        std::size_t distance = distance_ignoring_case(name, key->name);
        if (distance < best && distance < std::strlen(key->name)) {
            best = distance;
            nearest = key;
        }
    }
    return nearest;
}

// A list of names from the settings reader, grown until it is whole.
class name_list {
public:
    name_list(const char* section, const char* file) {
        for (std::uint32_t size = 4096;; size *= 2) {
            block_ = static_cast<char*>(raw_realloc(block_, size));
            count_ = platform::read_setting_names(section, block_, size, file);
            if (count_ + 2 < size || size >= largest_size) break;
        }
    }
    ~name_list() { raw_realloc(block_, 0); }
    name_list(const name_list&) = delete;
    name_list& operator=(const name_list&) = delete;

    // The names in order, empty ones included: start with null, end at null.
    const char* next(const char* previous) const {
        const char* name = previous ? previous + std::strlen(previous) + 1 : block_;
        return name < block_ + count_ ? name : nullptr;
    }

private:
    static constexpr std::uint32_t largest_size = 1u << 24;
    char* block_ = nullptr;
    std::uint32_t count_ = 0;
};

const char* group_text(menu_group group) {
    switch (group) {
    case menu_group::file: return "the command sits in the File menu";
    case menu_group::edit: return "the command sits in the Edit menu";
    case menu_group::playback: return "the command sits in the Playback menu";
    case menu_group::view: return "the command sits in the View menu";
    case menu_group::help: return "the command sits in the Help menu";
    case menu_group::general: break;
    }
    return "the command sits in the player's general group";
}

const char* window_text(int show_command) {
    switch (show_command) {
    case show_maximized: return "maximized";
    case show_minimized: return "minimized";
    default: return "normal";
    }
}

bool is_my_computer(const char* path) { return equals_ignoring_case(path, ":MyComputer"); }
bool is_desktop(const char* path) { return equals_ignoring_case(path, ":Desktop"); }

// One value of the file as the reader gives it.
class setting_value {
public:
    // The key's value read with size bytes, as the component reads it.
    setting_value(const char* file, const char* key, const char* fallback, std::uint32_t size) {
        read(file, key, fallback, size);
    }
    // The key's whole value, however long: read again until the reader no
    // longer cuts it.
    setting_value(const char* file, const char* key) {
        for (std::uint32_t size = 4096; size < (1u << 24); size *= 2) {
            read(file, key, "", size);
            if (length() + 1 < size) return;
        }
    }
    const char* text() const { return text_.get_text(); }
    std::size_t length() const { return text_.get_length(); }

private:
    void read(const char* file, const char* key, const char* fallback, std::uint32_t size) {
        platform::read_setting(settings_section, key, fallback, text_.open_buffer(size), size, file);
        text_.close_buffer();
    }
    kvo::string8 text_;
};

// Whether the file gives the key a value: the reader then answers the
// same whatever the fallback.
bool in_file(const char* file, const char* key) {
    setting_value first(file, key, "\x01", 2), second(file, key, "\x02", 2);
    return std::strcmp(first.text(), second.text()) == 0;
}

// A key the component reads: its value in effect, and whether the file
// gave it.
struct known_setting {
    known_setting(const char* file, const setting_key& key, std::uint32_t size)
        : key(key), value(file, key.name, key.fallback, size), from_file(in_file(file, key.name)) {}
    const char* text() const { return value.text(); }

    const setting_key& key;
    setting_value value;
    bool from_file;
};

class settings_report {
public:
    explicit settings_report(const char* file)
        : file_(file),
          menu_(file, menu_key, menu_key.read_size),
          location_(file, location_key, location_key.read_size),
          path_(file, path_key, value_read_size + 1),
          root_(file, root_key, root_key.read_size),
          folder_(file, folder_key, folder_key.read_size),
          show_(file, show_key, show_key.read_size) {}

    void print_values() {
        std::printf("settings file: %s\n", file_);
        describe(menu_);
        std::printf("the command's label is \"%s\"\n", menu_.text());
        describe(location_);
        std::printf("%s\n", group_text(group_for_location(location_.text())));
        describe(path_);
        if (path_.value.length() > longest_path)
            std::printf("nothing opens: the path is longer than %u characters\n", unsigned(longest_path));
        else if (is_my_computer(path_.text()))
            std::printf("Explorer opens My Computer\n");
        else if (is_desktop(path_.text()))
            std::printf("Explorer opens the Desktop with My Computer selected\n");
        else
            std::printf("Explorer opens %s\n", path_.text());
        describe(root_);
        if (is_desktop(path_.text()))
            std::printf("does not apply to :Desktop\n");
        else if (switch_on(root_.text()))
            std::printf("the folder becomes the top of Explorer's tree\n");
        else
            std::printf("Explorer's tree keeps its usual top\n");
        describe(folder_);
        std::printf("Explorer shows %s folder tree\n", switch_on(folder_.text()) ? "its" : "no");
        describe(show_);
        std::printf("Explorer's window opens %s\n", window_text(show_command_for(show_.text())));

        launch_request request;
        if (build_launch_request(root_.text(), folder_.text(), show_.text(), path_.text(), request))
            std::printf("Explorer request: %s %s, parameters \"%s\", window %s (show command %d)\n", explorer_verb,
                        explorer_file, request.parameters, window_text(request.show_command),
                        request.show_command);
        else
            std::printf("Explorer request: none, because a cut path would name another folder\n");
    }

    void print_warnings() {
        name_list sections(nullptr, file_);
        const char* first = nullptr;
        for (const char* name = sections.next(nullptr); name; name = sections.next(name)) {
            if (!equals_ignoring_case(name, settings_section)) continue;
            if (!first)
                first = name;
            else
                warn("a second section [%s] is ignored; only the first, [%s], counts", name, first);
        }
        if (!first) {
            warn_missing_section(sections);
            return;
        }
        check_key_names();
        check_values();
    }

    int warnings() const { return warnings_; }

private:
    static void describe(const known_setting& setting) {
        std::printf("%s = \"%s\" (%s): ", setting.key.name, setting.text(),
                    setting.from_file ? "from the file" : "default");
    }

    template <class... Pieces>
    void warn(const char* format, Pieces... pieces) {
        ++warnings_;
        std::printf("warning: ");
        std::printf(format, pieces...);
        std::printf("\n");
    }

    void warn_missing_section(const name_list& sections) {
        const char* nearest = nullptr;
        std::size_t best = 4;
        for (const char* name = sections.next(nullptr); name; name = sections.next(name)) {
            std::size_t distance = distance_ignoring_case(name, settings_section);
            if (distance < best) {
                best = distance;
                nearest = name;
            }
        }
        if (nearest)
            warn("no section [%s], so every key takes its default; did you mean [%s]?", settings_section,
                 nearest);
        else
            warn("no section [%s], so every key takes its default", settings_section);
    }

    void check_key_names() {
        name_list keys(settings_section, file_);
        for (const char* name = keys.next(nullptr); name; name = keys.next(name)) {
            const char* earlier = keys.next(nullptr);
            while (earlier != name && !equals_ignoring_case(earlier, name)) earlier = keys.next(earlier);
            if (earlier != name) {
                setting_value counted(file_, earlier, "", 1024);
                warn("the repeated key \"%s\" is ignored; only the first, %s=%s, counts", name, earlier,
                     counted.text());
                continue;
            }
            if (known_key(name)) continue;
            setting_value value(file_, name, "", 1024);
            if (name[0] == 0)
                warn("=%s: a line with no key name has no effect", value.text());
            else if (const setting_key* nearest = nearest_known_key(name))
                warn("%s=%s: the component reads no key \"%s\"; did you mean %s?", name, value.text(), name,
                     nearest->name);
            else
                warn("%s=%s: the component reads no key \"%s\"", name, value.text(), name);
        }
    }

    void check_values() {
        if (menu_.from_file) {
            setting_value whole(file_, menu_key.name);
            if (contains(menu_.text(), "/"))
                warn("menu=%s: a \"/\" marks a settings file from an older release; the player shows a "
                     "\"Configuration Error\" box at every menu build",
                     whole.text());
            if (whole.length() > longest_label)
                warn("menu=%s: %u characters; the label is cut at %u", whole.text(), unsigned(whole.length()),
                     unsigned(longest_label));
        }
        if (location_.from_file && group_for_location(location_.text()) == menu_group::general)
            warn("location=%s: begins with no group keyword (file, edit, playback, view or help, in lower case); "
                 "the command goes to the player's general group",
                 location_.text());
        check_path();
        for (const known_setting* setting : {&root_, &folder_}) {
            const char* text = setting->text();
            if (setting->from_file && std::strcmp(text, "1") != 0 && std::strcmp(text, "0") != 0)
                warn("%s=%s: neither 1 nor 0; the component takes it as 0 (off)", setting->key.name, text);
        }
        if (show_.from_file && !equals_ignoring_case(show_.text(), "normal") &&
            !equals_ignoring_case(show_.text(), "maximize") && !equals_ignoring_case(show_.text(), "minimize"))
            warn("show=%s: not normal, maximize or minimize; the window opens normal", show_.text());
    }

    void check_path() {
        if (path_.value.length() > longest_path) {
            setting_value whole(file_, path_key.name);
            warn("path=%s: %u characters, more than the %u that can be passed whole; the command opens nothing",
                 whole.text(), unsigned(whole.length()), unsigned(longest_path));
            return;
        }
        if (is_my_computer(path_.text()) || is_desktop(path_.text())) return;
        switch (host_platform::folder_exists(path_.text())) {
        case host_platform::folder_answer::exists: break;
        case host_platform::folder_answer::missing:
            warn("path=%s: no such folder; Explorer will report it", path_.text());
            break;
        case host_platform::folder_answer::cannot_judge:
            std::printf("note: this build cannot judge Windows paths, so whether %s exists is not checked\n",
                        path_.text());
            break;
        }
    }

    const char* file_;
    known_setting menu_, location_, path_, root_, folder_, show_;
    int warnings_ = 0;
};

check_status check_file(const char* file) {
    kvo::string8 path;
    if (file)
        host_platform::absolute_path(file, path);
    else
        compute_settings_path(path);
    if (const char* reason = host_platform::unreadable_reason(path.get_text())) {
        host_platform::error_line("krelvashimon-host: cannot check ", path.get_text(), ": ", reason);
        return check_unusable;
    }
    settings_report report(path.get_text());
    report.print_values();
    report.print_warnings();
    if (report.warnings() == 0) {
        std::printf("no warnings\n");
        return check_clean;
    }
    std::printf("%d warning%s\n", report.warnings(), report.warnings() == 1 ? "" : "s");
    return check_warnings;
}

}  // namespace

check_status check_settings(const char* file) {
    try {
        return check_file(file);
    } catch (const std::bad_alloc&) {
        host_platform::error_line("krelvashimon-host: out of memory while checking the settings file");
        return check_unusable;
    }
}
