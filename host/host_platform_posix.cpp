// The host program's needs on POSIX systems. Settings paths here are the
// component's Windows paths, which this system cannot judge.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>

#include "host/host_platform.h"

namespace host_platform {

void absolute_path(const char* path, kvo::string8& out) {
    out.assign("", kvo::whole_text);
    if (path[0] != '/') {
        char directory[4096];
        if (getcwd(directory, sizeof directory)) {
            out.append(directory, kvo::whole_text);
            out.append("/", kvo::whole_text);
        }
    }
    out.append(path, kvo::whole_text);
}

const char* unreadable_reason(const char* path) {
    struct stat status;
    if (stat(path, &status) != 0) return errno == ENOENT ? "no such file" : std::strerror(errno);
    if (S_ISDIR(status.st_mode)) return "it is a directory";
    int file = open(path, O_RDONLY | O_CLOEXEC);
    if (file < 0) return std::strerror(errno);
    close(file);
    return nullptr;
}

folder_answer folder_exists(const char*) { return folder_answer::cannot_judge; }

void error_line(const char* first, const char* second, const char* third, const char* fourth) {
    std::fprintf(stderr, "%s%s%s%s\n", first, second, third, fourth);
}

}  // namespace host_platform
