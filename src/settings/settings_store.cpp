#include "settings/settings_store.h"

#include <optional>
#include <string>
#include <string_view>

#include "log/qso_fields.h"
#include "platform/profile.h"
#include "plugin/run_state.h"
#include "settings/cabrillo_dialog.h"
#include "settings/replace_all.h"

namespace stats {
namespace {

std::string Read(const char* key, const std::string& fallback) {
    return platform::ReadProfileString(SettingsPath, SettingsSection, key).value_or(fallback);
}

void Write(const char* key, const std::string& value) {
    // As with every settings write, a failure costs only the saved value.
    platform::WriteProfileString(SettingsPath, SettingsSection, key, value);
}

std::string FileStemOf(std::string_view call) {
    std::string stem = ReplaceAll(ReplaceAll(call, "/", "_"), "\\", "_");
    const char* blanks = " \t\n\v\f\r";
    const size_t first = stem.find_first_not_of(blanks);
    if (first == std::string::npos) return "QQRC";
    return stem.substr(first, stem.find_last_not_of(blanks) - first + 1);
}

// The dialog's values and the fields of the log they show and return.
struct Shown {
    std::string Cabrillo::*value;
    std::string CCabrilloLog::*field;
};
constexpr Shown kShown[] = {
    {&Cabrillo::callsign, &CCabrilloLog::callsign},
    {&Cabrillo::operators, &CCabrilloLog::operators},
    {&Cabrillo::categoryOperator, &CCabrilloLog::categoryOperator},
    {&Cabrillo::categoryBand, &CCabrilloLog::categoryBand},
    {&Cabrillo::categoryPower, &CCabrilloLog::categoryPower},
    {&Cabrillo::name, &CCabrilloLog::name},
    {&Cabrillo::address, &CCabrilloLog::address},
    {&Cabrillo::addressCity, &CCabrilloLog::addressCity},
    {&Cabrillo::addressPostalCode, &CCabrilloLog::addressPostalCode},
    {&Cabrillo::addressCountry, &CCabrilloLog::addressCountry},
    {&Cabrillo::contest, &CCabrilloLog::contestName},
    {&Cabrillo::email, &CCabrilloLog::email},
    {&Cabrillo::club, &CCabrilloLog::club},
    {&Cabrillo::soapbox, &CCabrilloLog::soapbox},
};

}  // namespace

std::int32_t EditSettings(CCabrilloLog& log, const char* contestantCall) {
    const std::string call(HostText(contestantCall));
    log.callsign = call;
    log.fileStem = FileStemOf(call);

    log.operators = Read("Operators", log.callsign);
    log.location = Read("Location", log.location);
    log.name = Read("Name", "");
    log.address = Read("Address", "");
    log.addressCity = Read("Address-City", "");
    log.addressPostalCode = Read("Address-PostalCode", "");
    log.addressCountry = Read("Address-Country", "");
    log.claimedScore = Read("Claimed", "");

    log.contestName = "KYRVEN RTTY CONTEST ";
    log.categoryOperator = "SINGLE-OP";
    log.categoryPower = "HIGH";
    log.categoryBand = "ALL";
    log.email = Read("Email", "");
    log.club = Read("Club", "");
    log.soapbox = ReplaceAll(ReplaceAll(Read("SoapBox", ""), "<CR>", "\r"), "<LF>", "\n");

    // CALLSIGN shows the call passed in, which log.callsign holds now.
    Cabrillo dialog;
    for (const Shown& shown : kShown) dialog.*shown.value = log.*shown.field;
    dialog.claimed = log.claimedScore;
    const bool ok = dialog.DoModal() == 1;
    // What the operator typed into CLAIMED is dropped: the score is computed.
    if (ok)
        for (const Shown& shown : kShown) log.*shown.field = dialog.*shown.value;

    log.soapbox = ReplaceAll(ReplaceAll(log.soapbox, "\r", "<CR>"), "\n", "<LF>");
    if (ok) {
        Write("Operators", log.operators);
        Write("Name", log.name);
        Write("Address", log.address);
        Write("Address-City", log.addressCity);
        Write("Address-PostalCode", log.addressPostalCode);
        Write("Address-Country", log.addressCountry);
        Write("Category", log.categoryOperator);
        Write("Location", log.location);
        Write("Power", log.categoryPower);
        Write("Contest", log.contestName);
        Write("Email", log.email);
        Write("Club", log.club);
        Write("SoapBox", log.soapbox);
    }
    log.soapbox = ReplaceAll(ReplaceAll(log.soapbox, "<CR>", "\r\nSOAPBOX: "), "<LF>", "");
    log.qsoLines.clear();
    return ok ? 1 : 0;
}

}  // namespace stats
