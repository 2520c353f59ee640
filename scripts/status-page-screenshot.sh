#!/usr/bin/env bash
# A screenshot of selvaned's status page after a short satellite pass.
#
#   scripts/status-page-screenshot.sh OUT.png [BUILD_DIR] [WIDTHxHEIGHT]
#
# Starts the test engine with the demo script (its pauses shortened) and
# selvaned in a temporary folder with its page on a free loopback port, lets
# the pass play, has headless Chromium take the picture, and stops both.
# Sourced instead (". scripts/status-page-screenshot.sh"), it only defines
# status_page_screenshot URL OUT.png [WIDTHxHEIGHT], for a page already
# running.
set -euo pipefail

# status_page_screenshot URL OUT [WIDTHxHEIGHT]: the page as Chromium shows
# it once its script has filled it.
status_page_screenshot() {
    local url="$1" out="$2" size="${3:-1000x1700}" profile
    profile="$(mktemp -d)"
    chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --user-data-dir="$profile" --hide-scrollbars --window-size="${size/x/,}" \
        --virtual-time-budget=5000 --screenshot="$out" "$url" >/dev/null 2>&1
    rm -rf "$profile"
    [[ -s "$out" ]]
}

if [[ "${BASH_SOURCE[0]}" != "$0" ]]; then
    return 0
fi

out="${1:?usage: $0 OUT.png [BUILD_DIR] [WIDTHxHEIGHT]}"
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${2:-$ROOT/build}"
size="${3:-1000x1700}"
case "$out" in /*) ;; *) out="$PWD/$out" ;; esac

work="$(mktemp -d)"
engine_pid=""
daemon_pid=""
cleanup() {
    [[ -n "$daemon_pid" ]] && kill "$daemon_pid" 2>/dev/null && wait "$daemon_pid" 2>/dev/null
    [[ -n "$engine_pid" ]] && kill "$engine_pid" 2>/dev/null && wait "$engine_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# wait_for_line FILE REGEX: the first match of REGEX in FILE, within 15 s.
wait_for_line() {
    local i line
    for ((i = 0; i < 150; i++)); do
        if line="$(grep -o -m1 -E "$2" "$1" 2>/dev/null)"; then
            echo "$line"
            return 0
        fi
        sleep 0.1
    done
    echo "no \"$2\" in $1:" >&2
    cat "$1" >&2
    return 1
}

sed 's/^wait .*/wait 150/' "$ROOT/tools/testengine/demo.script" >"$work/pass.script"
"$build/agwpe-test-engine" --port 0 --script "$work/pass.script" >"$work/engine.out" 2>&1 &
engine_pid=$!
engine_port="$(wait_for_line "$work/engine.out" 'listening on 127\.0\.0\.1:[0-9]+' | sed 's/.*://')"

mkdir "$work/station"
# Sats "1", Out "2", call N0CALL-5, every gating box on.
printf '"WIDE,WIDE","N0CALL-5","1","2","30","127.0.0.1",0,0,7470,1,1,4850,0,0,1,1,1\r\n' >"$work/station/Selvane.ini"
printf '[status]\nlisten = 127.0.0.1:0\n' >"$work/station/selvane.conf"
"$build/selvaned" --dir "$work/station" --engine-port "$engine_port" >"$work/selvaned.out" 2>&1 &
daemon_pid=$!
url="$(wait_for_line "$work/selvaned.out" 'http://127\.0\.0\.1:[0-9]+/')"
# The shortened pass plays in about two seconds.
sleep 3
status_page_screenshot "$url" "$out" "$size"
echo "$out"
