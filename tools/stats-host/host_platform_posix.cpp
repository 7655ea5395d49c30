#include <dlfcn.h>

#include <filesystem>

#include "host_platform.h"

namespace stats::host {

Library::Library(const std::string& path) {
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* why = dlerror();
        error_ = why ? why : "dlopen failed";
    }
}

Library::~Library() {
    if (handle_ != nullptr) dlclose(handle_);
}

void* Library::Symbol(const char* name) const { return handle_ ? dlsym(handle_, name) : nullptr; }

std::string ExecutablePath() {
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

const char* PluginFileName() { return "libStats.so"; }

// A shared object carries no version resource.
std::optional<std::string> LibraryFileVersion(const std::string&) { return std::nullopt; }

}  // namespace stats::host
