#pragma once
// Loading the plug-in as a host does: dlopen on Linux, LoadLibrary on Windows.

#include <string>

namespace stats::test {

// Path of the plug-in library that the build made for this suite.
std::string PluginPath();

void* OpenLibrary(const std::string& path);    // null on failure
void* FindSymbol(void* library, const char* name);
void CloseLibrary(void* library);
// True while the library at this path is mapped into the process.
bool IsLibraryLoaded(const std::string& path);

}  // namespace stats::test
