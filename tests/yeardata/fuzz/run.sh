#!/bin/sh
# Builds the year data fuzz target with clang's libFuzzer and runs it.
# Usage: tests/yeardata/fuzz/run.sh [seconds]   (default 10)
set -eu

seconds=${1:-10}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
src=$root/src/yeardata

if ! command -v clang++ >/dev/null 2>&1; then
    echo "fuzz_yeardata: clang++ finns inte, fuzzningen hoppas över"
    exit 0
fi

if pkg-config --exists Qt6Core 2>/dev/null; then
    qt_flags=$(pkg-config --cflags --libs Qt6Core)
else
    qt_flags="-I/usr/include/x86_64-linux-gnu/qt6 -I/usr/include/x86_64-linux-gnu/qt6/QtCore -lQt6Core"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/fuzz_yeardata.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM

# Qt is built with -reduce-relocations, so code that uses it must be position independent.
# shellcheck disable=SC2086
clang++ -std=c++20 -O1 -g -fPIC -fsanitize=fuzzer,address,undefined \
    -fno-sanitize-recover=undefined -I"$src" \
    "$here/fuzz_yeardata.cpp" "$src/DataRecord.cpp" "$src/Curves.cpp" "$src/ShellSort.cpp" \
    $qt_flags -o "$work/fuzz_yeardata"

mkdir -p "$work/corpus"
echo "fuzz_yeardata: kör i $seconds s"
"$work/fuzz_yeardata" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 \
    -artifact_prefix="$work/" "$work/corpus" 2>"$work/log" || {
    status=$?
    tail -n 60 "$work/log"
    trap - EXIT INT TERM # keep the failing input for a rerun: fuzz_yeardata <file>
    echo "fuzz_yeardata: misslyckades ($status); programmet och fyndet ligger kvar i $work"
    exit "$status"
}
grep -h "^Done" "$work/log" || true
echo "fuzz_yeardata: inga fel"
