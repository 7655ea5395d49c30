#include "adif_reader.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace stats::host {
namespace {

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

class Parser {
public:
    Parser(std::string_view bytes, const std::string& source) : bytes_(bytes), source_(source) {}

    std::vector<AdifRecord> Run() {
        // A log whose first byte is not '<' starts with a header; its free text
        // runs up to the first tag.
        inHeader_ = !bytes_.empty() && bytes_[0] != '<';
        std::size_t pos = 0;
        bool sawTag = false;
        while (true) {
            const std::size_t open = bytes_.find('<', pos);
            if (open == std::string_view::npos) break;
            pos = ReadTag(open);
            sawTag = true;
        }
        // Text without a single tag is some other file given by mistake, not an
        // empty log.
        if (!sawTag && !bytes_.empty()) throw AdifError(source_ + ": no ADIF tag found: this is not an ADIF log");
        if (!current_.fields.empty())
            Fail(current_.offset, inHeader_ ? "the header has no <EOH>" : "the record has no <EOR>");
        return std::move(records_);
    }

private:
    [[noreturn]] void Fail(std::size_t offset, const std::string& what) const {
        std::ostringstream message;
        message << source_ << ": ";
        if (inHeader_)
            message << "header";
        else
            message << "record " << records_.size() + 1;
        message << ", byte " << offset << ": " << what;
        throw AdifError(message.str());
    }

    // Reads the tag that starts at `open`; returns the position after it and its value.
    std::size_t ReadTag(std::size_t open) {
        const std::size_t close = bytes_.find('>', open + 1);
        const std::size_t nextOpen = bytes_.find('<', open + 1);
        if (close == std::string_view::npos || (nextOpen != std::string_view::npos && nextOpen < close))
            Fail(open, "truncated tag (no '>' before the next '<' or the end of the file)");
        const std::string_view inside = bytes_.substr(open + 1, close - open - 1);
        const std::size_t colon = inside.find(':');
        const std::string name = Upper(inside.substr(0, colon));
        if (name.empty()) Fail(open, "tag <" + std::string(inside) + "> has no field name");

        if (colon == std::string_view::npos) {
            if (name == "EOR") {
                EndRecord();
            } else if (name == "EOH") {
                EndHeader(open);
            } else {
                Fail(open, "tag <" + std::string(inside) + "> has no length");
            }
            return close + 1;
        }

        std::string_view length = inside.substr(colon + 1);
        const std::size_t typeColon = length.find(':');
        if (typeColon != std::string_view::npos) {
            // The data type indicator is not needed: every value is passed as text.
            if (length.substr(typeColon + 1).find(':') != std::string_view::npos)
                Fail(open, "tag <" + std::string(inside) + "> has too many parts");
            length = length.substr(0, typeColon);
        }
        if (length.empty() || length.size() > 9 || length.find_first_not_of("0123456789") != std::string_view::npos)
            Fail(open, "bad length '" + std::string(length) + "' in tag <" + std::string(inside) + ">");
        const std::size_t size = std::stoul(std::string(length));
        const std::size_t start = close + 1;
        if (size > bytes_.size() - start)
            Fail(open, "the value of " + name + " (" + std::to_string(size) + " bytes) runs past the end of the file");

        if (current_.fields.empty()) current_.offset = open;
        current_.fields.push_back(AdifField{name, std::string(bytes_.substr(start, size))});
        return start + size;
    }

    void EndRecord() {
        // A header without <EOH> was only free text followed by records.
        inHeader_ = false;
        sawRecord_ = true;
        // An <EOR> with no field before it closes no QSO.
        if (current_.fields.empty()) return;
        records_.push_back(std::move(current_));
        current_ = AdifRecord{};
    }

    void EndHeader(std::size_t open) {
        if (sawRecord_ || sawHeader_) Fail(open, "<EOH> after the header");
        sawHeader_ = true;
        inHeader_ = false;
        current_ = AdifRecord{};
    }

    std::string_view bytes_;
    const std::string& source_;
    std::vector<AdifRecord> records_;
    AdifRecord current_;
    bool inHeader_ = false;
    bool sawHeader_ = false;
    bool sawRecord_ = false;
};

}  // namespace

std::optional<std::string_view> AdifRecord::Find(std::string_view name) const {
    const std::string wanted = Upper(name);
    for (const AdifField& field : fields)
        if (field.name == wanted) return std::string_view(field.value);
    return std::nullopt;
}

std::vector<AdifRecord> ParseAdif(std::string_view bytes, const std::string& source) {
    return Parser(bytes, source).Run();
}

std::vector<AdifRecord> ReadAdifFile(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) throw AdifError(path + ": is a folder, not a log file");
    // A device or a pipe could feed the reader for ever.
    if (std::filesystem::exists(path, error) && !std::filesystem::is_regular_file(path, error))
        throw AdifError(path + ": is not a regular file, not a log file");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw AdifError(path + ": cannot open the file");
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw AdifError(path + ": cannot read the file");
    return ParseAdif(bytes, path);
}

}  // namespace stats::host
