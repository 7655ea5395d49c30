#pragma once

#include <string>

namespace stats {

// The file version of the host's program file, the first "*.exe" of the current
// folder whose name contains "Zorv": "2.20" for a major part of 2, else
// "3.1.2"; empty when there is no such file or it has no version.
std::string HostVersionText();

}  // namespace stats
