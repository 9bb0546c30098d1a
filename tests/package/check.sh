#!/usr/bin/env bash
# Checks a built kalvik .deb: its files (tests/package/files.txt, every program
# built beside kalvik among them), its menu entry and AppStream metadata
# (desktop-file-validate, appstreamcli), lintian without errors or warnings,
# dependencies from the linked libraries, and no special bits on any file.
# Usage: check.sh PACKAGE.deb BUILD_DIR
set -uo pipefail

DEB=${1:?package}
BUILD=${2:?build folder}
HERE=$(cd "$(dirname "$0")" && pwd)
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
FAILED=0
fail() { echo "FAIL: $*"; FAILED=1; }
pass() { echo "ok: $*"; }

# Files and links, not folders; "path -> target" for a link.
dpkg-deb -c "$DEB" | awk '$1 !~ /^d/ { $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' |
    sort >"$TMP/files"
if diff -u <(sort "$HERE/files.txt") "$TMP/files"; then pass "file list"; else fail "file list"; fi

# Every program the build puts beside kalvik is in the package.
for program in "$BUILD"/kalvik* "$BUILD"/smt160-* "$BUILD"/libSMT160.so; do
    [ -f "$program" ] && { [ -x "$program" ] || [[ $program == *.so ]]; } || continue
    grep -qx "./opt/kalvik/$(basename "$program")" "$TMP/files" ||
        fail "$(basename "$program") is built but not packaged"
done

if dpkg-deb -c "$DEB" | awk '$1 ~ /[sS]/' | grep -q .; then
    fail "a file with setuid or setgid"
else
    pass "no setuid or setgid file"
fi

depends=$(dpkg-deb -f "$DEB" Depends)
[[ $depends == *libqt6widgets6* && $depends == *libc6* && $depends == *libmosquitto1* ]] && pass "Depends: $depends" ||
    fail "Depends from the linked libraries: $depends"

dpkg-deb -x "$DEB" "$TMP/root"
desktop-file-validate "$TMP/root/usr/share/applications/se.kalvik.kalvik.desktop" &&
    pass "desktop-file-validate" || fail "desktop-file-validate"
appstreamcli validate --no-net "$TMP/root/usr/share/metainfo/se.kalvik.kalvik.metainfo.xml" &&
    pass "appstreamcli validate" || fail "appstreamcli validate"
grep -qx 'StartupWMClass=Kalvik' "$TMP/root/usr/share/applications/se.kalvik.kalvik.desktop" &&
    pass "StartupWMClass" || fail "StartupWMClass"

# Running as root, lintian says so first; that is not about the package.
lintian --fail-on error,warning --allow-root "$DEB" && pass "lintian: no errors or warnings" ||
    fail "lintian"

exit "$FAILED"
