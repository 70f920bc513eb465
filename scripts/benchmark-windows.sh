#!/usr/bin/env bash
# The round trips of the Windows program: glattmark.exe under Wine against simhost.exe on the benchmark's
# sheet of 200 distinct symbols and 200 repeats, beside glattmark-sim's calls on the same sheet, and what one
# call costs with and without a name lookup. Builds what it needs (linux-release and windows presets); prints
# figures only.
#
#   scripts/benchmark-windows.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset linux-release >/dev/null
cmake --build --preset linux-release --target glattmark-sim glattmark-benchmark >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows --target glattmark simhost uidriver com-round-trips >/dev/null

stop_wine() {
    WINEPREFIX="$PWD/build/windows/e2e-prefix" wineserver -k 2>/dev/null || true
}
trap stop_wine EXIT
python3 -B tools/benchmark/windows_benchmark.py "$@"
