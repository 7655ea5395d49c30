#include "support/plugin.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/library.h"

namespace stats::test {

DateTimeValue Date(int year, int month, int day, int hour, int minute, int second) {
    // Days from 1970-01-01 (civil calendar), then shifted to the automation epoch.
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const double days = era * 146097.0 + doe - 719468 + 25569;
    return DateTimeValue{days + (hour * 3600 + minute * 60 + second) / 86400.0, kDateTimeValid};
}

namespace {

template <typename Fn>
Fn Bind(const Plugin& plugin, const char* name) {
    void* symbol = plugin.Symbol(name);
    if (symbol == nullptr) throw std::runtime_error(std::string("missing export ") + name);
    return reinterpret_cast<Fn>(symbol);
}

}  // namespace

Plugin::Plugin() : library_(OpenLibrary(PluginPath())) {
    if (library_ == nullptr) throw std::runtime_error("cannot load " + PluginPath());
    resetStats0 = Bind<ResetStats0Fn>(*this, "ResetStats0");
    addData0 = Bind<QsoBlockFn>(*this, "AddData0");
    removeData0 = Bind<QsoBlockFn>(*this, "RemoveData0");
    checkCall0 = Bind<CheckCall0Fn>(*this, "CheckCall0");
    getResult0 = Bind<GetResult0Fn>(*this, "GetResult0");
    getNumberOfSets = Bind<GetNumberOfSetsFn>(*this, "GetNumberOfSets");
    getSetName = Bind<GetSetNameFn>(*this, "GetSetName");
    setupSet0 = Bind<SetupSet0Fn>(*this, "SetupSet0");
    isValidExchg0 = Bind<IsValidExchg0Fn>(*this, "IsValidExchg0");
    getExchgCount0 = Bind<GetExchgCount0Fn>(*this, "GetExchgCount0");
}

Plugin::~Plugin() { CloseLibrary(library_); }

void* Plugin::Symbol(const char* name) const { return FindSymbol(library_, name); }

std::int32_t Plugin::ResetStats(const Reset& r) {
    // The ignored arguments carry host data; the plug-in must not care what.
    return resetStats0("ignored", r.cabrilloEnabled, r.contestantCall.c_str(), &r.periodStart, &r.periodEnd, "6",
                       "7", "8", "9", "10", "11", "12", "13", "14", "15", 16, 17, 18, 19.5, 20.5, "21",
                       r.ownCountry.c_str(), "23");
}

std::int32_t Plugin::CallQsoBlock(QsoBlockFn fn, const Qso& q) {
    const DateTimeValue other{42.0, kDateTimeInvalid};
    return fn(q.ownCall.c_str(), q.call.c_str(), &q.qsoTime, &other, &other, &other, 7u, q.freqHz, q.mode.c_str(),
              q.rstSent.c_str(), q.rstRcvd.c_str(), q.exchSent.c_str(), q.exchRcvd.c_str(), "14", "15", "16", "17",
              "18", "19", "20", "21", "22", q.prefix.c_str(), 24, 25, 26, 27.5, 28.5, "29", q.country.c_str(), "31",
              q.band.c_str(), "33");
}

std::int32_t Plugin::AddData(const Qso& qso) { return CallQsoBlock(addData0, qso); }
std::int32_t Plugin::RemoveData(const Qso& qso) { return CallQsoBlock(removeData0, qso); }

std::int32_t Plugin::CheckCall(const char* call, const char* band, const char* secondBand, char* exchOut) {
    char never[8] = "unused";
    return checkCall0(call, 2u, 3u, "RTTY", "5", "6", "7", "8", "9", "10", "11", "12", "13", "Q0", 15, 16, 17, 18.5,
                      19.5, "20", "Elsewhere", "22", "23", "24", band, secondBand, exchOut, never);
}

std::string Plugin::Result(std::int32_t* resultCode) {
    std::int32_t scratch = 12345;
    const char* text = getResult0(resultCode ? resultCode : &scratch);
    return text ? std::string(text) : std::string("<null>");
}

}  // namespace stats::test
