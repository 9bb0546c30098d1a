# shellcheck shell=bash
# Sourced by e2e.sh and a11y.sh with the build folder as $1: a fresh program folder PROG with
# the built program, the stand-in sensor library (it reads 22.4 C) and an hourly year file of
# this year (YEAR). The folder, the program (PID) and the processes in STOP go on exit.
BUILD=$(cd "${1:?build folder}" && pwd)
PROG=$(mktemp -d)
YEAR=$(date +%Y)
STOP=()

cleanup() { kill ${PID:-} "${STOP[@]}" 2>/dev/null; rm -rf "$PROG"; }
trap cleanup EXIT

cp "$BUILD/kalvik" "$PROG/"
cp "$BUILD/tests/double/libSMT160.so" "$PROG/"
"$BUILD/tools/sample/kalvik-sample" --year "$YEAR" --interval 60 --seed 3 --out "$PROG/T_$YEAR.dat" >/dev/null

start_kalvik() { # start_kalvik [NAME=VALUE...]: the program on the X server; sets PID and WID
    env QT_QPA_PLATFORM=xcb "$@" "$PROG/kalvik" &
    PID=$!
    WID=$(timeout 20 xdotool search --sync --onlyvisible --name '^Kalvik$' | head -n1)
    [ -n "$WID" ] || { echo "FAIL: no Kalvik window"; exit 1; }
    sleep 1.5
}
