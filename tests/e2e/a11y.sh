#!/usr/bin/env bash
# What a screen reader sees: the built program with a session bus and the AT-SPI bus, its
# accessibility tree read by tests/e2e/a11y.py. Run inside an X server:
#   xvfb-run -a -s "-screen 0 1280x1024x24" tests/e2e/a11y.sh BUILD_DIR
set -uo pipefail

# shellcheck source=tests/e2e/common.sh
. "$(dirname "$0")/common.sh"

eval "$(dbus-daemon --session --fork --print-address=1 --print-pid=1 |
    { read -r address; read -r pid; echo "export DBUS_SESSION_BUS_ADDRESS=$address DBUS_PID=$pid"; })"
/usr/libexec/at-spi-bus-launcher --launch-immediately &
STOP+=("$!" "$DBUS_PID")
sleep 1

start_kalvik QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
/usr/bin/python3 "$(dirname "$0")/a11y.py" "$WID"
