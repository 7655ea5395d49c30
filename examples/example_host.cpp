// A small host: loads the plug-in as the logging program does, opens a run,
// passes a handful of QSOs and prints each verdict and the result table.
// Build it beside the plug-in; run it with the library's path as argument.

#include <cstdio>
#include <string>

#include "plugin/stats_api.h"

#ifdef _WIN32
#include <windows.h>
static void* Open(const char* path) { return reinterpret_cast<void*>(LoadLibraryA(path)); }
static void* Find(void* lib, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(lib), name));
}
static void Close(void* lib) { FreeLibrary(static_cast<HMODULE>(lib)); }
static const char* kDefaultPath = "Stats.dll";
#else
#include <dlfcn.h>
static void* Open(const char* path) { return dlopen(path, RTLD_NOW); }
static void* Find(void* lib, const char* name) { return dlsym(lib, name); }
static void Close(void* lib) { dlclose(lib); }
static const char* kDefaultPath = "./libStats.so";
#endif

using ResetFn = decltype(&ResetStats0);
using AddFn = decltype(&AddData0);
using ResultFn = decltype(&GetResult0);
using NameFn = decltype(&GetSetName);

struct Qso {
    const char* call;
    const char* band;
    unsigned freqHz;
    const char* mode;
    const char* exchSent;
    const char* exchRcvd;
    const char* prefix;
    const char* country;
    double minutes;  // after the contest start
};

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : kDefaultPath;
    void* lib = Open(path);
    if (!lib) {
        std::fprintf(stderr, "example_host: cannot load the plug-in %s\n", path);
        return 1;
    }
    auto reset = reinterpret_cast<ResetFn>(Find(lib, "ResetStats0"));
    auto add = reinterpret_cast<AddFn>(Find(lib, "AddData0"));
    auto result = reinterpret_cast<ResultFn>(Find(lib, "GetResult0"));
    auto name = reinterpret_cast<NameFn>(Find(lib, "GetSetName"));
    if (!reset || !add || !result || !name) {
        std::fprintf(stderr, "example_host: %s lacks an entry point\n", path);
        Close(lib);
        return 1;
    }

    std::printf("Set: %s\n", name(0));
    // 5 September 2016, 12:00 UTC, as an automation date.
    const double start = 42618.5;
    const DateTimeValue from{start, kDateTimeValid}, to{start + 1, kDateTimeValid};
    reset(nullptr, 0, "N0CALL", &from, &to, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
          nullptr, nullptr, 0, 0, 0, 0.0, 0.0, nullptr, "Homeland", nullptr);

    const Qso log[] = {
        {"Q0DX", "80m", 3585000, "RTTY", "001", "005", "Q0", "Elsewhere", 1},
        {"Q1AB/QRP", "40m", 7045000, "RTTY", "002", "017", "SV9", "Elsewhere", 9},
        {"Q2CD", "20m", 14085000, "RTTY", "003", "101", "Q2", "Homeland", 20},
        {"Q3EF", "30m", 10120000, "RTTY", "004", "033", "Q3", "Elsewhere", 31},
        {"Q4GH", "15m", 21085000, "CW", "005", "044", "Q4", "Elsewhere", 40},
        {"Q5IJ", "10m", 28085000, "RTTY", "006", "", "Q5", "Elsewhere", 52},
        {"Q0DX", "80m", 3587000, "RTTY", "007", "005", "Q0", "Elsewhere", 63},
    };
    for (const Qso& q : log) {
        const DateTimeValue when{start + q.minutes / 1440.0, kDateTimeValid};
        const int verdict = add("N0CALL", q.call, &when, nullptr, nullptr, nullptr, 0, q.freqHz, q.mode, "599", "599",
                                q.exchSent, q.exchRcvd, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                nullptr, nullptr, q.prefix, 0, 0, 0, 0.0, 0.0, nullptr, q.country, nullptr, q.band,
                                nullptr);
        std::printf("AddData0 %-9s %-4s %-4s -> %s\n", q.call, q.band, q.mode, verdict ? "stored" : "refused");
    }
    std::printf("(refusals and duplicates are noted in err.txt)\n\n");

    int resultCode = 0;
    std::fputs(result(&resultCode), stdout);
    Close(lib);
    return 0;
}
