#pragma once
// The plug-in as a host sees it: the library loaded fresh, its exports called
// with every argument the host passes, ignored ones included.

#include <cstdint>
#include <string>

#include "plugin/stats_api.h"
#include "support/workdir.h"

namespace stats::test {

// A date-time value as the host passes it.
DateTimeValue Date(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
inline DateTimeValue NullDate() { return DateTimeValue{0.0, kDateTimeNull}; }
inline DateTimeValue InvalidDate() { return DateTimeValue{0.0, kDateTimeInvalid}; }

// One QSO of the host's log; the defaults make a valid contest QSO.
struct Qso {
    std::string ownCall = "N0CALL";
    std::string call = "Q0DX";
    DateTimeValue qsoTime = Date(2016, 9, 5, 12, 34);
    std::uint32_t freqHz = 3585000;
    std::string mode = "RTTY";
    std::string rstSent = "599";
    std::string rstRcvd = "599";
    std::string exchSent = "001";
    std::string exchRcvd = "005";
    std::string prefix = "Q0";
    std::string country = "Elsewhere";
    std::string band = "80m";
};

struct Reset {
    std::int32_t cabrilloEnabled = 0;
    std::string contestantCall = "N0CALL";
    DateTimeValue periodStart = Date(2016, 9, 5, 12);
    DateTimeValue periodEnd = Date(2016, 9, 6, 12);
    std::string ownCountry = "Homeland";
};

using ResetStats0Fn = int32_t (*)(const char*, int32_t, const char*, const DateTimeValue*, const DateTimeValue*,
                                  const char*, const char*, const char*, const char*, const char*, const char*,
                                  const char*, const char*, const char*, const char*, int32_t, int32_t, int32_t,
                                  double, double, const char*, const char*, const char*);
using QsoBlockFn = int32_t (*)(STATS_QSO_FIELD_BLOCK);
using CheckCall0Fn = int32_t (*)(const char*, uint32_t, uint32_t, const char*, const char*, const char*,
                                 const char*, const char*, const char*, const char*, const char*, const char*,
                                 const char*, const char*, int32_t, int32_t, int32_t, double, double, const char*,
                                 const char*, const char*, const char*, const char*, const char*, const char*, char*,
                                 char*);
using GetResult0Fn = char* (*)(int32_t*);
using GetNumberOfSetsFn = int32_t (*)();
using GetSetNameFn = char* (*)(int32_t);
using SetupSet0Fn = void (*)();
using IsValidExchg0Fn = int32_t (*)(const char*, const char*, const char*, const char*, int32_t, int32_t, int32_t);
using GetExchgCount0Fn = int32_t (*)(const char*, const char*, const char*);

class Plugin {
public:
    Plugin();  // loads the library; fails the test when it cannot
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    void* Symbol(const char* name) const;

    std::int32_t ResetStats(const Reset& reset = Reset());
    std::int32_t AddData(const Qso& qso);
    std::int32_t RemoveData(const Qso& qso);
    // CheckCall0 with the host's call, band and second band; exchOut may be null.
    std::int32_t CheckCall(const char* call, const char* band, const char* secondBand, char* exchOut);
    // GetResult0's text, copied.
    std::string Result(std::int32_t* resultCode = nullptr);

    ResetStats0Fn resetStats0;
    QsoBlockFn addData0;
    QsoBlockFn removeData0;
    CheckCall0Fn checkCall0;
    GetResult0Fn getResult0;
    GetNumberOfSetsFn getNumberOfSets;
    GetSetNameFn getSetName;
    SetupSet0Fn setupSet0;
    IsValidExchg0Fn isValidExchg0;
    GetExchgCount0Fn getExchgCount0;

private:
    std::int32_t CallQsoBlock(QsoBlockFn fn, const Qso& qso);
    void* library_;
};

// A fresh folder and a freshly loaded plug-in for every test.
class PluginTest : public ::testing::Test {
protected:
    WorkDir dir;
    Plugin plugin;
};

}  // namespace stats::test
