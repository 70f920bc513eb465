#!/usr/bin/env bash
# Builds the Windows package build/glattmark-<version>-win64.zip: one folder with glattmark.exe, the macro
# glattmark.swb that starts it from a button of SolidWorks, the example glattmark.ini and glattmark.cfg, and
# LIESMICH.txt (what the program does, where the INI goes, how to start it). The version is the CMake project's.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset windows >/dev/null
cmake --build --preset windows --target glattmark-package >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt)
zip=glattmark-$version-win64.zip
cp "build/windows/$zip" "build/$zip"
echo "build/$zip"
