#!/usr/bin/env bash
# End to end: the built program from a fresh program folder, driven only through the X server
# as a user would, for what only a real X server, window manager and the built programs show
# (views, cross-hair, the table's Esc, colours, following the file: the window tests'). Run:
#   xvfb-run -a -s "-screen 0 1280x1024x24" tests/e2e/e2e.sh BUILD_DIR
# Screenshots of a failing run are kept in BUILD_DIR/tests/e2e/artifacts.
set -uo pipefail

# shellcheck source=tests/e2e/common.sh
. "$(dirname "$0")/common.sh"
ART="$BUILD/tests/e2e/artifacts"
rm -rf "$ART" && mkdir -p "$ART"
FAILED=0
SHOT=0

fail() { echo "FAIL: $*"; FAILED=1; }
pass() { echo "ok: $*"; }

# A year of another station whose last record (10 April 2004) is damaged: QNH 971689267, 9.7e37 C.
mkdir -p "$PROG/Skadad"
"$BUILD/tools/sample/kalvik-sample" --year 2004 --interval 30 --seed 9 --out "$PROG/Skadad/T_2004.dat" >/dev/null
printf '\xc7\x94\x00\x00\x00\x00\x00\x3f\x33\xcd\xea\x39\x0a\xf3\x91\x7e' |
    dd of="$PROG/Skadad/T_2004.dat" bs=16 seek=$((101 * 48 - 1)) conv=notrunc 2>/dev/null
sums() { (cd "$PROG" && sha256sum "T_$YEAR.dat" Skadad/T_2004.dat); }
SUMS=$(sums)

shot() { # shot NAME: the whole screen, kept as an artefact
    SHOT=$((SHOT + 1))
    CUR="$ART/$(printf %02d "$SHOT")-$1.png"
    import -window root "$CUR"
}
count() { # count R G B [WxH+X+Y]: pixels of exactly that colour, by default in the diagram
    convert "$CUR" -crop "${4:-726x336+$DX+$DY}" +repage -fill black +opaque "rgb($1,$2,$3)" \
        -fill white -opaque "rgb($1,$2,$3)" -format '%[fx:round(mean*w*h)]' info:
}
same_diagram() { # same_diagram PNG: the diagram of the last shot is PNG to the pixel
    convert "$CUR" -crop "726x336+$DX+$DY" +repage "$ART/now.png"
    [ "$(compare -metric AE "$1" "$ART/now.png" null: 2>&1)" = 0 ]
}
data_menu() { xdotool mousemove $((X + 188)) "$MENU_Y" click 1; sleep 0.5; } # DataTabell
key() { xdotool windowfocus --sync "$WID" 2>/dev/null; xdotool key --clearmodifiers "$@"; sleep 0.4; }

# --- a window manager, as every desktop has: focus and activation as users get them
openbox --sm-disable >/dev/null 2>&1 &
STOP+=($!)
for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done

start_kalvik
eval "$(xdotool getwindowgeometry --shell "$WID")" # WIDTH HEIGHT
# Where the window is on the screen: under a window manager xdotool counts the frame twice.
read -r X Y < <(xwininfo -id "$WID" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {print x, $4}')
shot startup
# The client area starts below the menu bar: the first teal row at its left edge.
TOP=""
for ((y = Y; y < Y + 80; y++)); do
    [ "$(count 0 128 128 "1x1+$((X + 3))+$y")" = 1 ] && { TOP=$y; break; }
done
[ -n "$TOP" ] || { fail "no teal client area"; exit 1; }
DX=$((X + 54)); DY=$((TOP + 32)) # the diagram's inner area
MENU_Y=$(((Y + TOP) / 2))

[ "$(count 255 128 128 "726x1+$DX+$((DY + 168))")" -gt 100 ] && pass "0 C line" || fail "no 0 C line"
CALLS=$(cat "$PROG/smt160-calls.log" 2>/dev/null)
[ "$CALLS" = "GetTemp 889 11" ] && pass "one GetTemp(889, 11)" || fail "sensor calls: $CALLS"
convert "$CUR" -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$ART/kalvik.png" # for the README
convert "$CUR" -crop "726x336+$DX+$DY" +repage "$ART/year-$YEAR.png"

# --- data table: clicks and a drag inside it are the table's, not the diagram's --------
data_menu
shot table
[ "$(count 224 223 194)" -gt 10000 ] && pass "DataTabell shows the table" || fail "no table after DataTabell"
xdotool mousemove $((DX + 500)) $((DY + 100)) click 1
xdotool mousemove $((DX + 520)) $((DY + 150)) click 3
xdotool mousemove $((DX + 450)) $((DY + 60)) mousedown 1 mousemove $((DX + 600)) $((DY + 250)) mouseup 1
sleep 0.4
shot table-clicked
[ "$(count 224 223 194)" -gt 10000 ] && [ "$(count 16 16 222)" -eq 0 ] \
    && pass "clicks in the table stay in the table" || fail "a click in the table reached the diagram"
data_menu
shot table-hidden
same_diagram "$ART/year-$YEAR.png" && pass "DataTabell again: the diagram as before the table" || fail "the diagram changed under the table"

# --- port address -------------------------------------------------------------------
key ctrl+p
DLG=$(timeout 10 xdotool search --sync --onlyvisible --name '^GamePortAdress$' | head -n1)
if [ -n "$DLG" ]; then
    xdotool windowfocus --sync "$DLG" 2>/dev/null
    xdotool type --delay 50 889
    xdotool key Return
    sleep 0.5
    CAPTION=$(xdotool getwindowname "$WID")
    [[ "$CAPTION" =~ ^21[.,]3\ C\ \ [0-9]{2}.[0-9]{2}.[0-9]{2}$ ]] && pass "caption '$CAPTION'" || fail "caption '$CAPTION'"
else
    fail "no port dialog"
fi

# --- a damaged year ------------------------------------------------------------------
open_file() { # open_file PATH: chooses PATH in the open dialog
    key ctrl+o
    DLG=$(timeout 10 xdotool search --sync --onlyvisible --name 'Öppna datafil' | head -n1)
    [ -n "$DLG" ] || { fail "no open dialog"; return 1; }
    xdotool windowfocus --sync "$DLG" 2>/dev/null
    sleep 0.3
    xdotool type --delay 20 "$1"
    xdotool key Return
    sleep 1
}
if open_file "$PROG/Skadad/T_2004.dat"; then
    BOX=$(timeout 10 xdotool search --sync --onlyvisible --name '^Kalvik$' | head -n1)
    [ -n "$BOX" ] && pass "a damaged record is told in a message" || fail "no message for the damaged record"
    [ -n "$BOX" ] && { xdotool windowfocus --sync "$BOX" 2>/dev/null; xdotool key Return; sleep 0.5; }
    [ -z "$(xdotool search --onlyvisible --name '^Kalvik$' 2>/dev/null)" ] || fail "more than one message for the damaged record"
fi

# --- no key: the cycle timer reads the sensor again, after the start and the port answer
for ((i = 0; i < 40 && $(wc -l <"$PROG/smt160-calls.log") < 3; i++)); do sleep 1; done
[ "$(wc -l <"$PROG/smt160-calls.log")" -ge 3 ] && pass "the cycle timer reads the sensor" || fail "no reading from the timer"

key ctrl+q
timeout 10 tail --pid="$PID" -f /dev/null
wait "$PID"
CODE=$?
PID=""
[ "$CODE" -eq 0 ] && pass "Ctrl+Q ends with exit code 0" || fail "exit code $CODE"
[ "$(sums)" = "$SUMS" ] && pass "year files unchanged" || fail "a year file changed"

[ "$FAILED" -eq 0 ] || { echo "Screenshots: $ART"; exit 1; }
find "$ART" -type f ! -name kalvik.png -delete
echo "1 passed, 0 failed"
