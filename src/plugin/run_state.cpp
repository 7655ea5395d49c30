#include "plugin/run_state.h"

namespace stats {

// Built in this order at load and destroyed in reverse at unload.
CTestApp theApp;
CCabrilloLog CabrilloLog;
CHostLink HostLink;
CInfoArray QsoStore;
CBandArray BandList;
std::string OwnCountry;
std::string ContestantCall;
std::string StartDateText;
std::string EndDateText;
const std::string SettingsSection = "Settings";
const std::string SettingsPath = "Plugins\\KYRVEN.ini";
std::string ResultText;

std::int32_t CabrilloEnabled = 0;
std::int32_t TotalPoints = 0;
std::int32_t MacrosSent = 0;

}  // namespace stats
