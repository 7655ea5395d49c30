#include "platform/profile.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/posix/fd_io.h"
#include "platform/posix/paths.h"

namespace stats::platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

// One line of the file as it stands: where it starts, where its text ends (before
// CR LF or LF) and where its line end ends.
struct Line {
    enum class Kind { kOther, kSection, kKey };
    std::size_t begin = 0;
    std::size_t textEnd = 0;
    std::size_t end = 0;
    Kind kind = Kind::kOther;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // key value, trimmed, quotes still on
};

std::vector<Line> SplitLines(std::string_view content) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < content.size()) {
        Line line;
        line.begin = pos;
        std::size_t lf = content.find('\n', pos);
        line.end = (lf == std::string_view::npos) ? content.size() : lf + 1;
        line.textEnd = (lf == std::string_view::npos) ? content.size() : lf;
        if (line.textEnd > line.begin && content[line.textEnd - 1] == '\r') --line.textEnd;
        pos = line.end;

        std::string_view text = Trim(content.substr(line.begin, line.textEnd - line.begin));
        if (!text.empty() && text.front() == '[') {
            std::string_view inner = text.substr(1);
            std::size_t close = inner.find(']');
            if (close != std::string_view::npos) inner = inner.substr(0, close);
            line.kind = Line::Kind::kSection;
            line.name = Trim(inner);
        } else if (!text.empty() && text.front() != ';') {
            std::size_t eq = text.find('=');
            if (eq != std::string_view::npos) {
                line.kind = Line::Kind::kKey;
                line.name = Trim(text.substr(0, eq));
                line.value = Trim(text.substr(eq + 1));
            }
        }
        lines.push_back(line);
    }
    return lines;
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// Where a key was found, or where its section was.
struct Place {
    std::ptrdiff_t section = -1;  // index of the section's line
    std::ptrdiff_t key = -1;      // index of the key's line
    std::ptrdiff_t lastKey = -1;  // index of the section's last key line
};

Place Find(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Place place;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (place.section < 0) {
            if (line.kind == Line::Kind::kSection && SameName(line.name, section))
                place.section = static_cast<std::ptrdiff_t>(i);
            continue;
        }
        if (line.kind == Line::Kind::kSection) break;  // the first matching section alone counts
        if (line.kind != Line::Kind::kKey) continue;
        place.lastKey = static_cast<std::ptrdiff_t>(i);
        if (place.key < 0 && SameName(line.name, key)) place.key = static_cast<std::ptrdiff_t>(i);
    }
    return place;
}

enum class ReadResult { kOk, kMissing, kFailed };

ReadResult ReadWhole(const std::string& native, std::string& content) {
    int fd = ::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);  // a FIFO must not block
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? ReadResult::kMissing : ReadResult::kFailed;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return ReadResult::kFailed;
    }
    content.clear();
    char buffer[8192];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return ReadResult::kFailed;
        }
        if (n == 0) break;
        content.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return ReadResult::kOk;
}


// The new content goes to a file beside the old one, which then takes its place,
// so a failed write leaves the old file (or no file) behind, never half of one.
bool ReplaceFile(const std::string& native, std::string_view content, const struct stat* previous) {
    static std::atomic<unsigned> counter{0};
    const std::string temp =
        native + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = true;
    if (previous) ok = ::fchmod(fd, previous->st_mode & 07777) == 0;
    ok = ok && WriteAll(fd, content);
    ok = ok && (::fsync(fd) == 0 || errno == EINVAL);
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), native.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace

std::optional<std::string> ReadProfileString(const std::string& path, const std::string& section,
                                             const std::string& key) {
    std::string content;
    if (ReadWhole(NativePath(path), content) != ReadResult::kOk) return std::nullopt;
    const std::vector<Line> lines = SplitLines(content);
    const Place place = Find(lines, section, key);
    if (place.key < 0) return std::nullopt;
    return std::string(Unquote(lines[static_cast<std::size_t>(place.key)].value));
}

bool WriteProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value) {
    const std::string native = NativePath(path);
    std::string content;
    const ReadResult read = ReadWhole(native, content);
    if (read == ReadResult::kFailed) return false;

    const std::vector<Line> lines = SplitLines(content);
    const Place place = Find(lines, section, key);
    std::string updated;
    if (place.key >= 0) {
        // The key keeps its own spelling; its line is written anew.
        const Line& line = lines[static_cast<std::size_t>(place.key)];
        updated.append(content, 0, line.begin);
        updated.append(line.name).append("=").append(value).append("\r\n");
        updated.append(content, line.end);
    } else if (place.section >= 0) {
        const Line& after = lines[static_cast<std::size_t>(place.lastKey >= 0 ? place.lastKey : place.section)];
        updated.append(content, 0, after.end);
        if (after.end == after.textEnd) updated.append("\r\n");  // it was the last line, without a line end
        updated.append(key).append("=").append(value).append("\r\n");
        updated.append(content, after.end);
    } else {
        updated = content;
        if (!updated.empty() && updated.back() != '\n') updated.append("\r\n");
        updated.append("[").append(section).append("]\r\n");
        updated.append(key).append("=").append(value).append("\r\n");
    }

    struct stat info {};
    const bool existed = read == ReadResult::kOk && ::stat(native.c_str(), &info) == 0;
    return ReplaceFile(native, updated, existed ? &info : nullptr);
}

}  // namespace stats::platform
