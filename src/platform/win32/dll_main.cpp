// The library's load hook. The C runtime builds the globals of the run state
// before it calls DllMain and destroys them after DllMain saw the detach.

#include <windows.h>

#include "plugin/run_state.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) stats::theApp.moduleHandle = module;
    return TRUE;
}
