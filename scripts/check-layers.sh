#!/usr/bin/env bash
# Fails when a file below app/ is included from a layer under it. The run object and the entry points live
# in app/; every other layer gets only the pieces it uses, so that it builds and is tested on its own.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
# shellcheck disable=SC2086
hits=$(grep -nE '^\s*#\s*include\s*"app/' $files /dev/null | grep -vE '^(\./)?(app|tools|tests)/' || true)
if [ -n "$hits" ]; then
    echo "Only app/, tools/ and tests/ may include app/:" >&2
    echo "$hits" >&2
    exit 1
fi
