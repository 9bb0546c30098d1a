#!/usr/bin/env bash
# Checks a built kalvik .deb: files (files.txt, with every program built beside kalvik), menu
# entry and AppStream metadata, lintian clean, Depends from the linked libraries, no special
# bits, who may change what after postinst, and the upgrade from 1.0.
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

dpkg-deb -c "$DEB" >"$TMP/contents"
# Files and links, not folders; "path -> target" for a link.
awk '$1 !~ /^d/ { $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' "$TMP/contents" | sort >"$TMP/files"
diff -u <(sort "$HERE/files.txt") "$TMP/files" && pass "file list" || fail "file list"

# Every program the build puts beside kalvik is in the package.
for program in "$BUILD"/kalvik* "$BUILD"/smt160-* "$BUILD"/libSMT160.so; do
    [ -f "$program" ] && { [ -x "$program" ] || [[ $program == *.so ]]; } || continue
    grep -qx "./opt/kalvik/$(basename "$program")" "$TMP/files" ||
        fail "$(basename "$program") is built but not packaged"
done

awk '$1 ~ /[sS]/' "$TMP/contents" | grep . && fail "a file with setuid or setgid" || pass "no setuid or setgid file"

depends=$(dpkg-deb -f "$DEB" Depends)
[[ $depends == *libqt6widgets6* && $depends == *libc6* && $depends == *libmosquitto1* ]] && pass "Depends: $depends" ||
    fail "Depends from the linked libraries: $depends"

dpkg-deb -x "$DEB" "$TMP/root"
desktop="$TMP/root/usr/share/applications/se.kalvik.kalvik.desktop"
desktop-file-validate "$desktop" && grep -qx 'StartupWMClass=Kalvik' "$desktop" &&
    pass "desktop-file-validate, StartupWMClass" || fail "the desktop file"
appstreamcli validate --no-net "$TMP/root/usr/share/metainfo/se.kalvik.kalvik.metainfo.xml" &&
    pass "appstreamcli validate" || fail "appstreamcli validate"

# Every file and folder root's and writable by nobody else, unless postinst's owners and
# modes (dpkg statoverrides, taken from running it with stand-ins) say otherwise.
awk '$1 !~ /^l/ && ($2 != "root/root" || $1 ~ /^.....w|^........w/) { print $6 ": " $1 " " $2 }' \
    "$TMP/contents" | grep . && fail "in the package, not root's alone" ||
    pass "every packaged file and folder is root's, writable by root alone"
grep -q ' \./var/lib/kalvik/$' "$TMP/contents" && pass "the data folder is packaged" ||
    fail "no ./var/lib/kalvik/ in the package"
[ "$(grep -ls /var/lib/kalvik "$TMP/root/opt/kalvik/kalvik" "$TMP/root/opt/kalvik/kalvik-logger" | wc -l)" = 2 ] &&
    pass "kalvik and kalvik-logger look for the year files in /var/lib/kalvik" ||
    fail "kalvik or kalvik-logger does not know /var/lib/kalvik"

unit="$TMP/root/lib/systemd/system/kalvik-logger.service"
grep -qx 'ReadWritePaths=/var/lib/kalvik' "$unit" &&
    systemd-analyze security --offline=true --threshold=20 "$unit" >/dev/null 2>&1 &&
    pass "the logger's unit writes only /var/lib/kalvik and scores at most 2.0" ||
    fail "the logger's unit: $(systemd-analyze security --offline=true "$unit" 2>&1 | tail -n1)"

dpkg-deb -e "$DEB" "$TMP/control"
mkdir "$TMP/bin"
for tool in getent useradd systemctl deb-systemd-invoke; do
    printf '#!/bin/sh\nexit 0\n' >"$TMP/bin/$tool"
done
printf '#!/bin/sh\n[ "$1" = --list ] && exit 1\necho "$*" >>"%s"\n' "$TMP/overrides" \
    >"$TMP/bin/dpkg-statoverride"
chmod +x "$TMP/bin"/*
PATH="$TMP/bin:$PATH" sh "$TMP/control/postinst" configure "" >/dev/null ||
    fail "postinst configure"
printf '%s\n' "--update --add kalvik kalvik 0755 /var/lib/kalvik" \
    "--update --add root kalvik 0750 /opt/kalvik/smt160-rawport" >"$TMP/expected"
diff -u "$TMP/expected" "$TMP/overrides" &&
    pass "postinst: data folder kalvik:kalvik 0755, smt160-rawport root:kalvik 0750" ||
    fail "postinst's owners and modes"

# postinst's from_1_0 on a copy of 1.0's folder: root:GROUP 3775, year files of members and logger.
if [ "$(id -u)" = 0 ]; then
    old="$TMP/1.0/opt/kalvik" data="$TMP/1.0/var/lib/kalvik"
    mkdir -p "$old/T_2028.dat" "$old/haswell" "$data"
    chown root:users "$old" && chmod 3775 "$old"
    for year in 2025 2026 2029; do echo "$year" >"$old/T_$year.dat"; done
    echo program >"$old/kalvik"
    echo secret >"$TMP/secret" && chmod 0600 "$TMP/secret"
    ln -s "$TMP/secret" "$old/T_2027.dat"
    ln "$old/T_2029.dat" "$old/elsewhere"
    echo taken >"$data/T_2026.dat"
    chown nobody:users "$old/T_2025.dat" "$old/T_2026.dat" "$old/haswell"
    chmod 0664 "$old/T_2025.dat"
    sed -n '/^from_1_0() {$/,/^}$/p' "$TMP/control/postinst" >"$TMP/from_1_0"
    sh -c '. "$1"; from_1_0 "$2" "$3" daemon:daemon' - "$TMP/from_1_0" "$old" "$data" \
        >/dev/null 2>"$TMP/said"
    (cd "$TMP/1.0" && find opt/kalvik var/lib/kalvik -printf '%p %u:%g %m\n') | sort >"$TMP/after"
    sort >"$TMP/wanted" <<EOT
opt/kalvik root:root 755
opt/kalvik/T_2026.dat nobody:users 644
opt/kalvik/T_2027.dat root:users 777
opt/kalvik/T_2028.dat root:root 755
opt/kalvik/T_2029.dat root:users 644
opt/kalvik/elsewhere root:users 644
opt/kalvik/haswell nobody:users 755
opt/kalvik/kalvik root:users 644
var/lib/kalvik root:root 755
var/lib/kalvik/T_2025.dat daemon:daemon 644
var/lib/kalvik/T_2026.dat root:root 644
EOT
    diff -u "$TMP/wanted" "$TMP/after" && [ "$(cat "$data/T_2025.dat" "$data/T_2026.dat")" = "2025
taken" ] && [ "$(stat -c %U:%a "$TMP/secret")" = root:600 ] &&
        pass "from 1.0: /opt/kalvik root's 0755, plain year files moved, none lost or followed" ||
        fail "from 1.0: $(cat "$TMP/said")"
    grep -q "T_2026.dat finns redan" "$TMP/said" && grep -q "haswell tillhör nobody" "$TMP/said" &&
        pass "from 1.0: a taken name and a foreign folder are told" ||
        fail "from 1.0 says: $(cat "$TMP/said")"
else
    echo "skipped: the upgrade from 1.0 (needs root for its owners)"
fi

# Running as root, lintian says so first; that is not about the package.
lintian --fail-on error,warning --allow-root "$DEB" && pass "lintian: no errors or warnings" ||
    fail "lintian"

exit "$FAILED"
