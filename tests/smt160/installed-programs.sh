#!/bin/sh
# Installs into a scratch root and checks what the installed programs may do:
# no program that links Qt carries a capability or the setuid/setgid bit, and
# the raw-port helper, the one program that may be given CAP_SYS_RAWIO, is
# statically linked, without Qt.
# Usage: installed-programs.sh BUILD_DIR static|dynamic PROGRAM_DIR BIN_DIR
# (the program folder and the launcher's folder as installed, absolute).
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
    [ -f "$f" ] || continue
    caps=$(getcap "$f")
    if readelf -d "$f" 2>/dev/null | grep -q 'NEEDED.*libQt6'; then
        [ -z "$caps" ] || fail "$f länkar Qt och bär $caps"
        if [ -u "$f" ] || [ -g "$f" ]; then fail "$f länkar Qt och har setuid/setgid"; fi
    fi
done

helper=$dir/smt160-rawport
[ -x "$helper" ] || fail "smt160-rawport saknas"
if [ "$linkage" = static ] && readelf -lW "$helper" 2>/dev/null | grep -q 'Requesting program interpreter'; then
    fail "smt160-rawport är dynamiskt länkad"
fi
if strings "$helper" 2>/dev/null | grep -q libQt6; then fail "smt160-rawport länkar Qt"; fi
[ "$status" -eq 0 ] && echo "inga behörigheter på program som länkar Qt; smt160-rawport är fristående"
exit "$status"
