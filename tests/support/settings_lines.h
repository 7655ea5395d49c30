#pragma once
// Lines of the settings file whose bytes differ between the platforms' writers.

namespace stats::test {

#ifdef _WIN32
// The system's profile writer (as Wine has it) drops a value's trailing blanks;
// the key is never read back.
inline constexpr char kContestLine[] = "Contest=KYRVEN RTTY CONTEST\r\n";
#else
inline constexpr char kContestLine[] = "Contest=KYRVEN RTTY CONTEST \r\n";
#endif

}  // namespace stats::test
