#pragma once
// The plug-in names files the host's way, with '\' between folders.

#include <string>

namespace stats::platform {

inline std::string NativePath(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

}  // namespace stats::platform
