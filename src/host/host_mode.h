#pragma once
// Switching the running host to RTTY at 45.45 baud, once per load.

namespace stats {

// One attempt: finds the host's automation object, binds HostLink to it and
// sends the two macros; sets MacrosSent once both went through. When the host
// is not running, or refuses or ignores a macro, nothing is reported and
// MacrosSent stays 0, so the next result request tries again.
void SetHostMode();

}  // namespace stats
