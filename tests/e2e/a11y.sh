#!/usr/bin/env bash
# What a screen reader sees: starts the built program with a session bus and
# the AT-SPI bus and reads its accessibility tree (tests/e2e/a11y.py). Run
# inside an X server:
#   xvfb-run -a -s "-screen 0 1280x1024x24" tests/e2e/a11y.sh BUILD_DIR
set -uo pipefail

BUILD=$(cd "${1:?build folder}" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
PROG=$(mktemp -d)
YEAR=$(date +%Y)

cleanup() {
    [ -n "${PID:-}" ] && kill "$PID" 2>/dev/null
    [ -n "${BUS_PID:-}" ] && kill "$BUS_PID" 2>/dev/null
    [ -n "${DBUS_PID:-}" ] && kill "$DBUS_PID" 2>/dev/null
    rm -rf "$PROG"
}
trap cleanup EXIT

cp "$BUILD/kalvik" "$PROG/"
cp "$BUILD/tests/double/libSMT160.so" "$PROG/"
echo 22.4 > "$PROG/smt160-reading.txt"
"$BUILD/tools/sample/kalvik-sample" --year "$YEAR" --interval 60 --seed 3 --out "$PROG/T_$YEAR.dat" >/dev/null

eval "$(dbus-daemon --session --fork --print-address=1 --print-pid=1 |
    { read -r address; read -r pid; echo "export DBUS_SESSION_BUS_ADDRESS=$address DBUS_PID=$pid"; })"
/usr/libexec/at-spi-bus-launcher --launch-immediately &
BUS_PID=$!
sleep 1

QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$PROG/kalvik" &
PID=$!
WID=$(timeout 20 xdotool search --sync --onlyvisible --name '^Kalvik$' | head -n1)
[ -n "$WID" ] || { echo "FAIL: no Kalvik window"; exit 1; }
sleep 1.5
/usr/bin/python3 "$HERE/a11y.py" "$WID"
