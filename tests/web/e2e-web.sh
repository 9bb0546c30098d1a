#!/usr/bin/env bash
# kalvik-web end to end: the site made from year files, checked by tidy,
# served by lighttpd on 127.0.0.1 and read by headless Chromium at phone and
# desktop widths. Arguments: kalvik-web, the folder for screenshots.
set -u
WEB=${1:?kalvik-web}
ART=${2:?artefact folder}
HERE=$(cd "$(dirname "$0")" && pwd)
SNIPPET=$HERE/../../packaging/web/lighttpd-kalvik.conf
WORK=$(mktemp -d)
SERVER=
trap '[ -n "$SERVER" ] && kill "$SERVER"; rm -rf "$WORK"' EXIT
# shellcheck source=serve.sh
source "$HERE/serve.sh"
mkdir -p "$ART" "$WORK/data"
status=0
fail() { echo "FAIL: $*"; status=1; }

python3 "$HERE/figures.py" write "$WORK/data"
"$WEB" --folder "$WORK/data" --out "$WORK/site" || { echo "FAIL: kalvik-web"; exit 1; }
YEAR=$(date +%Y)
PAGES=(index.html klimat.html "$YEAR.html" "$((YEAR - 1)).html")

# Valid HTML: tidy names every error and warning, and exits 0 only without any.
for page in "${PAGES[@]}"; do
    tidy -q -e --show-warnings yes "$WORK/site/$page" || fail "tidy finds fault with $page"
done

serve_site "$WORK/site" "$WORK" || exit 1
# Served read-only: a write is refused, and so is a killed run's temporary file.
: > "$WORK/site/.kalvik-web-index.html.abc123"
for refused in "PUT index.html" "GET .kalvik-web-index.html.abc123"; do
    code=$(python3 - "$URL" $refused <<'PY'
import sys, urllib.request, urllib.error
url, method, name = sys.argv[1:4]
try:
    print(urllib.request.urlopen(urllib.request.Request(f"{url}/{name}", method=method, data=b"x" if method == "PUT" else None)).status)
except urllib.error.HTTPError as e:
    print(e.code)
PY
)
    [ "$code" = 403 ] || fail "$refused answered $code, not 403"
done
rm "$WORK/site/.kalvik-web-index.html.abc123"

# The browser's own measure of each page's width inside a frame of the
# phone's or the desktop's width: no page may be wider than its frame. The
# probe is the test's, beside the site; the pages themselves carry no script.
for width in 390 1280; do
    {
        echo '<!DOCTYPE html><html><body style="margin:0">'
        for page in "${PAGES[@]}"; do
            echo "<iframe src=\"kalvik/$page\" style=\"width:${width}px;height:844px;border:0\"></iframe>"
        done
        cat <<'HTML'
<script>
window.onload = function () {
  var out = [];
  document.querySelectorAll('iframe').forEach(function (f) {
    var d = f.contentDocument.documentElement;
    out.push(f.getAttribute('src').slice(7) + ' ' + d.scrollWidth + ' ' + d.clientWidth);
  });
  document.body.setAttribute('data-widths', out.join(';'));
};
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

# The figures the browser shows are those of the year files.
chrome --dump-dom "$URL/index.html" > "$WORK/index.dom"
python3 "$HERE/figures.py" check "$WORK/data" "$WORK/index.dom" index || status=1
chrome --dump-dom "$URL/$YEAR.html" > "$WORK/year.dom"
python3 "$HERE/figures.py" check "$WORK/data" "$WORK/year.dom" year || status=1

# Kept as artefacts: the phone page, light and dark, and the desktop's year page.
chrome --window-size=390,844 --screenshot="$ART/phone-index.png" "$URL/index.html" >/dev/null
chrome --window-size=390,844 --force-dark-mode --screenshot="$ART/phone-index-dark.png" "$URL/index.html" >/dev/null
chrome --window-size=1280,900 --screenshot="$ART/desktop-year.png" "$URL/$YEAR.html" >/dev/null
chrome --window-size=1280,900 --screenshot="$ART/desktop-klimat.png" "$URL/klimat.html" >/dev/null
for shot in phone-index phone-index-dark desktop-year desktop-klimat; do
    [ -s "$ART/$shot.png" ] || fail "no screenshot $shot"
done
[ $status -eq 0 ] && echo "PASS: kalvik-web end to end"
exit $status
