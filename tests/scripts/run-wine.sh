#!/bin/bash
# Runs a Windows program under Wine and passes its exit code through.
#   run-wine.sh [--prefix DIR] PROGRAM.exe [ARGS...]
# The Wine prefix (default: STATS_WINEPREFIX, else ./wine-prefix) is created on
# first use and reused; runs that share a prefix take turns. Each run gets an
# X display of its own from Xvfb, so no desktop is needed and no window shows.
# Nothing waits for ever: every step is under a time limit
# (STATS_WINE_TIMEOUT seconds for the program, 600 by default).
set -u

prefix=${STATS_WINEPREFIX:-$PWD/wine-prefix}
if [[ ${1-} == --prefix ]]; then
    prefix=$2
    shift 2
fi
if [[ $# -lt 1 ]]; then
    echo "usage: $0 [--prefix DIR] PROGRAM.exe [ARGS...]" >&2
    exit 2
fi
for tool in wine wineboot wineserver Xvfb timeout flock; do
    if ! command -v "$tool" >/dev/null; then
        echo "run-wine: $tool is missing (packages wine, wine32:i386, xvfb, util-linux, coreutils)" >&2
        exit 2
    fi
done

program_timeout=${STATS_WINE_TIMEOUT:-600}
mkdir -p "$(dirname "$prefix")"
export WINEPREFIX
WINEPREFIX=$(realpath -m "$prefix")
# No .NET or HTML engine installer, and no crash debugger: a crashing program
# ends at once with a failing exit code instead of waiting while the debugger
# reads its symbols.
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d" HOME=${HOME:-/tmp}

# One run at a time per prefix: a Wine desktop belongs to one display. Only
# this script holds the lock (fd 9); what it starts does not inherit it.
exec 9>"$WINEPREFIX.lock"
if ! flock -w 1800 9; then
    echo "run-wine: $WINEPREFIX is busy" >&2
    exit 2
fi

workdir=$(mktemp -d)
xvfb_pid=
cleanup() {
    # Let Wine's own helper processes end before their display goes.
    if ! timeout 60 wineserver -w; then wineserver -k; fi
    if [[ -n $xvfb_pid ]]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    rm -rf "$workdir"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$workdir/display" 2>"$workdir/xvfb.log" 9>&- &
xvfb_pid=$!
for _ in $(seq 100); do
    [[ -s $workdir/display ]] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done
if [[ ! -s $workdir/display ]]; then
    echo "run-wine: Xvfb did not start" >&2
    cat "$workdir/xvfb.log" >&2
    exit 2
fi
export DISPLAY=":$(tr -d '[:space:]' <"$workdir/display")"

# A fresh prefix takes a while; an interrupted one, or one made by an older
# version of these steps, is made again.
prefix_version=2
if [[ $(cat "$WINEPREFIX/.stats-ready" 2>/dev/null) != "$prefix_version" ]]; then
    rm -rf "$WINEPREFIX"
    echo "run-wine: creating the Wine prefix $WINEPREFIX" >&2
    # Windows not managed: without a window manager, Wine would wait two
    # seconds for one at every window that closes.
    if ! timeout 600 wineboot -i >"$workdir/wineboot.log" 2>&1 9>&- ||
        ! timeout 120 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
            >>"$workdir/wineboot.log" 2>&1 9>&- ||
        ! timeout 120 wineserver -w; then
        echo "run-wine: making the Wine prefix failed" >&2
        cat "$workdir/wineboot.log" >&2
        exit 2
    fi
    echo "$prefix_version" >"$WINEPREFIX/.stats-ready"
fi

timeout --kill-after=10 "$program_timeout" wine "$@" 9>&-
status=$?
if [[ $status -eq 124 ]]; then
    echo "run-wine: $1 ran longer than $program_timeout s and was stopped" >&2
fi
exit "$status"
