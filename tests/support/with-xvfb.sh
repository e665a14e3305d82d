#!/usr/bin/env bash
# Runs a test program on an X server of its own, through Qt's xcb platform:
#   with-xvfb.sh PROGRAM [ARGS...]
# Its own server, because without a window manager every program that
# shows a window takes the keyboard for it: programs sharing one display
# would steal the focus from each other's tests.
# The display number is drawn at random from a wide range rather than taken
# as the lowest free one (-displayfd, xvfb-run -a): a server of another run
# that is going away removes its socket after its lock, so a new server that
# takes the same low number can lose its socket under a running program.
# Two runs drawing the same number is caught by Xvfb's lock file; the loser
# draws again.
set -uo pipefail
dir=$(mktemp -d)
xpid=
trap 'kill "$xpid" 2>/dev/null; wait "$xpid" 2>/dev/null; rm -rf "$dir"' EXIT

start_server() {
  local n=$1
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >"$dir/log" 2>&1 &
  xpid=$!
  for _ in $(seq 300); do
    if ! kill -0 "$xpid" 2>/dev/null; then
      return 1
    fi
    if [ -S "/tmp/.X11-unix/X$n" ] && DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
      return 0
    fi
    sleep 0.1
  done
  kill "$xpid" 2>/dev/null
  wait "$xpid" 2>/dev/null
  return 1
}

for attempt in $(seq 10); do
  n=$((1000 + (RANDOM * 32768 + RANDOM) % 60000))
  [ -e "/tmp/.X$n-lock" ] && continue
  if start_server "$n"; then
    export DISPLAY=":$n"
    export QT_QPA_PLATFORM=xcb
    "$@"
    rc=$?
    # A program that lost its display leaves nothing to go on but the
    # server's own account: give it with every failure.
    if [ "$rc" != 0 ]; then
      if kill -0 "$xpid" 2>/dev/null; then state=running; else state=gone; fi
      echo "with-xvfb.sh: exit $rc on display :$n (Xvfb $xpid $state); its log:" >&2
      tail -n 20 "$dir/log" | sed 's/^/    /' >&2
    fi
    exit $rc
  fi
  echo "no X server on :$n (attempt $attempt):" >&2
  cat "$dir/log" >&2
done
echo "could not start an X server" >&2
exit 1
