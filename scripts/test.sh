#!/usr/bin/env bash
# Installs what is needed, builds and runs every test: the Linux debug build (warnings as errors,
# AddressSanitizer and UndefinedBehaviorSanitizer) with its tests, the Windows cross build of the
# portable libraries, and the format check.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

cmake --preset linux
cmake --build --preset linux
ctest --preset linux

cmake --preset windows
cmake --build --preset windows

scripts/check-format.sh
