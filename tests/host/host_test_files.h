#pragma once
// What the tests of stats-host share: the programs, the sample log with its
// expected outputs, and a settings file with a header filled in.

#include <filesystem>
#include <string>

namespace stats::test {

// Made absolute while the current folder is still the one the tests started in.
inline const std::string kHost = std::filesystem::absolute(STATS_HOST_PATH).string();
inline const std::string kPlugin = std::filesystem::absolute(STATS_PLUGIN_PATH).string();
inline const std::filesystem::path kSample = std::filesystem::absolute(STATS_SAMPLE_LOG);
inline const std::filesystem::path kExpected = std::filesystem::absolute(STATS_HOST_EXPECTED);

// Plugins/KYRVEN.ini as an operator's earlier run left it: the header values
// of expected/sample_cabrillo.cbr, the soapbox in its stored form.
inline const char kHeaderSettings[] =
    "[Settings]\r\n"
    "Name=Ada Kestrel\r\n"
    "Address=12 Harbour Lane\r\n"
    "Address-City=Port Vellin\r\n"
    "Address-PostalCode=4471\r\n"
    "Address-Country=Rolvania\r\n"
    "Club=Rolvania Teletype Club\r\n"
    "SoapBox=Line one<CR><LF>Line two\r\n";

// Text with CR LF line ends as '\n' ones, for texts that each platform prints
// with its own line ends.
inline std::string Unix(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out.push_back(text[i]);
    return out;
}

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The first line where two texts of CR LF lines differ; empty when they are equal.
inline std::string FirstDifference(const std::string& got, const std::string& expected) {
    const auto next = [](const std::string& text, std::size_t& pos) {
        const std::size_t found = text.find("\r\n", pos);
        const std::size_t end = found == std::string::npos ? text.size() : found + 2;
        std::string line = text.substr(pos, end - pos);
        pos = end;
        return line;
    };
    std::size_t gotPos = 0, expectedPos = 0;
    for (int number = 1; gotPos < got.size() || expectedPos < expected.size(); ++number) {
        const std::string gotLine = next(got, gotPos), expectedLine = next(expected, expectedPos);
        if (gotLine != expectedLine)
            return "line " + std::to_string(number) + ": got '" + gotLine + "', expected '" + expectedLine + "'";
    }
    return {};
}

}  // namespace stats::test
