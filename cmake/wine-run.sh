#!/usr/bin/env bash
# Runs a program of the Windows build under Wine:
#
#   cmake/wine-run.sh PREFIX PROGRAM [ARGUMENTS...]
#
# The windows preset makes it the cross build's emulator: CMake lists the tests through it at build time
# and ctest runs them through it. All runs share the Wine prefix PREFIX under the build tree. The first
# run creates the prefix, applies cmake/wine-prefix.reg (and PREFIX.reg, the settings of this prefix alone,
# when there is one) and starts the prefix's server and background services with their output sent to
# PREFIX.log: a service that inherited a test's standard output would keep ctest, or gtest's discovery,
# waiting until it ends. The server then stays up; stop it with
#
#   WINEPREFIX=PREFIX wineserver -k
#
# Windows need a display: with the server, a virtual X server (Xvfb) starts for the prefix, and every run
# gets it as DISPLAY. It ends with the server, and after GLM_XVFB_SECONDS (two hours) at the latest; a
# run that finds it gone restarts the prefix's server with a new one.
#
# "wine-run.sh PREFIX --version" prints Wine's version without touching the prefix, and fails when Wine
# is missing.
set -euo pipefail

if [ $# -lt 2 ]; then
    echo "usage: $0 PREFIX PROGRAM [ARGUMENTS...]" >&2
    exit 2
fi
prefix=$1
shift

loader=
for candidate in /usr/lib/wine/wine64 "$(command -v wine64 || true)" "$(command -v wine || true)"; do
    if [ -n "$candidate" ] && [ -x "$candidate" ]; then
        loader=$candidate
        break
    fi
done
if [ -z "$loader" ]; then
    echo "$0: Wine is missing (no /usr/lib/wine/wine64, wine64 or wine); install the packages wine and" \
        "wine64 (scripts/install-deps.sh)" >&2
    exit 1
fi
if [ "$1" = --version ]; then
    exec "$loader" --version
fi

# The server of the loader's own installation: another Wine's server would not speak its protocol.
server=$(dirname "$loader")/wineserver
[ -x "$server" ] || server=wineserver

export WINEPREFIX
WINEPREFIX=$(realpath -m "$prefix")
export WINEDEBUG=-all
settings=$(dirname "$(realpath "$0")")/wine-prefix.reg
own_settings=$WINEPREFIX.reg

mkdir -p "$WINEPREFIX"
# One boot at a time: the build lists several test programs at once. The lock's descriptor is closed for
# everything started here, or the prefix's server would hold the lock for as long as it runs.
exec 9>"$WINEPREFIX.lock"
flock 9
display_file=$WINEPREFIX.display
# The prefix's windows live on the display its server started with: a server without one is ended.
if [ ! -s "$display_file" ] || ! kill -0 "$(sed -n 2p "$display_file")" 2>/dev/null; then
    { "$server" -k && "$server" -w; } >/dev/null 2>&1 </dev/null 9>&- || true
    rm -f "$display_file"
fi
# The server, too, keeps the output it was started with.
status=0
"$server" -p >>"$WINEPREFIX.log" 2>&1 </dev/null 9>&- || status=$?
case $status in
0)
    # The server was not running (2 means it was): a display for its windows first, then the services.
    # Xvfb picks a free display itself and writes its number to the file.
    rm -f "$display_file"
    timeout "${GLM_XVFB_SECONDS:-7200}" Xvfb -displayfd 8 -screen 0 1024x768x24 -nolisten tcp \
        8>"$display_file.number" >>"$WINEPREFIX.log" 2>&1 </dev/null 9>&- &
    xvfb=$!
    for _ in $(seq 100); do
        [ -s "$display_file.number" ] && break
        sleep 0.1
    done
    if [ ! -s "$display_file.number" ]; then
        echo "$0: Xvfb did not start (package xvfb)" >&2
        exit 1
    fi
    printf ':%s\n%s\n' "$(head -n 1 "$display_file.number")" "$xvfb" >"$display_file"
    rm -f "$display_file.number"
    export DISPLAY
    DISPLAY=$(head -n 1 "$display_file")
    # No Mono or Gecko installer, and no menu entries on the user's desktop.
    overrides="mscoree,mshtml=;winemenubuilder.exe=d"
    {
        WINEDLLOVERRIDES=$overrides "$loader" wineboot
        # Debian's Wine 8 does not load the fonts of its own data folder (package fonts-wine: Tahoma,
        # MS Sans Serif, Marlett for the caption buttons); from the prefix's font folder it does.
        for font in "$(dirname "$loader")"/../../share/wine/fonts/*; do
            if [ -e "$font" ]; then
                ln -sf "$(realpath "$font")" "$WINEPREFIX/drive_c/windows/Fonts/"
            fi
        done
        applied=$WINEPREFIX/.settings-applied
        if [ "$settings" -nt "$applied" ] || [ "$own_settings" -nt "$applied" ]; then
            "$loader" regedit /S "$settings" &&
                { [ ! -f "$own_settings" ] || "$loader" regedit /S "$own_settings"; } &&
                touch "$applied"
            # The desktop setting holds for processes started afresh: the prefix starts again.
            "$server" -k && "$server" -w
            "$server" -p
            WINEDLLOVERRIDES=$overrides "$loader" wineboot
        fi
    } >>"$WINEPREFIX.log" 2>&1 </dev/null 9>&-
    # The display ends with the server.
    ("$server" -w; kill "$xvfb") >>"$WINEPREFIX.log" 2>&1 </dev/null 9>&- &
    ;;
2) ;;
*)
    echo "$0: the Wine server for $WINEPREFIX did not start" >&2
    exit 1
    ;;
esac
flock -u 9
exec 9>&-

export DISPLAY
DISPLAY=$(head -n 1 "$display_file")
exec "$loader" "$@"
