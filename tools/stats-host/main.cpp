// stats-host: scores an ADIF log with the Stats plug-in, calling the plug-in's
// exports exactly as the logging program does.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "adif_reader.h"
#include "automation_object.h"
#include "host_platform.h"
#include "plugin/stats_api.h"
#include "qso_mapping.h"

namespace fs = std::filesystem;
using namespace stats::host;

namespace {

constexpr int kUsageError = 2;
constexpr int kInputError = 1;

const char kHelp[] =
    "Usage: stats-host LOG.adi [options]\n"
    "\n"
    "Scores an ADIF log (.adi) with the Stats plug-in for the KYRVEN RTTY CONTEST:\n"
    "loads the plug-in library as the logging program does, starts a run\n"
    "(ResetStats0), passes every QSO of the log (AddData0) and prints the result\n"
    "table (GetResult0) on standard output. The whole log is read first: a\n"
    "malformed log is refused and nothing reaches the plug-in. A summary (records\n"
    "read, stored, refused by reason, duplicates) and the files the plug-in wrote\n"
    "follow on standard error.\n"
    "\n"
    "Options:\n"
    "  --call CALL      own call sign (contestant). Default: STATION_CALLSIGN of the\n"
    "                   first record that has one, else OPERATOR of the first record\n"
    "                   that has one. Also the own call of QSOs that carry neither.\n"
    "  --country TEXT   own country, compared with each QSO's COUNTRY for the points.\n"
    "                   Default: MY_COUNTRY of the first record that has one.\n"
    "  --from DAY       first day of the contest period, YYYY-MM-DD or YYYYMMDD.\n"
    "                   Default: the earliest QSO_DATE of the log.\n"
    "  --to DAY         last day of the contest period. Default: the latest QSO_DATE.\n"
    "  --cabrillo       ask the plug-in for a Cabrillo log (a .cbr file named after\n"
    "                   the own call, written in the working folder).\n"
    "  --workdir DIR    working folder, the logging program's folder as the plug-in\n"
    "                   sees it: err.txt, the .cbr file and Plugins/KYRVEN.ini (kept\n"
    "                   only where a Plugins folder exists) are there. Created when\n"
    "                   missing. Default: the current folder.\n"
    "  --plugin PATH    the plug-in library. Default: " "%s" " beside this program,\n"
    "                   else the one of the build tree this program was built in.\n"
    "  --version        print the versions of this program and of the plug-in.\n"
    "  --help           print this text.\n"
    "\n"
    "ADIF fields used: CALL, QSO_DATE + TIME_ON (HHMM or HHMMSS, UTC; no TIME_ON is\n"
    "00:00), FREQ (MHz), MODE, RST_SENT, RST_RCVD, STX_STRING else STX, SRX_STRING\n"
    "else SRX, PFX, COUNTRY, BAND (passed in lower case), STATION_CALLSIGN else\n"
    "OPERATOR. Other fields are skipped; a missing field is passed as empty text.\n"
    "\n"
    "The result table keeps the plug-in's text, its line ends turned into this\n"
    "system's. Exit status: 0 scored, 1 unreadable or malformed log or plug-in,\n"
    "2 wrong usage.\n";

struct Options {
    std::string log;
    std::optional<std::string> plugin;
    std::optional<std::string> workdir;
    std::optional<std::string> call;
    std::optional<std::string> country;
    std::optional<DateTimeValue> from;
    std::optional<DateTimeValue> to;
    bool cabrillo = false;
    bool help = false;
    bool version = false;
};

struct UsageError {
    std::string message;
};

Options ParseOptions(int argc, char** argv) {
    Options options;
    bool onlyFiles = false;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (onlyFiles || arg.size() < 2 || arg[0] != '-') {
            files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyFiles = true;
            continue;
        }
        std::optional<std::string> inlineValue;
        if (const auto eq = arg.find('='); eq != std::string::npos && arg.rfind("--", 0) == 0) {
            inlineValue = arg.substr(eq + 1);
            arg.resize(eq);
        }
        auto value = [&]() -> std::string {
            if (inlineValue) return *inlineValue;
            if (i + 1 >= argc) throw UsageError{"option " + arg + " needs a value"};
            return argv[++i];
        };
        auto day = [&]() {
            const std::string text = value();
            const auto parsed = ParseDay(text);
            if (!parsed) throw UsageError{"option " + arg + ": '" + text + "' is not a day (YYYY-MM-DD or YYYYMMDD)"};
            return *parsed;
        };
        auto flag = [&]() {
            if (inlineValue) throw UsageError{"option " + arg + " takes no value"};
            return true;
        };
        if (arg == "--plugin")
            options.plugin = value();
        else if (arg == "--workdir")
            options.workdir = value();
        else if (arg == "--call")
            options.call = value();
        else if (arg == "--country")
            options.country = value();
        else if (arg == "--from")
            options.from = day();
        else if (arg == "--to")
            options.to = day();
        else if (arg == "--cabrillo")
            options.cabrillo = flag();
        else if (arg == "--help" || arg == "-h")
            options.help = flag();
        else if (arg == "--version")
            options.version = flag();
        else
            throw UsageError{"unknown option " + arg};
    }
    if (options.help || options.version) return options;
    if (files.empty()) throw UsageError{"no log file given"};
    if (files.size() > 1) throw UsageError{"one log file only, got '" + files[0] + "' and '" + files[1] + "'"};
    if (files[0].empty()) throw UsageError{"the log file name is empty"};
    options.log = files[0];
    if (options.from && options.to && options.from->date > options.to->date)
        throw UsageError{"--from is after --to"};
    return options;
}

// The plug-in built with this program: beside it, else the build tree's one.
std::string DefaultPluginPath() {
    const std::string self = ExecutablePath();
    if (!self.empty()) {
        const fs::path beside = fs::path(self).parent_path() / PluginFileName();
        std::error_code error;
        if (fs::exists(beside, error)) return beside.string();
    }
    return STATS_HOST_BUILT_PLUGIN;
}

std::string Absolute(const std::string& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

using ResetStats0Fn = int32_t(STATS_CALL*)(const char*, int32_t, const char*, const DateTimeValue*,
                                            const DateTimeValue*, const char*, const char*, const char*,
                                            const char*, const char*, const char*, const char*, const char*,
                                            const char*, const char*, int32_t, int32_t, int32_t, double, double,
                                            const char*, const char*, const char*);
using AddData0Fn = int32_t(STATS_CALL*)(STATS_QSO_FIELD_BLOCK);
using GetResult0Fn = char*(STATS_CALL*)(int32_t*);
using GetSetNameFn = char*(STATS_CALL*)(int32_t);

struct Exports {
    ResetStats0Fn resetStats0 = nullptr;
    AddData0Fn addData0 = nullptr;
    GetResult0Fn getResult0 = nullptr;
    GetSetNameFn getSetName = nullptr;
};

// Loads the library and binds what a scoring run calls; the message says why not.
std::optional<Exports> BindExports(const Library& library, const std::string& path, std::string& message) {
    if (!library.IsLoaded()) {
        message = "cannot load the plug-in " + path + ": " + library.Error();
        return std::nullopt;
    }
    Exports exports;
    exports.resetStats0 = reinterpret_cast<ResetStats0Fn>(library.Symbol("ResetStats0"));
    exports.addData0 = reinterpret_cast<AddData0Fn>(library.Symbol("AddData0"));
    exports.getResult0 = reinterpret_cast<GetResult0Fn>(library.Symbol("GetResult0"));
    exports.getSetName = reinterpret_cast<GetSetNameFn>(library.Symbol("GetSetName"));
    for (auto [name, found] : {std::pair<const char*, bool>{"ResetStats0", exports.resetStats0 != nullptr},
                               {"AddData0", exports.addData0 != nullptr},
                               {"GetResult0", exports.getResult0 != nullptr},
                               {"GetSetName", exports.getSetName != nullptr}}) {
        if (!found) {
            message = "the plug-in " + path + " has no entry point " + name;
            return std::nullopt;
        }
    }
    return exports;
}

int PrintVersion(const Options& options) {
    std::printf("stats-host %s\n", STATS_HOST_VERSION);
    const std::string path = Absolute(options.plugin ? *options.plugin : DefaultPluginPath());
    Library library(path);
    std::string message;
    const auto exports = BindExports(library, path, message);
    if (!exports) {
        std::fprintf(stderr, "stats-host: %s\n", message.c_str());
        return kInputError;
    }
    std::printf("plug-in: %s\n", path.c_str());
    std::printf("plug-in set 0: %s\n", exports->getSetName(0));
    if (const auto version = LibraryFileVersion(path))
        std::printf("plug-in file version: %s\n", version->c_str());
    else if (std::string_view(PluginFileName()) == "libStats.so")
        std::printf("plug-in file version: none recorded in a shared object; this stats-host was built as "
                    "version %s of the project\n",
                    STATS_HOST_VERSION);
    else
        std::printf("plug-in file version: the library has no version resource\n");
    return 0;
}

// Size and time of each *.cbr file in the current folder.
std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> CabrilloFiles() {
    std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> files;
    std::error_code error;
    for (fs::directory_iterator it(".", error), end; !error && it != end; it.increment(error)) {
        // By the name's end, as ".cbr" alone (an empty stem) is no extension to std::filesystem.
        const std::string name = it->path().filename().string();
        std::string tail = name.size() >= 4 ? name.substr(name.size() - 4) : std::string();
        for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (tail != ".cbr" || !it->is_regular_file(error)) continue;
        files[name] = {it->file_size(error), it->last_write_time(error)};
    }
    return files;
}

std::uintmax_t FileSize(const fs::path& path) {
    std::error_code error;
    const auto size = fs::file_size(path, error);
    return error ? 0 : size;
}

// The bytes of the file from `offset` on; none when it cannot be read.
std::optional<std::string> ReadFrom(const fs::path& path, std::uintmax_t offset) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    in.seekg(static_cast<std::streamoff>(offset));
    if (!in) return std::nullopt;
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The plug-in's text with its CR LF line ends turned into '\n', which the C
// runtime writes as this system's line end.
std::string ForDisplay(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out.push_back(text[i]);
    }
    return out;
}

int Run(const Options& options) {
    // Paths first: the run changes the current folder.
    const std::string logPath = Absolute(options.log);
    const std::string pluginPath = Absolute(options.plugin ? *options.plugin : DefaultPluginPath());
    const std::string workdir = Absolute(options.workdir ? *options.workdir : std::string("."));

    std::vector<AdifRecord> records;
    std::vector<HostQso> qsos;
    std::string ownCall;
    try {
        records = ReadAdifFile(logPath);
        ownCall = options.call ? *options.call : LogOwnCall(records);
        qsos.reserve(records.size());
        for (std::size_t i = 0; i < records.size(); ++i) {
            try {
                qsos.push_back(MapRecord(records[i], ownCall));
            } catch (const MappingError& error) {
                throw AdifError(logPath + ": record " + std::to_string(i + 1) + ", byte " +
                                std::to_string(records[i].offset) + ": " + error.what());
            }
        }
    } catch (const AdifError& error) {
        std::fprintf(stderr, "stats-host: %s\nNothing was passed to the plug-in.\n", error.what());
        return kInputError;
    }
    const std::string ownCountry = options.country ? *options.country : LogOwnCountry(records);
    const Period logPeriod = LogPeriod(qsos);
    const DateTimeValue from = options.from ? *options.from : logPeriod.from;
    const DateTimeValue to = options.to ? *options.to : logPeriod.to;
    if (from.status == kDateTimeValid && to.status == kDateTimeValid && from.date > to.date) {
        std::fprintf(stderr, "stats-host: the contest period would end before it starts; give --from and --to\n");
        return kUsageError;
    }

    // Offered before the plug-in loads and withdrawn after it unloads, as the
    // logging program's own object outlives the plug-in. Without a bus: no host.
    stats::host::AutomationObject automation;
    automation.Start();

    Library library(pluginPath);
    std::string message;
    const auto exports = BindExports(library, pluginPath, message);
    if (!exports) {
        std::fprintf(stderr, "stats-host: %s\n", message.c_str());
        return kInputError;
    }

    std::error_code error;
    fs::create_directories(workdir, error);
    fs::current_path(workdir, error);
    if (error) {
        std::fprintf(stderr, "stats-host: cannot work in the folder %s: %s\n", workdir.c_str(),
                     error.message().c_str());
        return kInputError;
    }

    const fs::path errorFile = fs::path(workdir) / "err.txt";
    const std::uintmax_t errorFileStart = FileSize("err.txt");
    const auto cabrilloBefore = CabrilloFiles();
    const auto runStart = fs::file_time_type::clock::now();

    // The arguments the plug-in ignores carry nothing: empty texts, zeros, null dates.
    const DateTimeValue none{0.0, kDateTimeNull};
    exports->resetStats0("", options.cabrillo ? 1 : 0, ownCall.c_str(), &from, &to, "", "", "", "", "", "", "", "",
                         "", "", 0, 0, 0, 0.0, 0.0, "", ownCountry.c_str(), "");
    std::size_t stored = 0;
    for (const HostQso& q : qsos) {
        stored += exports->addData0(q.ownCall.c_str(), q.call.c_str(), &q.qsoTime, &none, &none, &none, 0u, q.freqHz,
                                    q.mode.c_str(), q.rstSent.c_str(), q.rstRcvd.c_str(), q.exchSent.c_str(),
                                    q.exchRcvd.c_str(), "", "", "", "", "", "", "", "", "", q.prefix.c_str(), 0, 0,
                                    0, 0.0, 0.0, "", q.country.c_str(), "", q.band.c_str(), "") == 1;
    }
    int32_t resultCode = 0;
    const char* result = exports->getResult0(&resultCode);
    if (result == nullptr) {
        std::fprintf(stderr, "stats-host: the plug-in returned no result text\n");
        return kInputError;
    }
    const std::string table = ForDisplay(result);
    std::fwrite(table.data(), 1, table.size(), stdout);
    std::fflush(stdout);

    // What the run appended to err.txt, line by line.
    static constexpr std::string_view kReasons[] = {"   NO CONTEST BAND !!!", "   NO RX/TX NUMBER !!!",
                                                    "   NO CONTEST MODE !!!"};
    static constexpr std::string_view kDupe = "   DUPE !!!";
    std::size_t reasonCounts[3] = {0, 0, 0};
    std::size_t dupes = 0;
    std::size_t linesAdded = 0;
    const auto appended = ReadFrom("err.txt", errorFileStart);
    if (appended) {
        std::size_t pos = 0;
        while (pos < appended->size()) {
            std::size_t end = appended->find('\n', pos);
            if (end == std::string::npos) end = appended->size();
            std::string_view line(appended->data() + pos, end - pos);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            pos = end + 1;
            ++linesAdded;
            if (line.ends_with(kDupe)) ++dupes;
            for (int r = 0; r < 3; ++r)
                if (line.ends_with(kReasons[r])) ++reasonCounts[r];
        }
    }

    const std::size_t refused = qsos.size() - stored;
    std::fprintf(stderr, "\nRecords read           %6zu  (%s)\n", records.size(), logPath.c_str());
    std::fprintf(stderr, "Stored                 %6zu\n", stored);
    std::fprintf(stderr, "Refused                %6zu\n", refused);
    std::size_t explained = 0;
    for (int r = 0; r < 3; ++r) {
        std::fprintf(stderr, "  %-20s %6zu\n", std::string(kReasons[r].substr(3)).c_str(), reasonCounts[r]);
        explained += reasonCounts[r];
    }
    if (!appended && !qsos.empty())
        std::fprintf(stderr, "  (err.txt could not be read: reasons unknown)\n");
    else if (explained != refused)
        std::fprintf(stderr, "  %-20s %6zu\n", "no line in err.txt", refused > explained ? refused - explained : 0);
    std::fprintf(stderr, "Duplicates noted       %6zu\n", dupes);

    std::fprintf(stderr, "Error file             %s (%zu line%s added)\n", errorFile.string().c_str(), linesAdded,
                 linesAdded == 1 ? "" : "s");
    const auto cabrilloAfter = CabrilloFiles();
    bool wroteCabrillo = false;
    for (const auto& [name, state] : cabrilloAfter) {
        const auto before = cabrilloBefore.find(name);
        if (before != cabrilloBefore.end() && before->second == state && state.second < runStart) continue;
        std::fprintf(stderr, "Cabrillo file          %s\n", (fs::path(workdir) / name).string().c_str());
        wroteCabrillo = true;
    }
    if (options.cabrillo && !wroteCabrillo) std::fprintf(stderr, "Cabrillo file          none written\n");
    if (const fs::path settings = fs::path("Plugins") / "KYRVEN.ini"; fs::exists(settings, error))
        std::fprintf(stderr, "Settings file          %s\n", (fs::path(workdir) / settings).string().c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const Options options = ParseOptions(argc, argv);
        if (options.help) {
            std::printf(kHelp, PluginFileName());
            return 0;
        }
        if (options.version) return PrintVersion(options);
        return Run(options);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "stats-host: %s\nTry 'stats-host --help'.\n", error.message.c_str());
        return kUsageError;
    }
}
