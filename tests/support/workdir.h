#pragma once
// Each test runs in a folder of its own, made the current folder, because the
// plug-in names every file relative to it.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

namespace stats::test {

class WorkDir {
public:
    WorkDir();
    ~WorkDir();
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

// The whole file, bytes unchanged; none when it does not exist.
std::optional<std::string> ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace stats::test
