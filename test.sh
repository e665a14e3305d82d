#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test, lane by lane:
#   offscreen  the logic tests (label plain) and the tests that show windows
#              on Qt's offscreen platform (label offscreen), with every
#              other test that no lane claims
#   xcb        the tests that show windows again, on a real X server (an
#              Xvfb that ctest starts for the lane)
#   e2e        the built program, run as a person would use it
# Each lane's time is printed after it; the script fails if any lane failed.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh
bash scripts/build.sh
cd "${BUILD_DIR:-build}"

failed=0
lane() {
  local name=$1
  shift
  if ! ctest -N "$@" | grep -q '^Total Tests: [1-9]'; then
    echo "== lane $name: no tests"
    return
  fi
  echo "== lane $name"
  local start=$SECONDS
  ctest --output-on-failure -j "$(nproc)" "$@" || failed=1
  echo "== lane $name: $((SECONDS - start)) s"
}
lane offscreen -LE '^(xcb|e2e)$'
lane xcb -L '^xcb$'
lane e2e -L '^e2e$'
exit $failed
