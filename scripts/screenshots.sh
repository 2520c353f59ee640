#!/usr/bin/env bash
# Screenshots of both windows, to look at by eye: Italian and English, at the
# desktop scalings 100 %, 125 % and 150 %, with the demo engine playing a
# satellite pass, on a virtual screen of 1920 x 1080 under a window manager
# with a system tray (Xvfb and JWM).
#
#   scripts/screenshots.sh FOLDER
#
# FOLDER receives, for each language (it, en) and scale (100, 125, 150):
#   main-LANG-SCALE.png        the main window
#   telemetry-LANG-SCALE.png   the telemetry window, its lists
#   plots-LANG-SCALE.png       the telemetry window, its plots
# The README's pictures are main-it-100.png and telemetry-it-100.png, made
# smaller (docs/).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

if [[ $# -ne 1 || "$1" == -* ]]; then
    echo "usage: $0 FOLDER" >&2
    exit 2
fi
mkdir -p "$1"
OUT="$(cd "$1" && pwd)"

# Everything after this runs inside the virtual X server.
if [[ -z "${SELVANE_SCREENSHOTS_INSIDE:-}" ]]; then
    install_missing xvfb xauth jwm xdotool x11-utils imagemagick
    build_selvane selvane agwpe-test-engine
    export SELVANE_SCREENSHOTS_INSIDE=1
    exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$OUT"
fi

WORK="$(mktemp -d)"
export XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

jwm >/dev/null 2>&1 &
pids+=($!)

# A free port for the demo engine: another engine may hold 8000.
port=$(( 20000 + RANDOM % 20000 ))
while (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do
    port=$(( port + 1 ))
done
"$BUILD/agwpe-test-engine" --port "$port" --script "$ROOT/tools/testengine/demo.script" --loop >/dev/null &
pids+=($!)

# window_id TITLE-REGEX: the visible window whose title matches, waiting up
# to 20 s for it.
window_id() {
    timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -n 1
}

shoot() {
    local lang="$1" language="$2" scale="$3"
    local folder="$WORK/$language-$scale" name="$language-$(awk "BEGIN { print $scale * 100 }")"
    mkdir -p "$folder"
    # No place stored (first start), "Show Tlm", "Gate to Out", no call set:
    # the demo's packets through the ISS and PCSAT go down, its uplink
    # request to the alias goes up.
    printf '"WIDE,WIDE","","1","2","30","localhost",0,0,7470,0,0,4850,0,0,1,1,1\r\n' > "$folder/Selvane.ini"
    env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG="$lang" QT_SCALE_FACTOR="$scale" \
        "$BUILD/selvane" --dir "$folder" --engine-port "$port" >/dev/null 2>&1 &
    local selvane=$!
    pids+=("$selvane")
    local main telemetry
    main=$(window_id '^Selvane$')
    telemetry=$(window_id 'PCSAT')
    if [[ -z "$main" || -z "$telemetry" ]]; then
        echo "Selvane's windows did not appear ($name)." >&2
        exit 1
    fi
    # START has the focus when the window opens.
    xdotool windowactivate --sync "$main" key --clearmodifiers space
    # One pass of the demo: every kind of packet and all its telemetry.
    sleep 36
    import -window "$main" "$OUT/main-$name.png"
    import -window "$telemetry" "$OUT/telemetry-$name.png"
    xdotool windowactivate --sync "$telemetry" key --clearmodifiers ctrl+Tab
    sleep 1
    import -window "$telemetry" "$OUT/plots-$name.png"
    # The ordinary end, as at a desktop's logout: settings written, files closed.
    kill -TERM "$selvane"
    wait "$selvane" 2>/dev/null || true
    echo "$OUT: main-$name.png telemetry-$name.png plots-$name.png"
}

for scale in 1 1.25 1.5; do
    shoot C.UTF-8 it "$scale"
    shoot en_GB.UTF-8 en "$scale"
done
