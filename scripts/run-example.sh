#!/usr/bin/env bash
# Runs Glattmark on an example drawing: builds glattmark-sim if needed (linux-release preset), runs it on
# a session file with the example configuration, and writes the resulting session, a transcript of what
# the dialog showed and a picture of the sheet to build/example/.
#
#   scripts/run-example.sh [SESSION.json] [KEY=VALUE...] [glattmark-sim options...]
#
# Without arguments it runs the first-run example. At a terminal the dialog is asked there; otherwise
# "Ok" is pressed on the dialog's proposal. KEY=VALUE sets that key of [main] in the copy of glattmark.ini
# (Form=1 the simplified row, Scope=1 every sheet). Further options go to glattmark-sim, for example
# --kind 2 --rough 1,6 (answer without asking) or --cancel.
set -euo pipefail
cd "$(dirname "$0")/.."

session=examples/erster-lauf.json
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
    session=$1
    shift
fi
if [ ! -f "$session" ]; then
    echo "Sitzungsdatei nicht gefunden: $session" >&2
    exit 2
fi
settings=()
while [ $# -gt 0 ] && [[ "$1" =~ ^[A-Za-z]+= ]]; do
    settings+=("$1")
    shift
done

scripts/install-deps.sh
cmake --preset linux-release >/dev/null
cmake --build --preset linux-release --target glattmark-sim >/dev/null

name=$(basename "$session" .json)
out=build/example
mkdir -p "$out"
# The program copies values it takes from glattmark.cfg into glattmark.ini: it works on copies, so that
# the examples stay as they are.
cp examples/glattmark.ini examples/glattmark.cfg "$out/"
# KEY=VALUE replaces the key's line in [main], commented or not, or adds it at the section's end. The file
# keeps its code page and its CR LF line ends.
for setting in "${settings[@]}"; do
    LC_ALL=C awk -v key="${setting%%=*}" -v line="$setting" '
        function put() { print line "\r"; done = 1 }
        /^\[/ { if (section == "main" && !done) put(); section = tolower($0); gsub(/[][\r]/, "", section) }
        section == "main" && !done && tolower($0) ~ ("^;?" tolower(key) "=") { put(); next }
        { print }
        END { if (!done) { if (section != "main") print "[main]\r"; put() } }
    ' "$out/glattmark.ini" > "$out/glattmark.ini.new"
    mv "$out/glattmark.ini.new" "$out/glattmark.ini"
done
# The examples come from a German office: roughness values are read with the decimal comma of German
# regional settings, whatever this machine's locale says, unless --decimal is given.
regional=(--decimal ,)
for arg in "$@"; do
    [ "$arg" = --decimal ] && regional=()
done
status=0
build/linux-release/app/glattmark-sim "$session" --ini "$out/glattmark.ini" \
    --out "$out/$name.json" --transcript "$out/$name.transcript.json" --svg "$out/$name.svg" "${regional[@]}" "$@" || status=$?

echo
echo "Sitzung nach dem Lauf: $out/$name.json"
echo "Protokoll:             $out/$name.transcript.json"
echo "Bild des Blatts:       $out/$name.svg"
exit $status
