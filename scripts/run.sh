#!/usr/bin/env bash
# Installs what is missing, builds and starts Selvane. When no engine listens
# on port 8000, the bundled test engine is started with a demo script, so that
# pressing START shows packets even without a radio.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_missing
build_selvane selvane agwpe-test-engine

engine_pid=""
if ! (exec 3<>/dev/tcp/127.0.0.1/8000) 2>/dev/null; then
    echo "No engine on port 8000: starting the test engine with the demo script."
    "$BUILD/agwpe-test-engine" --port 8000 --script "$ROOT/tools/testengine/demo.script" --loop &
    engine_pid=$!
    trap '[[ -n "$engine_pid" ]] && kill "$engine_pid" 2>/dev/null' EXIT
    sleep 0.5
fi

# Settings ("Selvane.ini") and the "Logs" folder live in the working directory.
"$BUILD/selvane"
