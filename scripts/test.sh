#!/usr/bin/env bash
# Installs what is missing (direwolf included, for the end-to-end test with a
# real engine), builds and runs every test.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_missing direwolf
build_selvane
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
ctest --test-dir "$BUILD" --output-on-failure -j 2
