#pragma once
// The run state the entry points share: one of each, from load to unload.

#include <cstdint>
#include <string>

#include "cabrillo/cabrillo_log.h"
#include "host/host_link.h"
#include "log/band_list.h"
#include "log/qso_store.h"
#include "plugin/test_app.h"

namespace stats {

extern CTestApp theApp;
extern CCabrilloLog CabrilloLog;
extern CHostLink HostLink;
extern CInfoArray QsoStore;
extern CBandArray BandList;
extern std::string OwnCountry;
extern std::string ContestantCall;
extern std::string StartDateText;
extern std::string EndDateText;
extern const std::string SettingsSection;
extern const std::string SettingsPath;
extern std::string ResultText;

extern std::int32_t CabrilloEnabled;
extern std::int32_t TotalPoints;
extern std::int32_t MacrosSent;

}  // namespace stats
