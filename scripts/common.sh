# Shared by run.sh and test.sh: install what is missing, configure and build.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${SELVANE_BUILD_DIR:-$ROOT/build}"

# Qt Charts draws the telemetry plots (it needs the OpenGL development files
# to configure); the Qt tools build the translations (lupdate, lrelease);
# qt6-httpserver-dev needs qt6-websockets-dev to be found by CMake, but Debian
# 12 does not make it depend on it; KISS TNCs on a serial line use Qt's
# serial port.
PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-svg-dev qt6-charts-dev libqt6opengl6-dev
          qt6-tools-dev qt6-l10n-tools qt6-httpserver-dev qt6-websockets-dev qt6-serialport-dev
          libgtest-dev libgmock-dev libbenchmark-dev)
# What making and checking the Debian package needs besides (scripts/package.sh,
# scripts/package-check.sh).
PACKAGING_PACKAGES=(dpkg-dev file lintian desktop-file-utils appstream systemd man-db groff-base adduser procps)

# How long to wait for another program that holds the package database
# (unattended-upgrades, an apt-get in another terminal) before giving up.
APT_LOCK_WAIT_SECONDS="${SELVANE_APT_LOCK_WAIT:-600}"
# The locks of apt and dpkg: while another process holds one, apt-get fails
# at once ("Could not get lock").
APT_LOCKS=(/var/lib/dpkg/lock-frontend /var/lib/dpkg/lock /var/lib/apt/lists/lock /var/cache/apt/archives/lock)

# package_state NAME: "installed"; "unfinished" when dpkg unpacked the package
# but did not finish configuring it (an interrupted upgrade, a maintainer
# script that failed: unpacked, half-configured, triggers pending), so its
# files are in place; "missing" otherwise (not installed, only configuration
# files left, or half-installed, whose files may be incomplete).
package_state() {
    local flag state found=missing
    while read -r _ flag state; do
        [[ "$flag" == reinstreq ]] && continue
        case "$state" in
        installed) found=installed; break ;;
        unpacked | half-configured | triggers-awaited | triggers-pending) found=unfinished ;;
        esac
    done < <(dpkg-query -W -f='${Status}\n' "$1" 2>/dev/null)
    echo "$found"
}

# apt_lock_holder: "PID (NAME)" of a process holding one of APT_LOCKS, or
# nothing. /proc/locks names each locked file as MAJOR:MINOR:INODE (hex, hex,
# decimal); lines with "->" are processes waiting for a lock, not holding it.
apt_lock_holder() {
    local lock major minor inode pid
    for lock in "${APT_LOCKS[@]}"; do
        read -r major minor inode < <(stat -c '%Hd %Ld %i' "$lock" 2>/dev/null) || continue
        pid=$(awk -v id="$(printf '%02x:%02x:%s' "$major" "$minor" "$inode")" \
            '$2 != "->" && $6 == id { print $5; exit }' /proc/locks 2>/dev/null)
        if [[ -n "$pid" ]]; then
            echo "$pid ($(cat "/proc/$pid/comm" 2>/dev/null || echo unknown))"
            return
        fi
    done
}

# wait_for_apt_locks: returns once no process holds the package database;
# says whom it waits for; ends the script after APT_LOCK_WAIT_SECONDS.
wait_for_apt_locks() {
    local holder said="" deadline=$((SECONDS + APT_LOCK_WAIT_SECONDS))
    while holder=$(apt_lock_holder) && [[ -n "$holder" ]]; do
        if ((SECONDS >= deadline)); then
            echo "The package database is still in use by process $holder after ${APT_LOCK_WAIT_SECONDS} s." >&2
            echo "Run $0 again once it has finished." >&2
            exit 1
        fi
        if [[ "$holder" != "$said" ]]; then
            echo "Waiting for process $holder to finish with the package database (up to $((deadline - SECONDS)) s; unattended-upgrades can take several minutes)..."
            said="$holder"
        fi
        sleep 2
    done
}

# dpkg keeps a journal of what it was doing in DPKG_UPDATES; files named by
# digits there mean it was interrupted (a power cut, a killed apt-get), and
# apt-get then refuses to install anything until "dpkg --configure -a" has
# finished the work.
DPKG_UPDATES="${SELVANE_DPKG_UPDATES:-/var/lib/dpkg/updates}"

# finish_interrupted_dpkg [sudo]: runs "dpkg --configure -a" when dpkg was
# interrupted, and says so; ends the script when that fails.
finish_interrupted_dpkg() {
    local journal
    journal=$(find "$DPKG_UPDATES" -maxdepth 1 -type f -regex '.*/[0-9]+' 2>/dev/null | head -n 1)
    [[ -n "$journal" ]] || return 0
    echo "dpkg was interrupted earlier: finishing its work first (dpkg --configure -a)."
    wait_for_apt_locks
    if ! DEBIAN_FRONTEND=noninteractive "$@" dpkg --configure -a; then
        echo "dpkg --configure -a failed. As root, run it and see what it reports, then run $0 again." >&2
        exit 1
    fi
}

# install_line PACKAGE...: the command a root shell runs to install them.
install_line() {
    echo "apt-get update && apt-get install -y --no-install-recommends $*"
}

# install_missing [PACKAGE...]: installs those of PACKAGES and the packages
# named that are missing, through sudo when not run as root. Without root or
# sudo, or when installing fails, prints the command to run as root and ends
# the script.
install_missing() {
    local p missing=() unfinished=()
    for p in "${PACKAGES[@]}" "$@"; do
        case "$(package_state "$p")" in
        installed) ;;
        unfinished) unfinished+=("$p") ;;
        *) missing+=("$p") ;;
        esac
    done
    if ((${#unfinished[@]})); then
        # Installing them again would only run the step that failed, and a
        # build needs nothing but their files.
        echo "Not fully configured, used as they are: ${unfinished[*]} (\"dpkg --configure -a\" as root finishes them)." >&2
    fi
    ((${#missing[@]})) || return 0

    local sudo=()
    if [[ $(id -u) -ne 0 ]]; then
        if ! command -v sudo >/dev/null 2>&1; then
            echo "These packages are missing: ${missing[*]}" >&2
            echo "Installing them needs root, and sudo is not available. As root, run:" >&2
            echo "" >&2
            echo "    $(install_line "${missing[@]}")" >&2
            echo "" >&2
            echo "then run $0 again." >&2
            exit 1
        fi
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    finish_interrupted_dpkg "${sudo[@]}"
    # apt-get waits for the dpkg lock by itself with DPkg::Lock::Timeout, but
    # "apt-get update" does not wait for the lock of the package lists.
    wait_for_apt_locks
    "${sudo[@]}" apt-get update ||
        echo "apt-get update failed; trying with the package lists as they are." >&2
    wait_for_apt_locks
    if ! DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get -o DPkg::Lock::Timeout="$APT_LOCK_WAIT_SECONDS" \
        install -y --no-install-recommends "${missing[@]}"; then
        echo "Installing failed. As root, run:" >&2
        echo "" >&2
        echo "    $(install_line "${missing[@]}")" >&2
        echo "" >&2
        echo "then run $0 again." >&2
        exit 1
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
