#include "platform/program_version.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/posix/paths.h"

namespace stats::platform {
namespace {

bool EndsWithExe(const char* name) {
    const std::size_t length = std::strlen(name);
    if (length < 4) return false;
    const char* tail = name + length - 4;
    return tail[0] == '.' && (tail[1] | 0x20) == 'e' && (tail[2] | 0x20) == 'x' && (tail[3] | 0x20) == 'e';
}

// More than any program file the host could be; the version resource of a larger
// file is not looked for.
constexpr std::size_t kMaxFileSize = 64u << 20;

bool ReadFile(const std::string& name, std::string& bytes) {
    int fd = ::open(NativePath(name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    bytes.clear();
    if (ok) {
        bytes.resize(std::min<std::size_t>(static_cast<std::size_t>(info.st_size), kMaxFileSize));
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

// Bounds-checked little-endian reads from a byte range; every offset is checked
// against the range before it is used.
class Bytes {
public:
    explicit Bytes(std::string_view data) : data_(data) {}
    std::size_t Size() const { return data_.size(); }
    bool Has(std::size_t offset, std::size_t length) const {
        return offset <= data_.size() && length <= data_.size() - offset;
    }
    std::uint16_t U16(std::size_t offset) const {
        const auto* p = reinterpret_cast<const unsigned char*>(data_.data()) + offset;
        return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
    }
    std::uint32_t U32(std::size_t offset) const {
        return static_cast<std::uint32_t>(U16(offset)) | (static_cast<std::uint32_t>(U16(offset + 2)) << 16);
    }

private:
    std::string_view data_;
};

struct Section {
    std::uint32_t virtualAddress;
    std::uint32_t rawSize;
    std::uint32_t rawOffset;
};

class PeImage {
public:
    explicit PeImage(std::string_view file) : raw_(file), file_(file) {}

    std::optional<FileVersion> Version() {
        if (!ReadHeaders()) return std::nullopt;
        return ReadVersionResource();
    }

private:
    // The section headers and the resource directory's address.
    bool ReadHeaders() {
        if (!file_.Has(0, 64) || file_.U16(0) != 0x5A4D) return false;  // "MZ"
        const std::size_t pe = file_.U32(0x3C);
        if (!file_.Has(pe, 24) || file_.U32(pe) != 0x00004550) return false;  // "PE\0\0"
        const std::size_t sectionCount = file_.U16(pe + 6);
        const std::size_t optionalSize = file_.U16(pe + 20);
        const std::size_t optional = pe + 24;
        if (!file_.Has(optional, optionalSize) || optionalSize < 2) return false;

        std::size_t directories = 0;
        switch (file_.U16(optional)) {
            case 0x10B: directories = 96; break;   // PE32
            case 0x20B: directories = 112; break;  // PE32+
            default: return false;
        }
        constexpr std::size_t kResourceEntry = 2;
        if (directories > optionalSize || optionalSize - directories < 8 * (kResourceEntry + 1)) return false;
        if (file_.U32(optional + directories - 4) <= kResourceEntry) return false;  // NumberOfRvaAndSizes
        resourceRva_ = file_.U32(optional + directories + 8 * kResourceEntry);
        if (resourceRva_ == 0) return false;

        const std::size_t table = optional + optionalSize;
        if (!file_.Has(table, sectionCount * 40)) return false;
        for (std::size_t i = 0; i < sectionCount; ++i) {
            const std::size_t at = table + i * 40;
            sections_.push_back({file_.U32(at + 12), file_.U32(at + 16), file_.U32(at + 20)});
        }
        return true;
    }

    // The bytes from the address to the end of the section's data in the file, or
    // an empty range when no section holds it.
    std::string_view Map(std::uint32_t rva) const {
        for (const Section& section : sections_) {
            if (rva < section.virtualAddress) continue;
            const std::size_t into = rva - section.virtualAddress;
            if (into >= section.rawSize) continue;
            if (!file_.Has(section.rawOffset, 0)) return {};
            const std::size_t available =
                std::min<std::size_t>(section.rawSize, file_.Size() - section.rawOffset);
            if (into >= available) return {};
            return raw_.substr(section.rawOffset + into, available - into);
        }
        return {};
    }

    // The entry of a resource directory at the offset (from the directory root):
    // the first one, or the first with the id when one is given. Its offset field
    // is returned, or none.
    static std::optional<std::uint32_t> Entry(const Bytes& root, std::uint32_t offset,
                                              std::optional<std::uint32_t> id) {
        if (!root.Has(offset, 16)) return std::nullopt;
        const std::size_t count = std::size_t{root.U16(offset + 12)} + root.U16(offset + 14);
        if (!root.Has(offset + 16, count * 8) || count == 0) return std::nullopt;
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t at = offset + 16 + i * 8;
            if (!id || root.U32(at) == *id) return root.U32(at + 4);
        }
        return std::nullopt;
    }

    std::optional<FileVersion> ReadVersionResource() const {
        const std::string_view tree = Map(resourceRva_);
        const Bytes root(tree);
        constexpr std::uint32_t kSubdirectory = 0x80000000u;
        constexpr std::uint32_t kVersionType = 16;

        // type -> name -> language -> data entry: a fixed depth, so a directory that
        // points back at itself ends the walk in a wrong-kind entry, not a loop.
        std::uint32_t next = 0;
        for (int level = 0; level < 3; ++level) {
            const auto entry = Entry(root, next, level == 0 ? std::optional<std::uint32_t>(kVersionType)
                                                            : std::nullopt);
            if (!entry) return std::nullopt;
            const bool subdirectory = (*entry & kSubdirectory) != 0;
            if (subdirectory != (level < 2)) return std::nullopt;
            next = *entry & ~kSubdirectory;
        }
        if (!root.Has(next, 16)) return std::nullopt;
        const std::uint32_t dataRva = root.U32(next);
        const std::uint32_t dataSize = root.U32(next + 4);

        std::string_view data = Map(dataRva);
        if (data.size() < dataSize) return std::nullopt;
        return ReadVersionBlock(Bytes(data.substr(0, dataSize)));
    }

    // VS_VERSIONINFO: wLength, wValueLength, wType, the key "VS_VERSION_INFO" in
    // UTF-16, padding to 32 bits, then the fixed file information.
    static std::optional<FileVersion> ReadVersionBlock(const Bytes& block) {
        constexpr char kKey[] = "VS_VERSION_INFO";
        constexpr std::size_t kKeyLength = sizeof kKey;  // with its terminating zero
        constexpr std::size_t kFixed = (6 + 2 * kKeyLength + 3) & ~std::size_t{3};
        constexpr std::size_t kFixedSize = 52;
        if (!block.Has(0, 6)) return std::nullopt;
        const std::size_t length = block.U16(0);
        const std::size_t valueLength = block.U16(2);
        if (length > block.Size() || length < kFixed + kFixedSize) return std::nullopt;
        if (valueLength < kFixedSize || valueLength > length - kFixed) return std::nullopt;
        for (std::size_t i = 0; i < kKeyLength; ++i)
            if (block.U16(6 + 2 * i) != static_cast<unsigned char>(kKey[i])) return std::nullopt;
        if (block.U32(kFixed) != 0xFEEF04BDu) return std::nullopt;
        return FileVersion{block.U32(kFixed + 8), block.U32(kFixed + 12)};
    }

    std::string_view raw_;
    Bytes file_;
    std::uint32_t resourceRva_ = 0;
    std::vector<Section> sections_;
};

}  // namespace

std::vector<std::string> ListProgramFiles() {
    std::vector<std::string> names;
    DIR* folder = ::opendir(".");
    if (!folder) return names;
    // Like the search on the host's platform, every kind of entry is listed: a
    // folder named "x.exe" too, whose version then simply cannot be read.
    while (const dirent* entry = ::readdir(folder)) {
        if (EndsWithExe(entry->d_name)) names.emplace_back(entry->d_name);
    }
    ::closedir(folder);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return std::strcmp(a.c_str(), b.c_str()) < 0; });
    return names;
}

std::optional<FileVersion> ReadFileVersion(const std::string& name) {
    std::string bytes;
    if (!ReadFile(name, bytes)) return std::nullopt;
    return PeImage(bytes).Version();
}

}  // namespace stats::platform
