#pragma once
// Reading ADIF logs in the tag form (.adi): "<NAME:LEN>value" or
// "<NAME:LEN:TYPE>value", each record closed by <EOR>, an optional header
// closed by <EOH>. The whole file is read before anything is used, so a
// malformed log is refused as a whole.

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace stats::host {

struct AdifField {
    std::string name;   // upper case
    std::string value;  // exactly the bytes the tag's length covers
};

struct AdifRecord {
    std::vector<AdifField> fields;  // in file order
    std::size_t offset = 0;         // byte offset of the record's first tag

    // The first field of that name (any case), or none when it is absent.
    std::optional<std::string_view> Find(std::string_view name) const;
};

// A log that cannot be read. The message names the file and the byte offset
// and, where one was being read, the record number (counted from 1).
class AdifError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses the bytes of a whole log; `source` names it in error messages.
// Header fields (those before <EOH>) are dropped, and so is any text between
// tags. Throws AdifError.
std::vector<AdifRecord> ParseAdif(std::string_view bytes, const std::string& source);

// Reads and parses a file. Throws AdifError, also when the file cannot be read.
std::vector<AdifRecord> ReadAdifFile(const std::string& path);

}  // namespace stats::host
