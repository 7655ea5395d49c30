#include "cabrillo/host_version.h"

#include <optional>

#include "platform/program_version.h"

namespace stats {

std::string HostVersionText() {
    for (const std::string& file : platform::ListProgramFiles()) {
        if (file.find("Zorv") == std::string::npos) continue;
        const std::optional<platform::FileVersion> version = platform::ReadFileVersion(file);
        if (!version) return {};
        const unsigned major = version->ms >> 16, minor = version->ms & 0xFFFFu, build = version->ls >> 16;
        std::string text = std::to_string(major) + "." + std::to_string(minor);
        if (major != 2) text += "." + std::to_string(build);
        return text;
    }
    return {};
}

}  // namespace stats
