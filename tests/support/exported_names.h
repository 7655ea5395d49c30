#pragma once
// The names under which the plug-in exports each entry point on this platform.

#include <string>
#include <vector>

namespace stats::test {

struct ExportedName {
    const char* plain;
    std::string decorated;  // the platform's usual scheme for typed names
    std::string signature;  // what the decorated name demangles to
};

std::vector<ExportedName> ExportedNames();

// The decorated name, demangled by the platform's own demangler.
std::string DescribeDecorated(const std::string& decorated);

// The parameter list of an entry point in a compact notation, one letter a
// parameter: t text, i signed 32-bit, u unsigned 32-bit, d double, D pointer to
// a date-time value, b writable buffer, p pointer to a signed 32-bit.
// Every platform's expected signature is built from the same notation.
namespace params {
inline constexpr char kResetStats0[] = "titDDttttttttttiiiddttt";
inline constexpr char kQsoBlock[] = "ttDDDDuutttttttttttttttiiiddttttt";
inline constexpr char kCheckCall0[] = "tuutttttttttttiiiddtttttttbb";
inline constexpr char kIsValidExchg0[] = "ttttiii";
inline constexpr char kGetExchgCount0[] = "ttt";
}  // namespace params

}  // namespace stats::test
