#!/usr/bin/env bash
# Runs the Windows program glattmark.exe under Wine on an example drawing, against simhost.exe serving
# the session file, and answers its dialog through its windows as a person would (tools/uidriver):
#
#   scripts/run-windows-example.sh [SESSION.json] [answers...]
#
# The answers are glattmark-sim's (--kind 1 --rough 1,6 --method geschliffen --normfix 1, --cancel,
# --close); without any, "Ok" is pressed on the dialog's proposal. Without a session file the first-run
# example runs. It builds what it needs (the windows and linux-release presets) and leaves in
# build/example-windows/ the session after the run, what the driver saw, the SVG picture of the sheet and
# PNG screenshots of the dialog as shown and of every message.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset linux-release >/dev/null
cmake --build --preset linux-release --target glattmark-sim >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows --target glattmark simhost uidriver >/dev/null

# The runs' Wine prefix keeps its server (and the display it draws on) up; end both with the script.
stop_wine() {
    WINEPREFIX="$PWD/build/windows/e2e-prefix" wineserver -k 2>/dev/null || true
}
trap stop_wine EXIT
python3 -B tools/uidriver/wine_harness.py example "$@"
