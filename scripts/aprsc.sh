#!/usr/bin/env bash
# aprsc, the APRS-IS server most of the network runs, as a local peer for the
# APRS-IS tests and for trying the upload by hand. Loopback only, no uplink.
#
#   scripts/aprsc.sh build [BUILD_DIR]
#       builds aprsc once from ../shared/peers/aprsc-2.1.21.tar.gz (or
#       $APRSC_TARBALL) into BUILD_DIR/aprsc/aprsc (BUILD_DIR: build/) and
#       prints the binary's path. Needs build-essential libevent-dev libssl-dev
#       libcap-dev zlib1g-dev libsctp-dev (scripts/test.sh installs them).
#   scripts/aprsc.sh start RUN_DIR [IGATE_PORT [FULLFEED_PORT [DUPE_PORT]]]
#       writes RUN_DIR/aprsc.conf and starts aprsc in the background until
#       IGATE_PORT accepts connections. Ports: 14580 (uploads and filtered
#       feeds), 10152 (full feed), 10153 (dupe feed), all on 127.0.0.1.
#       Log: RUN_DIR/aprsc.log. As root it runs as the user "aprsc" (created
#       when missing), which it must: aprsc refuses to run as root.
#   scripts/aprsc.sh stop RUN_DIR
#       ends the aprsc started in RUN_DIR (SIGTERM to its process id).
#
# Set APRSC_BINARY to use another aprsc binary for start.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
APRSC_VERSION=2.1.21
TARBALL="${APRSC_TARBALL:-$ROOT/../shared/peers/aprsc-$APRSC_VERSION.tar.gz}"

die() {
    echo "aprsc.sh: $*" >&2
    exit 1
}

build() {
    local out="$1/aprsc"
    if [[ -x "$out/aprsc" ]]; then
        echo "$out/aprsc"
        return
    fi
    [[ -f "$TARBALL" ]] || die "no aprsc source at $TARBALL (set APRSC_TARBALL to the path of aprsc-$APRSC_VERSION.tar.gz)"
    mkdir -p "$out"
    out="$(cd "$out" && pwd)"
    rm -rf "$out/aprsc-$APRSC_VERSION"
    tar -xzf "$TARBALL" -C "$out"
    local src="$out/aprsc-$APRSC_VERSION/src"
    if ! (cd "$src" && ./configure >"$out/build.log" 2>&1 && make -j2 >>"$out/build.log" 2>&1); then
        tail -n 20 "$out/build.log" >&2
        die "building aprsc failed (log: $out/build.log)"
    fi
    # Copied under its final name last, so a half-done build is never taken
    # for a finished one.
    cp "$src/aprsc" "$out/aprsc.tmp"
    mv "$out/aprsc.tmp" "$out/aprsc"
    echo "$out/aprsc"
}

# The aprsc with this process id runs (a zombie, or another program that
# got the id since, does not count).
alive() {
    [[ -r "/proc/$1/cmdline" ]] && tr '\0' ' ' <"/proc/$1/cmdline" | grep -q aprsc
}

start() {
    local run="$1" igate="${2:-14580}" full="${3:-10152}" dupe="${4:-10153}"
    local bin="${APRSC_BINARY:-${SELVANE_BUILD_DIR:-$ROOT/build}/aprsc/aprsc}"
    [[ -x "$bin" ]] || die "no aprsc at $bin (run: scripts/aprsc.sh build)"
    mkdir -p "$run/data"
    run="$(cd "$run" && pwd)"
    if [[ -f "$run/aprsc.pid" ]] && alive "$(cat "$run/aprsc.pid")"; then
        die "aprsc already runs in $run"
    fi
    cat >"$run/aprsc.conf" <<EOF
ServerId   T2TEST
PassCode   8385
MyAdmin    "Test Admin, N0CALL"
MyEmail    test@example.invalid
RunDir     $run/data
UpstreamTimeout  15s
ClientTimeout    48h
Listen "Full feed"              fullfeed tcp 127.0.0.1 $full
Listen "Client-Defined Filters" igate    tcp 127.0.0.1 $igate
Listen "Dupe feed"              dupefeed tcp 127.0.0.1 $dupe
FileLimit  1024
EOF
    local user=()
    if [[ $(id -u) -eq 0 ]]; then
        # (Another start may create it at the same moment.)
        id aprsc >/dev/null 2>&1 || useradd -r -s /usr/sbin/nologin aprsc || id aprsc >/dev/null
        # The folder may be a private temporary one: the user must reach data/.
        chmod a+x "$run"
        chown aprsc "$run/data"
        user=(-u aprsc)
    fi
    APRSC_NO_VERSION_REPORT=1 setsid "$bin" "${user[@]}" -c "$run/aprsc.conf" -p "$run/data/aprsc.pid" \
        -o stderr -e info >"$run/aprsc.log" 2>&1 </dev/null &
    local pid=$!
    echo "$pid" >"$run/aprsc.pid"
    for _ in $(seq 100); do
        if (exec 3<>"/dev/tcp/127.0.0.1/$igate") 2>/dev/null; then
            echo "aprsc $pid: uploads 127.0.0.1:$igate, full feed 127.0.0.1:$full, dupe feed 127.0.0.1:$dupe"
            return
        fi
        alive "$pid" || break
        sleep 0.1
    done
    stop "$run"
    tail -n 20 "$run/aprsc.log" >&2
    die "aprsc did not come up (log: $run/aprsc.log)"
}

stop() {
    local run="$1" pid
    [[ -f "$run/aprsc.pid" ]] || return 0
    pid=$(cat "$run/aprsc.pid")
    if alive "$pid"; then
        kill -TERM "$pid"
        for _ in $(seq 100); do
            alive "$pid" || break
            sleep 0.1
        done
        if alive "$pid"; then
            kill -KILL "$pid"
        fi
    fi
    rm -f "$run/aprsc.pid"
}

case "${1:-}" in
build) build "${2:-${SELVANE_BUILD_DIR:-$ROOT/build}}" ;;
start) [[ $# -ge 2 ]] || die "usage: aprsc.sh start RUN_DIR [IGATE_PORT [FULLFEED_PORT [DUPE_PORT]]]"; start "${@:2}" ;;
stop) [[ $# -ge 2 ]] || die "usage: aprsc.sh stop RUN_DIR"; stop "$2" ;;
*) die "usage: aprsc.sh build [BUILD_DIR] | start RUN_DIR [PORTS...] | stop RUN_DIR" ;;
esac
