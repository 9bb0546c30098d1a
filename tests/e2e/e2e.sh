#!/usr/bin/env bash
# End to end: starts the built program from a fresh program folder and drives
# it only through the X server, as a user would. Run inside an X server:
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

# --- a fresh program folder, and two more year files ------------------------
mkdir -p "$PROG/Arkiv2"
"$BUILD/tools/sample/kalvik-sample" --year 2004 --interval 30 --seed 9 --out "$PROG/Arkiv2/T_2004.dat" >/dev/null
cp "$PROG/Arkiv2/T_2004.dat" "$PROG/data.dat" # a year file under a name without a year
# This year's file stops at the end of yesterday, so that today's bar is the
# logger's (from 3 January on: earlier the year would be almost empty).
TODAY=$(($(date +%-j) - 1)) # x of today in the diagram
if [ "$TODAY" -ge 2 ]; then
    truncate -s $((TODAY * 24 * 16)) "$PROG/T_$YEAR.dat"
fi
SUMS=$(cd "$PROG" && sha256sum "T_$YEAR.dat" Arkiv2/T_2004.dat data.dat)

# --- screenshots as pixels ----------------------------------------------------
shot() { # shot NAME: the whole screen, kept as an artefact
    SHOT=$((SHOT + 1))
    CUR="$ART/$(printf %02d "$SHOT")-$1.png"
    import -window root "$CUR"
}
pixel() { # pixel X Y: "r,g,b" of the last shot
    convert "$CUR" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:
}
count() { # count R G B: pixels of exactly that colour inside the diagram
    convert "$CUR" -crop "726x336+$DX+$DY" +repage -fill black +opaque "rgb($1,$2,$3)" \
        -fill white -opaque "rgb($1,$2,$3)" -format '%[fx:round(mean*w*h)]' info:
}
diagram() { # diagram FILE: the diagram's inner area of the last shot
    convert "$CUR" -crop "726x336+$DX+$DY" +repage "$1"
}
key() { xdotool windowfocus --sync "$WID" 2>/dev/null; xdotool key --clearmodifiers "$@"; sleep 0.4; }

# --- a window manager, as every desktop has: focus and activation as users get them
openbox --sm-disable >/dev/null 2>&1 &
STOP+=($!)
for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done

# --- start-up -------------------------------------------------------------------
start_kalvik
eval "$(xdotool getwindowgeometry --shell "$WID")" # WIDTH HEIGHT
# Where the window is on the screen: under a window manager xdotool counts the frame twice.
X=$(xwininfo -id "$WID" | awk '/Absolute upper-left X/ {print $4}')
Y=$(xwininfo -id "$WID" | awk '/Absolute upper-left Y/ {print $4}')
shot startup
# The client area starts below the menu bar: the first teal row at its left edge.
TOP=""
for ((y = Y; y < Y + 80; y++)); do
    [ "$(pixel $((X + 3)) "$y")" = "0,128,128" ] && { TOP=$y; break; }
done
[ -n "$TOP" ] || { fail "no teal client area"; exit 1; }
DX=$((X + 54)); DY=$((TOP + 32)) # the diagram's inner area
MENU_Y=$(((Y + TOP) / 2))

[ "$(pixel $((DX + 100)) $((DY + 1)))" = "239,239,222" ] && pass "cream diagram" || fail "diagram background $(pixel $((DX + 100)) $((DY + 1)))"
[ "$(pixel $((DX + 333)) $((DY + 168)))" = "255,128,128" ] || [ "$(count 255 128 128)" -gt 600 ] && pass "0 C line" || fail "no 0 C line"
[ "$(count 255 0 0)" -gt 100 ] && pass "red bars drawn" || fail "no red bars"
[ "$(count 156 0 158)" -gt 100 ] && pass "pressure maxima drawn" || fail "no purple pressure line"
[ "$(count 0 116 0)" -gt 100 ] && pass "pressure minima drawn" || fail "no green pressure line"
CALLS=$(cat "$PROG/smt160-calls.log" 2>/dev/null)
[ "$CALLS" = "GetTemp 889 11" ] && pass "one GetTemp(889, 11)" || fail "sensor calls: $CALLS"
# lblTempC: bright green text on dark red at client (46,422)-(159,447).
GREEN=$(convert "$CUR" -crop "113x25+$((X + 46))+$((TOP + 422))" +repage -fill black +opaque "rgb(0,255,0)" -fill white -opaque "rgb(0,255,0)" -format '%[fx:round(mean*w*h)]' info:)
[ "$GREEN" -gt 20 ] && pass "temperature shown" || fail "no temperature text"
convert "$CUR" -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$ART/kalvik.png" # for the README

# --- the menus from the keyboard, before any element has had the focus -----------
# The menu bar keeps the keyboard after its command; Esc still hides the table.
xdotool mousemove $((DX + 100)) $((DY + 300)) click 1
sleep 0.3
for k in alt+a Right Right Right Return; do xdotool key --clearmodifiers "$k"; sleep 0.3; done
shot table-by-keys
[ "$(count 224 223 194)" -gt 10000 ] && pass "Alt+A, Right three times and Return show the table" || fail "no table from the keyboard"
xdotool key --clearmodifiers Escape; sleep 0.4; shot table-by-keys-hidden
[ "$(count 224 223 194)" -eq 0 ] && pass "Esc hides the table after the menus" || fail "table still shown after the menus and Esc"

# --- views --------------------------------------------------------------------
key ctrl+t; shot bara-temp
[ "$(count 255 0 0)" -gt 100 ] && [ "$(count 156 0 158)" -eq 0 ] && [ "$(count 0 116 0)" -eq 0 ] \
    && pass "Bara Temp: bars only, pressure labels hidden" || fail "Bara Temp picture"
key ctrl+h; shot bara-tryck
[ "$(count 255 0 0)" -eq 0 ] && [ "$(count 0 0 255)" -eq 0 ] && [ "$(count 0 116 0)" -gt 100 ] && [ "$(count 156 0 158)" -gt 100 ] \
    && pass "Bara Tryck: pressure only" || fail "Bara Tryck picture"
key ctrl+a; shot visa-allt
[ "$(count 255 0 0)" -gt 100 ] && [ "$(count 0 116 0)" -gt 100 ] && pass "Visa Temp o Tryck: both" || fail "Visa Temp o Tryck picture"

# --- cross-hair -------------------------------------------------------------------
diagram "$ART/before.png"
xdotool mousemove $((DX + 120)) $((DY + 60)) mousedown 1
sleep 0.2
xdotool mousemove $((DX + 300)) $((DY + 200))
sleep 0.2
xdotool mousemove $((DX + 301)) $((DY + 201))
sleep 0.4
shot crosshair
XOR=$(count 16 16 222)
[ "$XOR" -gt 100 ] && pass "cross-hair in exclusive-or ($XOR dark blue pixels)" || fail "no exclusive-or cross-hair"
xdotool mouseup 1
sleep 0.4
shot released
diagram "$ART/after.png"
DIFF=$(compare -metric AE "$ART/before.png" "$ART/after.png" null: 2>&1)
[ "$DIFF" = "0" ] && pass "diagram restored pixel for pixel" || fail "$DIFF pixels differ after the release"

# --- data table -------------------------------------------------------------------
xdotool mousemove $((X + 188)) "$MENU_Y" click 1
sleep 0.5
shot table
[ "$(count 224 223 194)" -gt 10000 ] && pass "DataTabell shows the table" || fail "no table after DataTabell"
# Clicks and a drag inside the table are the table's: no cross-hair, and the table stays.
xdotool mousemove $((DX + 500)) $((DY + 100)) click 1
xdotool mousemove $((DX + 520)) $((DY + 150)) click 3
xdotool mousemove $((DX + 450)) $((DY + 60)) mousedown 1 mousemove $((DX + 600)) $((DY + 250)) mouseup 1
sleep 0.4
shot table-clicked
[ "$(count 224 223 194)" -gt 10000 ] && [ "$(count 16 16 222)" -eq 0 ] \
    && pass "clicks in the table stay in the table" || fail "a click in the table reached the diagram"
key Escape; shot table-hidden
[ "$(count 224 223 194)" -eq 0 ] && pass "Esc hides the table" || fail "table still shown after Esc"
diagram "$ART/after-table.png"
DIFF=$(compare -metric AE "$ART/before.png" "$ART/after-table.png" null: 2>&1)
[ "$DIFF" = "0" ] && pass "diagram as before the table" || fail "$DIFF pixels differ after the table's clicks"

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

# --- the logger appends, the window follows -----------------------------------------
today_bar() { # bar pixels (red or blue) in today's pixel column and the next
    local col red blue
    col=$(awk -v d="$TODAY" 'BEGIN { printf "%d", d * 726 / 365 + 0.5 }')
    red=$(convert "$CUR" -crop "2x336+$((DX + col))+$DY" +repage -fill black +opaque "rgb(255,0,0)" -fill white -opaque "rgb(255,0,0)" -format '%[fx:round(mean*w*h)]' info:)
    blue=$(convert "$CUR" -crop "2x336+$((DX + col))+$DY" +repage -fill black +opaque "rgb(0,0,255)" -fill white -opaque "rgb(0,0,255)" -format '%[fx:round(mean*w*h)]' info:)
    echo $((red + blue))
}
if [ "$TODAY" -ge 2 ]; then
    shot before-logger
    [ "$(today_bar)" -eq 0 ] && pass "no bar for today yet" || fail "a bar for today before the logger ran"
    # The logger beside the program, with the same stand-in library and a barometer of files.
    cp "$BUILD/kalvik-logger" "$PROG/"
    mkdir -p "$PROG/iio/iio:device0"
    echo 101.3 > "$PROG/iio/iio:device0/in_pressure_input"
    "$PROG/kalvik-logger" --once --folder "$PROG" --barometer "$PROG/iio/iio:device0" --altitude 0 >/dev/null \
        && pass "kalvik-logger --once appended" || fail "kalvik-logger --once failed"
    # No key: the next reading, at most 30 s away, draws it.
    for ((i = 0; i < 40; i++)); do
        sleep 1
        shot after-logger
        [ "$(today_bar)" -gt 0 ] && break
    done
    [ "$(today_bar)" -gt 0 ] && pass "today's bar appeared without a key press" || fail "no bar for today after the logger ran"
    SUMS=$(cd "$PROG" && sha256sum "T_$YEAR.dat" Arkiv2/T_2004.dat data.dat)
else
    echo "skipped: the logger's bar for today (too early in the year)"
fi

# --- another year -------------------------------------------------------------------
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
last_column() { # bar pixels (red or blue) in the diagram's last pixel column
    local red blue
    red=$(convert "$CUR" -crop "1x336+$((DX + 725))+$DY" +repage -fill black +opaque "rgb(255,0,0)" -fill white -opaque "rgb(255,0,0)" -format '%[fx:round(mean*w*h)]' info:)
    blue=$(convert "$CUR" -crop "1x336+$((DX + 725))+$DY" +repage -fill black +opaque "rgb(0,0,255)" -fill white -opaque "rgb(0,0,255)" -format '%[fx:round(mean*w*h)]' info:)
    echo $((red + blue))
}
shot before-open
diagram "$ART/year-$YEAR.png"
TITLE=$(xdotool getwindowname "$WID")

# A name without a year: one message captioned Kalvik, and nothing changes.
if open_file "$PROG/data.dat"; then
    BOX=$(timeout 10 xdotool search --sync --onlyvisible --name '^Kalvik$' | head -n1)
    [ -n "$BOX" ] && pass "a name without a year is refused with a message" || fail "no message for data.dat"
    [ -n "$BOX" ] && { xdotool windowfocus --sync "$BOX" 2>/dev/null; xdotool key Return; sleep 0.5; }
    [ -z "$(xdotool search --onlyvisible --name '^Kalvik$' 2>/dev/null)" ] || fail "more than one message for data.dat"
    shot refused
    diagram "$ART/refused.png"
    DIFF=$(compare -metric AE "$ART/year-$YEAR.png" "$ART/refused.png" null: 2>&1)
    [ "$DIFF" = "0" ] && pass "the diagram stays after data.dat" || fail "$DIFF pixels changed after data.dat"
fi

if open_file "$PROG/Arkiv2/T_2004.dat"; then
    shot opened
    diagram "$ART/year-2004.png"
    DIFF=$(compare -metric AE "$ART/year-$YEAR.png" "$ART/year-2004.png" null: 2>&1)
    [ "$DIFF" != "0" ] && [ "$(count 255 0 0)" -gt 100 ] && pass "curves switched to 2004" || fail "curves did not switch"
    # 2004 is a leap year: 31 December lies at the right edge, in the last column.
    [ "$(last_column)" -gt 0 ] && pass "31 December 2004 drawn in the last column" || fail "no bar in the last column of 2004"
fi

# --- the end -------------------------------------------------------------------------
key ctrl+q
timeout 10 tail --pid="$PID" -f /dev/null
wait "$PID"
CODE=$?
PID=""
[ "$CODE" -eq 0 ] && pass "Ctrl+Q ends with exit code 0" || fail "exit code $CODE"
[ "$(cd "$PROG" && sha256sum "T_$YEAR.dat" Arkiv2/T_2004.dat data.dat)" = "$SUMS" ] && pass "year files unchanged" || fail "a year file changed"

if [ "$FAILED" -ne 0 ]; then
    echo "Screenshots: $ART"
    exit 1
fi
rm -f "$ART"/[0-9]*.png "$ART/before.png" "$ART/after.png" "$ART/after-table.png" "$ART/refused.png" "$ART"/year-*.png
echo "1 passed, 0 failed"
