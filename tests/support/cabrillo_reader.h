#pragma once
// A reader of Cabrillo 3.0 logs written from the format's column template, not
// from our writer: header lines "TAG: value", QSO lines by fixed columns.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace stats::test {

struct CabrilloQso {
    std::string freq, mode, date, time, sentCall, sentRst, sentExch, rcvdCall, rcvdRst, rcvdExch;
};

struct CabrilloFile {
    std::multimap<std::string, std::string> header;  // tag -> value, in file order per tag
    std::vector<CabrilloQso> qsos;
    bool ended = false;  // END-OF-LOG: seen as the last line
};

// None, with the reason in error, when the text is not a well-formed log.
std::optional<CabrilloFile> ReadCabrillo(const std::string& text, std::string& error);

}  // namespace stats::test
