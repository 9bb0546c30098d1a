#!/usr/bin/env bash
# kalvik-web end to end: the site made from sample year files, checked by tidy, served by lighttpd
# on 127.0.0.1 with the package's snippet and read by headless Chromium at phone and desktop widths
# (the figures on the pages are tst_web's). Arguments: kalvik-web, kalvik-sample, screenshot folder.
set -u
WEB=${1:?kalvik-web}
SAMPLE=${2:?kalvik-sample}
ART=${3:?artefact folder}
SNIPPET=$(cd "$(dirname "$0")" && pwd)/../../packaging/web/lighttpd-kalvik.conf
WORK=$(mktemp -d)
SERVER=
trap '[ -n "$SERVER" ] && kill "$SERVER"; rm -rf "$WORK"' EXIT
mkdir -p "$ART" "$WORK/data" "$WORK/root"
status=0
fail() { echo "FAIL: $*"; status=1; }

# chrome ARGS...: headless Chromium with a fresh profile (gone with $WORK), nothing but 127.0.0.1.
chrome() {
    timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --hide-scrollbars --user-data-dir="$(mktemp -d -p "$WORK")" "$@" 2>/dev/null
}

# Last year whole and this year up to today, a sample every ten minutes.
YEAR=$(date +%Y)
{ "$SAMPLE" --year $((YEAR - 1)) --interval 10 --out "$WORK/data/T_$((YEAR - 1)).dat" &&
    "$SAMPLE" --year "$YEAR" --interval 10 --until "$(date +%F)" --out "$WORK/data/T_$YEAR.dat"; } >/dev/null ||
    fail "kalvik-sample"
"$WEB" --folder "$WORK/data" --out "$WORK/site" || { echo "FAIL: kalvik-web"; exit 1; }
PAGES=(index.html klimat.html "$YEAR.html" "$((YEAR - 1)).html")

# Valid HTML: tidy names every error and warning, and exits 0 only without any.
for page in "${PAGES[@]}"; do
    tidy -q -e --show-warnings yes "$WORK/site/$page" || fail "tidy finds fault with $page"
done

# lighttpd on a free port with the package's snippet, pointed at the site.
PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
sed "s|/var/lib/kalvik/web/|$WORK/site/|" "$SNIPPET" > "$WORK/kalvik.conf"
cat > "$WORK/lighttpd.conf" <<CONF
server.document-root = "$WORK/root"
server.bind = "127.0.0.1"
server.port = $PORT
server.errorlog = "$WORK/lighttpd-error.log"
index-file.names = ( "index.html" )
mimetype.assign = ( ".html" => "text/html; charset=utf-8", ".png" => "image/png" )
include "$WORK/kalvik.conf"
CONF
lighttpd -D -f "$WORK/lighttpd.conf" &
SERVER=$!
URL="http://127.0.0.1:$PORT/kalvik"
up() { python3 -c "import urllib.request; urllib.request.urlopen('$URL/index.html')" 2>/dev/null; }
for _ in $(seq 50); do up && break; sleep 0.1; done
up || { echo "FAIL: lighttpd did not start"; cat "$WORK/lighttpd-error.log"; exit 1; }

# Served read-only: a write is refused, and so is a killed run's temporary file.
: > "$WORK/site/.kalvik-web-index.html.abc123"
for refused in "PUT index.html" "GET .kalvik-web-index.html.abc123"; do
    # shellcheck disable=SC2086 # the method and the name
    code=$(python3 -c 'import sys, http.client
c = http.client.HTTPConnection("127.0.0.1", int(sys.argv[1]))
c.request(sys.argv[2], "/kalvik/" + sys.argv[3], "x" if sys.argv[2] == "PUT" else None)
print(c.getresponse().status)' "$PORT" $refused)
    [ "$code" = 403 ] || fail "$refused answered $code, not 403"
done
rm "$WORK/site/.kalvik-web-index.html.abc123"

# The browser measures each page in a frame of the phone's or the desktop's width: none may be
# wider. The probe is the test's, beside the site; the pages themselves carry no script.
for width in 390 1280; do
    {
        echo '<!DOCTYPE html><html><body style="margin:0">'
        for page in "${PAGES[@]}"; do
            echo "<iframe src=\"kalvik/$page\" style=\"width:${width}px;height:844px;border:0\"></iframe>"
        done
        cat <<'HTML'
<script>
onload = () => document.body.setAttribute('data-widths', [...document.querySelectorAll('iframe')]
  .map(f => [f.getAttribute('src').slice(7), f.contentDocument.documentElement.scrollWidth,
             f.contentDocument.documentElement.clientWidth].join(' ')).join(';'));
</script></body></html>
HTML
    } > "$WORK/root/probe.html"
    widths=$(chrome --virtual-time-budget=10000 --window-size=1400,900 --dump-dom "${URL%/kalvik}/probe.html" |
        sed -n 's/.*data-widths="\([^"]*\)".*/\1/p')
    [ -n "$widths" ] || fail "no measure at $width px"
    while read -r page scroll client; do
        [ -z "$page" ] && continue
        [ "$scroll" -le "$client" ] || fail "$page at $width px scrolls sideways: $scroll px wide in $client px"
        echo "$page at $width px: $scroll px wide in $client px"
    done <<< "${widths//;/$'\n'}"
done

# Kept as artefacts: the phone page, light and dark, and the desktop's year and climate pages.
while read -r shot size page flags; do
    # shellcheck disable=SC2086 # flags: none or several
    chrome --window-size="$size" $flags --screenshot="$ART/$shot.png" "$URL/$page" >/dev/null
    [ -s "$ART/$shot.png" ] || fail "no screenshot $shot"
done <<SHOTS
phone-index 390,844 index.html
phone-index-dark 390,844 index.html --force-dark-mode
desktop-year 1280,900 $YEAR.html
desktop-klimat 1280,900 klimat.html
SHOTS
[ $status -eq 0 ] && echo "PASS: kalvik-web end to end"
exit $status
