# Shared by run.sh and test.sh: install what is missing, configure and build.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${SELVANE_BUILD_DIR:-$ROOT/build}"

PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-svg-dev libgtest-dev libgmock-dev libbenchmark-dev)
# What making and checking the Debian package needs besides (scripts/package.sh,
# scripts/package-check.sh).
PACKAGING_PACKAGES=(dpkg-dev file lintian desktop-file-utils appstream systemd man-db groff-base adduser procps)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if ((${#missing[@]})); then
        local sudo=""
        [[ $(id -u) -eq 0 ]] || sudo="sudo"
        echo "Installing: ${missing[*]}"
        $sudo apt-get update
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}

# build_selvane [TARGET...]: everything, or only the targets named.
build_selvane() {
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    if (($#)); then
        cmake --build "$BUILD" -j "$(nproc)" --target "$@"
    else
        cmake --build "$BUILD" -j "$(nproc)"
    fi
}
