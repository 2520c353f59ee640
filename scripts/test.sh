#!/usr/bin/env bash
# Installs what is missing (direwolf included, for the end-to-end test with a
# real engine), builds and runs every test, then builds the Debian package and
# checks it (scripts/package-check.sh).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
# What building aprsc needs: the APRS-IS tests run against it (scripts/aprsc.sh).
# Chromium: the status page is tested in a real browser.
install_missing direwolf build-essential libevent-dev libssl-dev libcap-dev zlib1g-dev libsctp-dev chromium
build_selvane
"$ROOT/scripts/aprsc.sh" build "$BUILD" >/dev/null ||
    echo "aprsc was not built: the APRS-IS tests fail on CI and are skipped elsewhere" >&2
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
ctest --test-dir "$BUILD" --output-on-failure -j 2
"$ROOT/scripts/package-check.sh"
"$ROOT/scripts/sanitize.sh"
"$ROOT/scripts/fuzz.sh" 30
