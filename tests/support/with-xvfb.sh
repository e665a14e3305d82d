#!/usr/bin/env bash
# Runs a test program on an X server of its own, through Qt's xcb platform:
#   with-xvfb.sh PROGRAM [ARGS...]
# Its own server, because without a window manager every program that
# shows a window takes the keyboard for it: programs sharing one display
# would steal the focus from each other's tests. Xvfb picks a display that
# no one holds (-displayfd), so parallel runs never race for a number.
# A server going away as ours starts can still take the number's socket with
# it, so the display is asked to answer before the program starts; one that
# does not is replaced by a fresh server.
set -uo pipefail
dir=$(mktemp -d)
xpid=
trap 'kill "$xpid" 2>/dev/null; wait "$xpid" 2>/dev/null; rm -rf "$dir"' EXIT

start_server() {
  : >"$dir/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" </dev/null >"$dir/log" 2>&1 &
  xpid=$!
  for _ in $(seq 600); do
    [ -s "$dir/display" ] && return 0
    if ! kill -0 "$xpid" 2>/dev/null; then
      echo "Xvfb did not start:" >&2
      cat "$dir/log" >&2
      return 1
    fi
    sleep 0.1
  done
  echo "Xvfb gave no display within a minute" >&2
  return 1
}

for attempt in 1 2 3 4 5; do
  start_server || exit 1
  export DISPLAY=":$(tr -d '[:space:]' <"$dir/display")"
  sleep 0.2
  xdpyinfo >/dev/null 2>&1 && break
  echo "display $DISPLAY does not answer (attempt $attempt); starting another server" >&2
  kill "$xpid" 2>/dev/null
  wait "$xpid" 2>/dev/null
  [ "$attempt" = 5 ] && exit 1
done
export QT_QPA_PLATFORM=xcb
"$@"
