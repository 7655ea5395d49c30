#include "support/cabrillo_reader.h"

#include <cctype>

namespace stats::test {
namespace {

// 1-based inclusive columns of the QSO template:
// QSO: freq  mo date       time call          rst exch   call          rst exch
// QSO: ***** ** yyyy-mm-dd nnnn ************* nnn ****** ************* nnn ******
std::string Column(const std::string& line, size_t first, size_t last) {
    if (line.size() < first) return {};
    std::string field = line.substr(first - 1, last - first + 1);
    const size_t begin = field.find_first_not_of(' ');
    if (begin == std::string::npos) return {};
    return field.substr(begin, field.find_last_not_of(' ') - begin + 1);
}

bool Digits(const std::string& text, size_t count) {
    if (text.size() != count) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

}  // namespace

std::optional<CabrilloFile> ReadCabrillo(const std::string& text, std::string& error) {
    CabrilloFile log;
    size_t start = 0, number = 0;
    bool started = false;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        ++number;
        if (end == std::string::npos) {
            error = "line " + std::to_string(number) + " does not end in CR LF";
            return std::nullopt;
        }
        const std::string line = text.substr(start, end - start);
        start = end + 2;
        if (log.ended) {
            error = "text after END-OF-LOG:";
            return std::nullopt;
        }
        const size_t colon = line.find(':');
        if (colon == std::string::npos) {
            error = "line " + std::to_string(number) + " has no tag";
            return std::nullopt;
        }
        const std::string tag = line.substr(0, colon);
        if (!started) {
            if (line != "START-OF-LOG: 3.0") {
                error = "the log does not start with START-OF-LOG: 3.0";
                return std::nullopt;
            }
            started = true;
            continue;
        }
        if (tag == "END-OF-LOG") {
            log.ended = true;
            continue;
        }
        if (tag != "QSO") {
            log.header.emplace(tag, line.size() > colon + 1 && line[colon + 1] == ' ' ? line.substr(colon + 2)
                                                                                       : line.substr(colon + 1));
            continue;
        }
        CabrilloQso qso{Column(line, 6, 10),  Column(line, 12, 13), Column(line, 15, 24), Column(line, 26, 29),
                        Column(line, 31, 43), Column(line, 45, 47), Column(line, 49, 54), Column(line, 56, 68),
                        Column(line, 70, 72), Column(line, 74, 79)};
        // The separating columns of the template are blank.
        for (size_t gap : {5, 11, 14, 25, 30, 44, 48, 55, 69, 73}) {
            if (line.size() < gap || line[gap - 1] != ' ') {
                error = "line " + std::to_string(number) + " breaks the column template at column " +
                        std::to_string(gap);
                return std::nullopt;
            }
        }
        if (!Digits(qso.date.substr(0, 4), 4) || qso.date.size() != 10 || !Digits(qso.time, 4)) {
            error = "line " + std::to_string(number) + " has no valid date and time";
            return std::nullopt;
        }
        log.qsos.push_back(qso);
    }
    if (!log.ended) {
        error = "no END-OF-LOG:";
        return std::nullopt;
    }
    return log;
}

}  // namespace stats::test
