#!/usr/bin/env bash
# The main job: builds the Linux plug-in and stats-host, then scores the bundled
# sample log with a Cabrillo log, in the folder given (default: ./run).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh native

cmake --preset native >/dev/null
cmake --build --preset native -j "$(nproc)" --target Stats stats-host >/dev/null

workdir=${1:-run}
# A host installation has a Plugins folder: the settings file lives there.
mkdir -p "$workdir/Plugins"
echo "Scoring examples/sample.adi in $(cd "$workdir" && pwd)"
echo
host=(build/native/tools/stats-host/stats-host examples/sample.adi --cabrillo --workdir "$workdir")
# A private session bus, where there is none, lets stats-host offer the host's
# automation object, so the plug-in's switch to RTTY shows in the output.
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] && command -v dbus-run-session >/dev/null; then
  # (The private bus daemon's note that root may not raise its file limit is noise.)
  set +e
  { dbus-run-session -- "${host[@]}" 2>&1 1>&3 3>&- | { grep -v "Failed to set fd limit" || true; } >&2; } 3>&1
  exit "${PIPESTATUS[0]}"
fi
exec "${host[@]}"
