#!/bin/sh
# Installs into a scratch root and checks that no program linking Qt has a capability or the
# setuid/setgid bit, and the raw-port helper (the one that may get CAP_SYS_RAWIO) is static, no Qt.
# Usage: installed-programs.sh BUILD_DIR static|dynamic PROGRAM_DIR BIN_DIR (as installed, absolute)
set -eu
build=$1
linkage=$2
# A staging root: the program folder and the service files lie outside the prefix.
root=$(mktemp -d "${TMPDIR:-/tmp}/kalvik-install.XXXXXX")
trap 'rm -rf "$root"' EXIT INT TERM
DESTDIR=$root cmake --install "$build" >/dev/null
dir=$root$3
prefix_bin=$root$4
status=0
fail() { echo "FEL: $*"; status=1; }

readelf -d "$dir/kalvik" | grep -q 'NEEDED.*libQt6Core' || fail "kalvik saknas eller länkar inte Qt"
for f in "$dir"/* "$prefix_bin"/*; do
    [ -f "$f" ] && readelf -d "$f" 2>/dev/null | grep -q 'NEEDED.*libQt6' || continue
    caps=$(getcap "$f")
    [ -z "$caps" ] && [ ! -u "$f" ] && [ ! -g "$f" ] || fail "$f länkar Qt och bär $caps eller setuid/setgid"
done

helper=$dir/smt160-rawport
[ -x "$helper" ] || fail "smt160-rawport saknas"
[ "$linkage" = dynamic ] || ! readelf -lW "$helper" 2>/dev/null | grep -q 'Requesting program interpreter' ||
    fail "smt160-rawport är dynamiskt länkad"
! strings "$helper" 2>/dev/null | grep -q libQt6 || fail "smt160-rawport länkar Qt"
[ "$status" -eq 0 ] && echo "inga behörigheter på program som länkar Qt; smt160-rawport är fristående"
exit "$status"
