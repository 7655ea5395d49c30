#include "platform/version_resource.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace stats::platform {
namespace {

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
        if (raw_.size() > kMaxProgramFileSize) return std::nullopt;
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

    // The bytes from the address to the end of its section's data, or an empty
    // range when no section holds it or that section's data runs past the file.
    std::string_view Map(std::uint32_t rva) const {
        for (const Section& section : sections_) {
            if (rva < section.virtualAddress) continue;
            const std::size_t into = rva - section.virtualAddress;
            if (into >= section.rawSize) continue;
            if (!file_.Has(section.rawOffset, section.rawSize)) return {};
            return raw_.substr(section.rawOffset + into, section.rawSize - into);
        }
        return {};
    }

    // A resource directory at the offset (from the directory root), its entry
    // table within bounds: the number of entries, or none.
    static std::optional<std::size_t> Directory(const Bytes& root, std::uint32_t offset) {
        if (!root.Has(offset, 16)) return std::nullopt;
        const std::size_t count = std::size_t{root.U16(offset + 12)} + root.U16(offset + 14);
        if (count == 0 || !root.Has(offset + 16, count * 8)) return std::nullopt;
        return count;
    }

    // The version block of a data entry, whole and well formed.
    std::optional<FileVersion> DataEntryVersion(const Bytes& root, std::uint32_t offset) const {
        if (!root.Has(offset, 16)) return std::nullopt;
        const std::uint32_t dataSize = root.U32(offset + 4);
        const std::string_view data = Map(root.U32(offset));
        if (data.size() < dataSize) return std::nullopt;
        return ReadVersionBlock(Bytes(data.substr(0, dataSize)));
    }

    // type RT_VERSION -> name -> language -> data entry. We take the first name
    // and its first language; the system may choose another name or language,
    // so every entry below RT_VERSION must be sound. The depth is fixed, so a
    // directory that points back at itself ends in a wrong-kind entry, not a
    // loop, and a budget of entries bounds directories that share their tables.
    std::optional<FileVersion> ReadVersionResource() const {
        const Bytes root(Map(resourceRva_));
        constexpr std::uint32_t kSubdirectory = 0x80000000u;
        constexpr std::uint32_t kVersionType = 16;
        constexpr std::size_t kEntryBudget = 4096;

        const auto types = Directory(root, 0);
        if (!types) return std::nullopt;
        std::optional<std::uint32_t> names;
        for (std::size_t i = 0; i < *types && !names; ++i) {
            const std::size_t at = 16 + i * 8;
            if (root.U32(at) == kVersionType) names = root.U32(at + 4);
        }
        if (!names || (*names & kSubdirectory) == 0) return std::nullopt;
        const auto nameCount = Directory(root, *names & ~kSubdirectory);
        if (!nameCount) return std::nullopt;

        std::optional<FileVersion> first;
        std::size_t visited = 0;
        for (std::size_t n = 0; n < *nameCount; ++n) {
            const std::uint32_t languages = root.U32((*names & ~kSubdirectory) + 16 + n * 8 + 4);
            if ((languages & kSubdirectory) == 0) return std::nullopt;
            const auto languageCount = Directory(root, languages & ~kSubdirectory);
            if (!languageCount) return std::nullopt;
            for (std::size_t l = 0; l < *languageCount; ++l) {
                if (++visited > kEntryBudget) return std::nullopt;
                const std::uint32_t entry = root.U32((languages & ~kSubdirectory) + 16 + l * 8 + 4);
                if ((entry & kSubdirectory) != 0) return std::nullopt;
                const auto version = DataEntryVersion(root, entry);
                if (!version) return std::nullopt;
                if (!first) first = version;
            }
        }
        return first;
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

std::optional<FileVersion> FindFileVersion(std::string_view program) { return PeImage(program).Version(); }

}  // namespace stats::platform
