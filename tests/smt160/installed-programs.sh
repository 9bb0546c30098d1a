#!/bin/sh
# Installs into a scratch prefix and checks what the installed programs may do:
# no program that links Qt carries a capability or the setuid/setgid bit, and
# the raw-port helper, the one program that may be given CAP_SYS_RAWIO, is
# statically linked, without Qt.
# Usage: installed-programs.sh BUILD_DIR static|dynamic
set -eu
build=$1
linkage=$2
prefix=$(mktemp -d "${TMPDIR:-/tmp}/kalvik-install.XXXXXX")
trap 'rm -rf "$prefix"' EXIT INT TERM
cmake --install "$build" --prefix "$prefix" >/dev/null
dir=$prefix/kalvik
status=0
fail() {
    echo "FEL: $*"
    status=1
}

readelf -d "$dir/kalvik" | grep -q 'NEEDED.*libQt6Core' || fail "kalvik saknas eller länkar inte Qt"
for f in "$dir"/* "$prefix"/bin/*; do
    [ -f "$f" ] || continue
    caps=$(getcap "$f")
    if readelf -d "$f" 2>/dev/null | grep -q 'NEEDED.*libQt6'; then
        [ -z "$caps" ] || fail "$f länkar Qt och bär $caps"
        if [ -u "$f" ] || [ -g "$f" ]; then fail "$f länkar Qt och har setuid/setgid"; fi
    fi
done

helper=$dir/smt160-rawport
[ -x "$helper" ] || fail "smt160-rawport saknas"
if [ -x "$helper" ] && [ "$linkage" = static ]; then
    if readelf -lW "$helper" | grep -q 'Requesting program interpreter'; then
        fail "smt160-rawport är dynamiskt länkad"
    fi
fi
if [ -x "$helper" ] && strings "$helper" | grep -q libQt6; then
    fail "smt160-rawport länkar Qt"
fi
[ "$status" -eq 0 ] && echo "inga behörigheter på program som länkar Qt; smt160-rawport är fristående"
exit "$status"
