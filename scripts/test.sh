#!/usr/bin/env bash
# Installs what is needed, builds and runs every test: the Linux debug build (warnings as errors,
# AddressSanitizer and UndefinedBehaviorSanitizer), the Linux release build (the optimiser warns about
# what the debug build never sees; its glattmark-sim is what the end-to-end tests compare with), the
# Windows cross build with its tests under Wine, the end-to-end tests among them, the Windows debug build
# with the tests of the Windows pieces, and the format check.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/check-layers.sh

cmake --preset linux
cmake --build --preset linux
ctest --preset linux

cmake --preset linux-release
cmake --build --preset linux-release
ctest --preset linux-release

# The Windows tests run in Wine prefixes of the build trees (cmake/wine-run.sh): wine-prefix for the unit
# tests, dpi144-prefix for the dialog at 150 %, e2e-prefix for the end-to-end tests, whose servers stay up
# between tests. Stop those servers, and only those, however the run ends.
stop_wine() {
    for prefix in build/windows*/*-prefix; do
        if [ -d "$prefix" ] && command -v wineserver >/dev/null; then
            WINEPREFIX="$PWD/$prefix" wineserver -k 2>/dev/null || true
        fi
    done
}
trap stop_wine EXIT
cmake --preset windows
cmake --build --preset windows
ctest --preset windows

# The Windows pieces again, built with -O1 -g and the standard library's assertions: their COM and window tests,
# without the end-to-end scenarios.
cmake --preset windows-debug
cmake --build --preset windows-debug
ctest --preset windows-debug

scripts/check-format.sh
