#!/usr/bin/env bash
# install_missing of scripts/common.sh against stand-ins for dpkg-query,
# apt-get, sudo and id: which packages it installs and how, when it waits
# for the package database, and when it stops with the command to run.
set -euo pipefail
COMMON="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/common.sh"
WORK="$(mktemp -d)"
holder=""
trap 'if [[ -n "$holder" ]]; then kill "$holder" 2>/dev/null || true; fi; rm -rf "$WORK"' EXIT

# Real tools the script needs; everything else is a stand-in below, and
# sudo exists only where a case puts it.
mkdir -p "$WORK/bin"
for tool in awk cat dirname find head rm sleep stat; do
    ln -s "$(command -v "$tool")" "$WORK/bin/$tool"
done
# dpkg-query -W -f=... NAME: the status lines of NAME in $WORK/status.
cat >"$WORK/bin/dpkg-query" <<'STUB'
#!/bin/bash
found=$(awk -F'|' -v name="${@: -1}" '$1 == name { print $2 }' "$WORK/status")
[[ -n "$found" ]] || exit 1
echo "$found"
STUB
# apt-get records its arguments and whether the test's lock was free;
# STUB_APT_FAIL=install makes the installing fail.
cat >"$WORK/bin/apt-get" <<'STUB'
#!/bin/bash
lock=free
"$FLOCK" -n "$WORK/lock" "$TRUE" || lock=held
echo "apt-get $* ($lock)" >>"$WORK/calls"
[[ "${STUB_APT_FAIL:-}" != install || "$*" != *install* ]]
STUB
# dpkg --configure -a records its call and finishes the interrupted work.
cat >"$WORK/bin/dpkg" <<'STUB'
#!/bin/bash
echo "dpkg $*" >>"$WORK/calls"
rm -f "$WORK/updates/"*
STUB
mkdir -p "$WORK/updates"
cat >"$WORK/bin/id" <<'STUB'
#!/bin/bash
echo "$STUB_UID"
STUB
cat >"$WORK/sudo" <<'STUB'
#!/bin/bash
printf 'sudo ' >>"$WORK/calls"
"$@"
STUB
chmod +x "$WORK/bin/"* "$WORK/sudo"
FLOCK="$(type -P flock)"
TRUE="$(type -P true)"
export WORK FLOCK TRUE

failures=0
# check NAME UID SUDO WAIT STATUS EXIT CALLS [STDERR]: runs install_missing c
# with PACKAGES=(a b), the package states in STATUS ("name|status" lines),
# the lock wait WAIT in seconds and sudo available or not; expects the exit
# status EXIT, exactly the apt-get calls CALLS and, if given, STDERR in its
# error output.
check() {
    local name="$1" uid="$2" sudo="$3" wait="$4" status="$5" want_exit="$6" want_calls="$7" want_err="${8:-}"
    printf '%s\n' "$status" | tr ';' '\n' >"$WORK/status"
    : >"$WORK/calls"
    rm -f "$WORK/bin/sudo"
    [[ "$sudo" == no ]] || ln -s "$WORK/sudo" "$WORK/bin/sudo"
    local got_exit=0
    # shellcheck disable=SC1090,SC2034  # the variables set are read by install_missing
    (
        export PATH="$WORK/bin" STUB_UID="$uid"
        source "$COMMON"
        PACKAGES=(a b)
        APT_LOCKS=("$WORK/lock")
        DPKG_UPDATES="$WORK/updates"
        APT_LOCK_WAIT_SECONDS="$wait"
        install_missing c
    ) >"$WORK/out" 2>"$WORK/err" || got_exit=$?
    local got_calls
    got_calls="$(cat "$WORK/calls")"
    if [[ "$got_exit" != "$want_exit" || "$got_calls" != "$want_calls" ]] ||
        { [[ -n "$want_err" ]] && ! grep -qF -- "$want_err" "$WORK/err"; }; then
        echo "FAILED: $name: exit $got_exit (expected $want_exit)"
        echo "  calls:    ${got_calls//$'\n'/ / }"
        echo "  expected: ${want_calls//$'\n'/ / }"
        sed 's/^/  stdout: /' "$WORK/out"
        sed 's/^/  stderr: /' "$WORK/err"
        failures=$((failures + 1))
    else
        echo "ok: $name"
    fi
}

ok="install ok installed"
install="apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends"
install30="apt-get -o DPkg::Lock::Timeout=30 install -y --no-install-recommends"

check "all installed" 1000 no 600 "a|$ok;b|$ok;c|$ok" 0 ""
check "unpacked, half-configured or awaiting triggers count as installed" 1000 no 600 \
    "a|install ok half-configured;b|install ok unpacked;c|install ok triggers-pending" 0 ""
check "removed, configuration files only, half-installed: installed again" 0 no 600 \
    "a|deinstall ok installed;b|deinstall ok config-files;c|install reinstreq half-installed" 0 \
    "apt-get update (free)
$install b c (free)"
check "missing as root" 0 no 600 "a|$ok;b|$ok" 0 "apt-get update (free)
$install c (free)"
check "missing, through sudo" 1000 yes 600 "a|$ok" 0 "sudo apt-get update (free)
sudo $install b c (free)"
check "missing, neither root nor sudo: the command to run" 1000 no 600 "a|$ok;b|$ok" 1 "" \
    "apt-get update && apt-get install -y --no-install-recommends c"
# An interrupted dpkg makes apt-get refuse to install: it is finished first,
# with sudo when that is how the packages are installed; a journal file not
# named by digits is not an interruption.
touch "$WORK/updates/0003"
check "dpkg interrupted: finished first" 1000 yes 600 "a|$ok" 0 "sudo dpkg --configure -a
sudo apt-get update (free)
sudo $install b c (free)"
touch "$WORK/updates/tmp.i"
check "dpkg's scratch file alone" 0 no 600 "a|$ok;b|$ok" 0 "apt-get update (free)
$install c (free)"
rm -f "$WORK/updates/"*
STUB_APT_FAIL=install check "installing fails: the command to run" 0 no 600 "a|$ok;b|$ok" 1 \
    "apt-get update (free)
$install c (free)" "apt-get install -y --no-install-recommends c"

# hold_lock SECONDS: another process holds the lock that long (or until
# killed); its id is in holder.
hold_lock() {
    (
        exec 9>"$WORK/lock" >/dev/null 2>&1
        "$FLOCK" 9
        exec sleep "$1"
    ) &
    holder=$!
    until ! "$FLOCK" -n "$WORK/lock" "$TRUE"; do :; done
}

# Another process holds the lock: apt-get runs only once it is free.
hold_lock 3
check "waits for the lock" 0 no 30 "a|$ok;b|$ok" 0 "apt-get update (free)
$install30 c (free)"
hold_lock 30
check "gives up when the lock is held too long" 0 no 1 "a|$ok;b|$ok" 1 ""
kill "$holder"
holder=""

((failures == 0)) || { echo "$failures failed"; exit 1; }
echo "all passed"
