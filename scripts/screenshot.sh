#!/usr/bin/env bash
# Renders the main window, after a scripted login as Admin on a fresh
# database, under a real X server (Xvfb) into <build>/main-window.png, and
# the login and business-date dialogs beside it, for a look by eye at the
# Chinese text, the layout and the colours.
# Usage: scripts/screenshot.sh [build folder]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-${BUILD_DIR:-build}}
cmake --build "$BUILD" --target test_app_core >/dev/null
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" \
    "$BUILD/test_app_core" --gtest_filter='PictureCoreTest.*'
ls -l "$BUILD"/main-window.png "$BUILD"/login-window.png "$BUILD"/date-window.png
