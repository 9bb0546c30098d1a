# Shared by scripts/run and scripts/test: install what is missing, then build.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
JOBS=$(nproc 2>/dev/null || echo 2)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# install_missing PACKAGE...: apt-get only what dpkg does not already have.
install_missing() {
    local missing=()
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    as_root apt-get -o DPkg::Lock::Timeout=600 update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
}

BUILD_PACKAGES=(cmake make g++ pkg-config qt6-base-dev qt6-translations-l10n libgl-dev libbenchmark-dev libmosquitto-dev fonts-liberation fonts-dejavu-core qt6-svg-dev)
# cpack's DEB generator takes the dependencies from dpkg-shlibdeps (dpkg-dev)
# and strips with binutils.
PACKAGE_PACKAGES=(dpkg-dev binutils file)

# build DIR [cmake options...]
build() {
    local dir=$1
    shift
    cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j"$JOBS"
}

# build_targets DIR TARGET...: only those targets (and what they need), in
# the same configuration as build, so that a later full build reuses them.
build_targets() {
    local dir=$1
    shift
    cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$dir" -j"$JOBS" --target "$@"
}
