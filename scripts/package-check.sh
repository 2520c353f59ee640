#!/usr/bin/env bash
# Checks the Debian package as a station's machine meets it: builds it from
# this checkout (scripts/package.sh), installs the build into a scratch
# prefix and validates the menu entry, the AppStream metadata and the manual
# pages there, lints the package, installs it with apt-get, asks both programs
# for their version, runs selvaned briefly against the installed test engine,
# and purges the package, checking that nothing it installed is left behind.
#
# Installing needs root (CI runs as root). Without root, or on a machine where
# selvane is already installed (unless CI=true), those steps are skipped with
# a message. Any problem ends the script with a non-zero status.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# finish_interrupted_dpkg, wait_for_apt_locks
source "$ROOT/scripts/common.sh"
export SELVANE_PACKAGE_BUILD_DIR="${SELVANE_PACKAGE_BUILD_DIR:-$ROOT/build-package}"
PKGBUILD="$SELVANE_PACKAGE_BUILD_DIR"
ICON_SIZES=(16 22 24 32 48 64 128 256)
DESKTOP=share/applications/org.selvane.Selvane.desktop
METAINFO=share/metainfo/org.selvane.Selvane.metainfo.xml

checks=0
skipped=()
pids=()
rundir=""
installed_by_us=0
WORK="$(mktemp -d)"

ok() { checks=$((checks + 1)); echo "package-check: ok: $*"; }
skip() { skipped+=("$1"); echo "package-check: skipped: $1 ($2)"; }
fail() {
    echo "package-check: FAILED: $*" >&2
    echo "package-check: FAILED after $checks checks"
    exit 1
}
show() { sed 's/^/    /' "$@"; }
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    if ((installed_by_us)); then
        DEBIAN_FRONTEND=noninteractive apt-get purge -y -q selvane >/dev/null 2>&1 || true
    fi
    rm -rf "$WORK"
    [[ -z "$rundir" ]] || rm -rf "$rundir"
}
trap cleanup EXIT

# wait_for SECONDS COMMAND...: true once COMMAND succeeds, false at the limit.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

# --- Build ----------------------------------------------------------------
echo "package-check: building the package in $PKGBUILD"
if ! "$ROOT/scripts/package.sh" >"$WORK/package.log" 2>&1; then
    tail -n 40 "$WORK/package.log"
    fail "scripts/package.sh"
fi
deb="$(tail -n 1 "$WORK/package.log")"
[[ -f "$deb" ]] || fail "scripts/package.sh printed no package path"
version="$(dpkg-deb -f "$deb" Version)"
project_version="$(sed -n 's/^project(Selvane VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")"
[[ "$version" == "$project_version" ]] || fail "package version $version, project version $project_version"
[[ "$(basename "$deb")" == "selvane_${version}_$(dpkg --print-architecture).deb" ]] || fail "package file name $(basename "$deb")"
ok "built $(basename "$deb")"
dpkg-deb -c "$deb" | awk '{print $NF}' | sed -n 's|^\./usr/||p' | grep -v -e '/$' -e '^$' | sort >"$WORK/deb-files"
daemon=0
grep -qx 'bin/selvaned' "$WORK/deb-files" && daemon=1

# --- cmake --install into a scratch prefix ---------------------------------
tree="$WORK/tree"
cmake --install "$PKGBUILD" --prefix "$tree" >"$WORK/install.log" || { show "$WORK/install.log"; fail "cmake --install --prefix $tree"; }
expected=(bin/selvane bin/selvane-test-engine share/selvane/demo.script "$DESKTOP" "$METAINFO"
          share/icons/hicolor/scalable/apps/selvane.svg
          share/man/man1/selvane.1.gz share/man/man1/selvane-test-engine.1.gz share/man/man5/selvane.conf.5.gz
          share/doc/selvane/README.md share/doc/selvane/LICENSE share/doc/selvane/copyright share/doc/selvane/changelog.gz)
for size in "${ICON_SIZES[@]}"; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/selvane.png")
done
if ((daemon)); then
    expected+=(bin/selvaned share/man/man8/selvaned.8.gz lib/systemd/system/selvaned.service)
fi
for file in "${expected[@]}"; do
    [[ -f "$tree/$file" ]] || fail "cmake --install did not install $file"
done
for size in "${ICON_SIZES[@]}"; do
    file -b "$tree/share/icons/hicolor/${size}x${size}/apps/selvane.png" | grep -q "PNG image data, $size x $size," \
        || fail "the ${size}x${size} icon is not a $size x $size PNG"
done
(cd "$tree" && find . \( -type f -o -type l \) | sed 's|^\./||' | sort) >"$WORK/tree-files"
diff -u "$WORK/tree-files" "$WORK/deb-files" >"$WORK/files.diff" || { show "$WORK/files.diff"; fail "the package and cmake --install hold different files"; }
ok "cmake --install into $tree: $(wc -l <"$WORK/tree-files") files, the same as in the package"
if ((!daemon)); then
    skip "selvaned, its unit and its manual page" "the build has no selvaned target"
fi

# validate PREFIX: the menu entry, the metadata and the manual pages there.
validate() {
    local prefix="$1" page exec
    # Hints too (such as a category without its main category) count.
    desktop-file-validate "$prefix/$DESKTOP" >"$WORK/validate.log" 2>&1 && [[ ! -s "$WORK/validate.log" ]] \
        || { show "$WORK/validate.log"; fail "desktop-file-validate $prefix/$DESKTOP"; }
    exec="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$prefix/$DESKTOP")"
    [[ -x "$prefix/bin/$exec" ]] || fail "the menu entry starts $exec, not installed in $prefix/bin"
    appstreamcli validate --no-net "$prefix/$METAINFO" >"$WORK/validate.log" 2>&1 || { show "$WORK/validate.log"; fail "appstreamcli validate $prefix/$METAINFO"; }
    for page in "$prefix"/share/man/man*/selvane*.gz; do
        zcat "$page" | groff -man -ww -z >"$WORK/validate.log" 2>&1 || true
        [[ ! -s "$WORK/validate.log" ]] || { show "$WORK/validate.log"; fail "groff -man -ww: $page"; }
        MANWIDTH=80 man -l -P cat "$page" 2>/dev/null | grep -q '^NAME' || fail "man -l $page shows no NAME section"
    done
    ok "desktop-file-validate, appstreamcli validate --no-net and groff -man -ww in $prefix"
}
validate "$tree"

# --- lintian ---------------------------------------------------------------
lintian --display-info --fail-on error --tag-display-limit 0 "$deb" >"$WORK/lintian.log" 2>&1 || { show "$WORK/lintian.log"; fail "lintian reports errors"; }
grep -v 'not recommended' "$WORK/lintian.log" | show || true
ok "lintian: no error ($(grep -c '^W:' "$WORK/lintian.log" || true) warnings, $(grep -c '^I:' "$WORK/lintian.log" || true) notes)"

# --- apt-get install, the programs, apt-get purge -------------------------
if [[ $(id -u) -ne 0 ]]; then
    skip "install, run and purge" "needs root"
elif dpkg-query -W -f='${Status}' selvane 2>/dev/null | grep -q 'ok installed' && [[ "${CI:-}" != true ]]; then
    skip "install, run and purge" "selvane is installed on this machine; CI=true replaces and purges it"
else
    finish_interrupted_dpkg
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >"$WORK/apt.log" 2>&1 || { show "$WORK/apt.log"; fail "apt-get install $deb"; }
    installed_by_us=1
    [[ "$(dpkg-query -W -f='${Status} ${Version}' selvane)" == "install ok installed $version" ]] || fail "selvane $version is not installed"
    ok "apt-get install ./$(basename "$deb")"

    answer="$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen timeout 30 /usr/bin/selvane --version)" || fail "selvane --version"
    [[ "$answer" == "selvane $version" ]] || fail "selvane --version said '$answer'"
    ok "selvane --version: $answer"
    validate /usr

    # The command line: a wrong one ends before any window, with a message;
    # the menu entry's --user-folder makes ~/Selvane and works there.
    gui=(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen HOME="$WORK/home")
    while IFS='|' read -r want message args; do
        status=0
        # shellcheck disable=SC2086  # the table's arguments are words
        timeout 30 "${gui[@]}" /usr/bin/selvane $args >/dev/null 2>"$WORK/selvane.err" || status=$?
        [[ $status == "$want" ]] && grep -q -- "$message" "$WORK/selvane.err" \
            || { show "$WORK/selvane.err"; fail "selvane $args: status $status, not $want with '$message'"; }
    done <<TABLE
2|no-such-option|--no-such-option
2|stray|stray
2|--user-folder|--dir $WORK/a --user-folder
1|$deb|--dir $deb
TABLE
    mkdir -p "$WORK/home"
    timeout -k 5 60 "${gui[@]}" /usr/bin/selvane --user-folder >/dev/null 2>"$WORK/selvane.err" &
    window=$!
    pids+=("$window")
    wait_for 30 test -f "$WORK/home/Selvane/Selvane.ini" || { show "$WORK/selvane.err"; fail "selvane --user-folder wrote no ~/Selvane/Selvane.ini"; }
    kill -TERM "$window"
    status=0
    wait "$window" || status=$?
    ((status == 0)) || fail "selvane --user-folder ended with status $status on SIGTERM"
    [[ -d "$WORK/home/Selvane/Logs" ]] || fail "selvane --user-folder made no ~/Selvane/Logs"
    ok "selvane rejects wrong command lines; --user-folder works in ~/Selvane"

    if ((daemon)); then
        answer="$(timeout 30 /usr/bin/selvaned --version)" || fail "selvaned --version"
        [[ "$answer" == "selvaned $version" ]] || fail "selvaned --version said '$answer'"
        ok "selvaned --version: $answer"
        unit=/usr/lib/systemd/system/selvaned.service
        systemd-analyze verify "$unit" >"$WORK/verify.log" 2>&1 || { show "$WORK/verify.log"; fail "systemd-analyze verify $unit"; }
        [[ ! -s "$WORK/verify.log" ]] || { show "$WORK/verify.log"; fail "systemd-analyze verify $unit has remarks"; }
        ok "systemd-analyze verify $unit"
        getent passwd selvane | grep -q ':/var/lib/selvane:' || fail "postinst made no system user selvane with home /var/lib/selvane"
        [[ "$(stat -c %U /var/lib/selvane)" == selvane ]] || fail "/var/lib/selvane does not belong to selvane"
        compgen -G '/etc/systemd/system/*.wants/selvaned.service' >/dev/null && fail "the service was enabled by the package"
        ok "system user selvane and /var/lib/selvane made; the service is not enabled"

        # A short run as the service runs: the service's user, a folder of
        # its own, the installed test engine, SIGTERM to end it. The engine
        # takes a free port when selvaned can be told the port; otherwise
        # selvaned's default port must be free.
        engine_port=0
        if ! /usr/bin/selvaned --help 2>/dev/null | grep -q -- '--engine-port'; then
            engine_port=8000
        fi
        if ((engine_port)) && (exec 3<>"/dev/tcp/127.0.0.1/$engine_port") 2>/dev/null; then
            skip "selvaned run" "something already listens on 127.0.0.1:$engine_port"
        else
            rundir="$(mktemp -d /tmp/selvane-check.XXXXXX)"
            chown selvane:selvane "$rundir"
            timeout 120 /usr/bin/selvane-test-engine --port "$engine_port" --script /usr/share/selvane/demo.script \
                --loop --record "$WORK/received.txt" 2>"$WORK/engine.log" &
            engine=$!
            pids+=("$engine")
            wait_for 15 grep -q 'listening on' "$WORK/engine.log" || { show "$WORK/engine.log"; fail "the test engine did not start"; }
            port_option=()
            if ((engine_port == 0)); then
                engine_port="$(sed -n 's/.*listening on .*:\([0-9]*\)$/\1/p' "$WORK/engine.log" | head -n 1)"
                port_option=(--engine-port "$engine_port")
            fi
            timeout -k 5 90 setpriv --reuid=selvane --regid=selvane --init-groups \
                /usr/bin/selvaned --dir "$rundir" "${port_option[@]}" >"$WORK/selvaned.out" 2>"$WORK/selvaned.err" &
            selvaned=$!
            pids+=("$selvaned")
            if ! wait_for 30 grep -q 'monitoring on' "$WORK/engine.log"; then
                show "$WORK/engine.log" "$WORK/selvaned.out" "$WORK/selvaned.err"
                fail "selvaned did not connect to the test engine and ask for monitoring"
            fi
            kill -TERM "$selvaned"
            status=0
            wait "$selvaned" || status=$?
            ((status == 0)) || { show "$WORK/selvaned.out" "$WORK/selvaned.err"; fail "selvaned ended with status $status on SIGTERM"; }
            [[ -d "$rundir/Logs" ]] || fail "selvaned made no Logs/ in $rundir"
            kill -TERM "$engine"
            wait "$engine" || true
            ok "selvaned ran as selvane in $rundir against the test engine on port $engine_port and ended with status 0 on SIGTERM ($(grep -c . "$WORK/selvaned.out" || true) events)"
        fi
    else
        skip "selvaned --version, systemd-analyze verify and the selvaned run" "the package has no selvaned"
    fi

    dpkg-query -L selvane >"$WORK/installed"
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -q selvane >"$WORK/apt.log" 2>&1 || { show "$WORK/apt.log"; fail "apt-get purge selvane"; }
    installed_by_us=0
    ! dpkg-query -W -f='${Status}' selvane 2>/dev/null | grep -q 'ok installed' || fail "selvane is still installed after the purge"
    left=()
    while read -r path; do
        [[ "$path" == /. ]] && continue
        if [[ -L "$path" || -f "$path" ]]; then
            left+=("$path")
        elif [[ -d "$path" ]] && ! dpkg-query -S "$path" >/dev/null 2>&1 && [[ -z "$(ls -A "$path")" ]]; then
            left+=("$path")   # an empty folder that no other package uses
        fi
    done <"$WORK/installed"
    [[ -e /var/lib/selvane ]] && left+=(/var/lib/selvane)
    for path in /etc/systemd/system/*.wants/selvaned.service; do
        [[ -L "$path" ]] && left+=("$path")
    done
    ((${#left[@]} == 0)) || fail "left behind after apt-get purge: ${left[*]}"
    ok "apt-get purge selvane left none of its $(grep -c . "$WORK/installed") paths behind"
fi

if ((${#skipped[@]})); then
    echo "package-check: all $checks checks passed; skipped: $(printf '%s; ' "${skipped[@]}" | sed 's/; $//')"
else
    echo "package-check: all $checks checks passed"
fi
