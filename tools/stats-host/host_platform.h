#pragma once
// What stats-host needs from the operating system: loading the plug-in library,
// its own location and a library's version resource. One source per platform.

#include <optional>
#include <string>

namespace stats::host {

class Library {
public:
    // Loads the library; IsLoaded() tells whether that worked, Error() why not.
    explicit Library(const std::string& path);
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    bool IsLoaded() const { return handle_ != nullptr; }
    const std::string& Error() const { return error_; }
    void* Symbol(const char* name) const;  // null when the library lacks it

private:
    void* handle_ = nullptr;
    std::string error_;
};

// Full path of the running executable; empty when it cannot be found.
std::string ExecutablePath();

// File name of the plug-in library on this platform.
const char* PluginFileName();

// The file version of a library's version resource, as "a.b.c.d"; none where
// the platform has no such resource or the file carries none.
std::optional<std::string> LibraryFileVersion(const std::string& path);

}  // namespace stats::host
