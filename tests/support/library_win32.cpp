#include <windows.h>

#include "support/library.h"

namespace stats::test {

// The build puts Stats.dll beside the suite's program.
std::string PluginPath() {
    char self[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path(self, length);
    return path.substr(0, path.find_last_of("\\/") + 1) + "Stats.dll";
}

void* OpenLibrary(const std::string& path) { return LoadLibraryA(path.c_str()); }

void* FindSymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

bool IsLibraryLoaded(const std::string& path) { return GetModuleHandleA(path.c_str()) != nullptr; }

}  // namespace stats::test
