#!/usr/bin/env bash
# Checks two rules of the layers:
# - No file below app/ is included from a layer under it. The run object and the entry points live in app/;
#   every other layer gets only the pieces it uses, so that it builds and is tested on its own.
# - Only the Windows pieces include Windows: the adapters named for their platform (*_win32.*, *_gdi.*),
#   host/com, win32/ and tools/, and the tests of those. <windows.h> and the other Windows headers come in
#   through win32/; the core knows no platform.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(git ls-files '*.cpp' '*.h' '*.inc' 2>/dev/null ||
    find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' -o -name '*.inc' \) -print)
status=0

# shellcheck disable=SC2086
hits=$(grep -nE '^\s*#\s*include\s*"app/' $files /dev/null | grep -vE '^(\./)?(app|tools|tests)/' || true)
if [ -n "$hits" ]; then
    echo "Only app/, tools/ and tests/ may include app/:" >&2
    echo "$hits" >&2
    status=1
fi

windowsHeaders='<(windows|winbase|winuser|wingdi|winreg|commctrl|shellapi|objbase|ole2|oaidl|oleauto)\.h>|"win32/'
windowsPieces='^(\./)?(win32/|host/com/|tools/|[^:]*(_win32|_gdi)\.[a-z]+:|tests/(win32/|host/com_|[^:]*/[^/:]*(_win32|gdi_)[^/:]*:))'
# shellcheck disable=SC2086
hits=$(grep -nE "^\s*#\s*include\s*($windowsHeaders)" $files /dev/null | grep -vE "$windowsPieces" || true)
if [ -n "$hits" ]; then
    echo "Only the Windows adapters (*_win32.*, *_gdi.*), host/com, win32/, tools/ and their tests may include" \
        "Windows (<windows.h>, win32/):" >&2
    echo "$hits" >&2
    status=1
fi
exit $status
