#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and the German locale. As root it runs
# apt-get; otherwise it prints the exact command to run and fails when something is missing.
set -euo pipefail

packages=(
    cmake g++ make git pkg-config python3
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    nlohmann-json3-dev
    libfreetype-dev libfontconfig-dev fontconfig fonts-liberation fonts-liberation2
    g++-mingw-w64-x86-64
    # Wine runs the Windows build's tests; Xvfb gives windows a display; fonts-wine, only recommended by
    # wine, brings the Windows dialog fonts.
    wine wine64 xvfb fonts-wine
    # scripts/run-windows-example.sh takes its screenshots from the Wine desktop's display.
    imagemagick
    clang-format
    locales
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    cmd="apt-get install -y --no-install-recommends ${missing[*]}"
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing: ${missing[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $cmd
    else
        echo "Missing packages. Run as root:" >&2
        echo "  sudo apt-get update && sudo $cmd" >&2
        exit 1
    fi
fi

# The German locale: the test of the decimal comma taken from the locale fails without it.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    if [ "$(id -u)" -eq 0 ]; then
        localedef -i de_DE -f UTF-8 de_DE.UTF-8
    else
        echo "No German locale, which the tests need. Run as root:" >&2
        echo "  sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8" >&2
        exit 1
    fi
fi
