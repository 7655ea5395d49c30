#!/usr/bin/env bash
# Shows the Cabrillo header dialog of the Windows build under Wine on a
# virtual X display and saves a picture of it as docs/images/cabrillo-dialog.png.
#   scripts/dialog-screenshot.sh [BUILD_DIR]     (default: build/windows)
# The build folder must hold tools/stats-host/stats-host.exe and src/Stats.dll
# (cmake --build --preset windows). Needs the Debian packages wine, wine32:i386,
# xvfb, x11-utils (xwininfo) and imagemagick (import).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build/windows}")
host=$build/tools/stats-host/stats-host.exe
plugin=$build/src/Stats.dll
out=$root/docs/images/cabrillo-dialog.png
caption="KYRVEN RTTY CONTEST "

for file in "$host" "$plugin"; do
    [[ -f $file ]] || { echo "dialog-screenshot: $file is missing; build the Windows preset first" >&2; exit 1; }
done
for tool in wine wineboot wineserver Xvfb xwininfo import timeout; do
    command -v "$tool" >/dev/null || { echo "dialog-screenshot: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d)
xvfb_pid=
host_pid=
export WINEPREFIX=$build/wine-prefix-screenshot WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    [[ -n $host_pid ]] && kill "$host_pid" 2>/dev/null
    timeout 30 wineserver -k 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    sleep 0.1
done
[[ -s $work/display ]] || { echo "dialog-screenshot: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(tr -d '[:space:]' <"$work/display")"

if [[ ! -e $WINEPREFIX/.stats-ready ]]; then
    rm -rf "$WINEPREFIX"
    timeout 600 wineboot -i >"$work/wineboot.log" 2>&1 && timeout 120 wineserver -w
    touch "$WINEPREFIX/.stats-ready"
fi

# A run with a Cabrillo log, in a folder of its own: the dialog opens and
# waits for an operator, who never comes.
mkdir -p "$work/run/Plugins"
cp "$root/examples/sample.adi" "$work/run/"
# A Wine desktop of the dialog's size draws the window frame and title bar,
# which no window manager would draw here.
(cd "$work/run" && exec timeout 120 wine explorer /desktop=stats,392x502 "$host" sample.adi --cabrillo \
    --plugin "$plugin" >/dev/null 2>&1) &
host_pid=$!

window=
for _ in $(seq 600); do
    window=$(xwininfo -root -tree 2>/dev/null | awk -v name="\"$caption\":" 'index($0, name) { print $1; exit }')
    [[ -n $window ]] && break
    sleep 0.1
done
[[ -n $window ]] || { echo "dialog-screenshot: the dialog did not show" >&2; exit 1; }
sleep 2  # until it is painted

mkdir -p "$(dirname "$out")"
desktop=$(xwininfo -root -tree | awk '/"stats - Wine desktop"/ { print $1; exit }')
import -window "${desktop:-root}" "$out"
echo "dialog-screenshot: wrote $out"
