#!/usr/bin/env bash
# Installs what is needed, builds and runs every test: the Linux debug build (warnings as errors,
# AddressSanitizer and UndefinedBehaviorSanitizer), the Linux release build (the optimiser warns about
# what the debug build never sees), the Windows cross build with its tests under Wine, and the format
# check.
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

# The Windows tests run in a Wine prefix of the build tree (cmake/wine-run.sh), whose server stays up
# between them: stop that server, and only that one, however the run ends.
stop_wine() {
    if [ -d build/windows/wine-prefix ] && command -v wineserver >/dev/null; then
        WINEPREFIX="$PWD/build/windows/wine-prefix" wineserver -k 2>/dev/null || true
    fi
}
trap stop_wine EXIT
cmake --preset windows
cmake --build --preset windows
ctest --preset windows

scripts/check-format.sh
