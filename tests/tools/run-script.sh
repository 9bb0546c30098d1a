#!/usr/bin/env bash
# scripts/run builds only what it runs and writes this year's sample only up
# to today. Runs a copy of the script against stand-ins for cmake, the sample
# tool and the program, which note how they were called.
# Usage: run-script.sh SOURCE_DIR
set -uo pipefail
SRC=$(cd "${1:?source folder}" && pwd)
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
mkdir -p "$TMP/root/scripts" "$TMP/bin" "$TMP/root/build/tools/sample"
cp "$SRC/scripts/run" "$SRC/scripts/common.sh" "$TMP/root/scripts/"
LOG="$TMP/calls"
# Stand-ins that note their name and arguments; dpkg-query counts everything as installed.
for stub in "$TMP/bin/cmake" "$TMP/root/build/kalvik" "$TMP/root/build/tools/sample/kalvik-sample"; do
    printf '#!/bin/sh\necho "$(basename "$0") $*" >> "%s"\n' "$LOG" > "$stub"
done
printf '#!/bin/sh\necho "install ok installed"\n' > "$TMP/bin/dpkg-query"
chmod +x "$TMP"/bin/* "$TMP/root/build/kalvik" "$TMP/root/build/tools/sample/kalvik-sample"

PATH="$TMP/bin:$PATH" "$TMP/root/scripts/run" >/dev/null || { echo "FAIL: scripts/run failed"; exit 1; }
FAILED=0
grep -q -- "^cmake --build $TMP/root/build -j[0-9]* --target kalvik SMT160 kalvik-sample\$" "$LOG" ||
    { echo "FAIL: builds more than it runs:"; cat "$LOG"; FAILED=1; }
grep -q -- "^kalvik-sample .*--until $(date +%F) " "$LOG" ||
    { echo "FAIL: the sample year does not stop at today:"; cat "$LOG"; FAILED=1; }
grep -q "^kalvik *$" "$LOG" || { echo "FAIL: the program was not started"; FAILED=1; }
[ "$FAILED" -eq 0 ] && echo "ok: scripts/run builds kalvik, SMT160 and kalvik-sample; sample up to today"
exit "$FAILED"
