#include "platform/program_version.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "platform/posix/paths.h"
#include "platform/version_resource.h"

namespace stats::platform {
namespace {

// What a search for "*.exe" finds on the host's platform: the extension (after
// the last dot) is "exe" in any letter case, or begins with it, since a longer
// extension is cut to three characters in the file's short name.
bool MatchesExe(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || name.size() - dot - 1 < 3) return false;
    const std::string_view extension = name.substr(dot + 1, 3);
    return (extension[0] | 0x20) == 'e' && (extension[1] | 0x20) == 'x' && (extension[2] | 0x20) == 'e';
}

bool ReadFile(const std::string& name, std::string& bytes) {
    int fd = ::open(NativePath(name).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);  // a FIFO must not block
    if (fd < 0) return false;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    bytes.clear();
    if (ok) {
        bytes.resize(std::min<std::size_t>(static_cast<std::size_t>(info.st_size), kMaxProgramFileSize + 1));
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        bytes.resize(done);  // a file that shrank meanwhile is read as far as it goes
    }
    ::close(fd);
    return ok;
}

}  // namespace

std::vector<std::string> ListProgramFiles() {
    std::vector<std::string> names;
    DIR* folder = ::opendir(".");
    if (!folder) return names;
    // Like the search on the host's platform, every kind of entry is listed: a
    // folder named "x.exe" too, whose version then simply cannot be read.
    while (const dirent* entry = ::readdir(folder)) {
        if (MatchesExe(entry->d_name)) names.emplace_back(entry->d_name);
    }
    ::closedir(folder);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return std::strcmp(a.c_str(), b.c_str()) < 0; });
    return names;
}

std::optional<FileVersion> ReadFileVersion(const std::string& name) {
    std::string bytes;
    if (!ReadFile(name, bytes)) return std::nullopt;
    return FindFileVersion(bytes);
}

}  // namespace stats::platform
