#!/usr/bin/env bash
# Makes the Debian package selvane_VERSION_ARCH.deb from this checkout:
#
#   ./scripts/package.sh [OUTDIR]
#
# Builds in its own folder (SELVANE_PACKAGE_BUILD_DIR, default build-package/)
# with Debian's hardening flags and without tests or benchmarks, runs
# "cpack -G DEB" there, and copies the package to OUTDIR when one is given.
# The last line printed is the package's path.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PKGBUILD="${SELVANE_PACKAGE_BUILD_DIR:-$ROOT/build-package}"
SELVANE_BUILD_DIR="$PKGBUILD" source "$ROOT/scripts/common.sh"
install_missing "${PACKAGING_PACKAGES[@]}"

# Dates in the package (change log, metadata) are those of the last commit.
if [[ -z "${SOURCE_DATE_EPOCH:-}" ]]; then
    SOURCE_DATE_EPOCH="$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null || date +%s)"
fi
export SOURCE_DATE_EPOCH
export DEB_BUILD_MAINT_OPTIONS="hardening=+all"

cmake -S "$ROOT" -B "$PKGBUILD" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_INSTALL_PREFIX=/usr \
    -DSELVANE_BUILD_TESTS=OFF -DSELVANE_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build "$PKGBUILD" -j "$(nproc)"

rm -f "$PKGBUILD"/selvane_*.deb
(cd "$PKGBUILD" && cpack -G DEB)
debs=("$PKGBUILD"/selvane_*.deb)
if [[ ${#debs[@]} -ne 1 || ! -f "${debs[0]}" ]]; then
    echo "package.sh: cpack made no selvane_*.deb in $PKGBUILD" >&2
    exit 1
fi
deb="${debs[0]}"
if (($#)); then
    mkdir -p "$1"
    cp "$deb" "$1/"
    deb="$(cd "$1" && pwd)/$(basename "$deb")"
fi
echo "$deb"
