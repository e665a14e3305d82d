#!/usr/bin/env bash
# Runs a test program on an X server of its own, through Qt's xcb platform:
#   with-xvfb.sh PROGRAM [ARGS...]
# Its own server, because without a window manager every program that
# shows a window takes the keyboard for it: programs sharing one display
# would steal the focus from each other's tests. Xvfb picks a display that
# no one holds (-displayfd), so parallel runs never race for a number.
set -uo pipefail
dir=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" </dev/null >"$dir/log" 2>&1 &
xpid=$!
trap 'kill "$xpid" 2>/dev/null; wait "$xpid" 2>/dev/null; rm -rf "$dir"' EXIT
for _ in $(seq 600); do
  [ -s "$dir/display" ] && break
  if ! kill -0 "$xpid" 2>/dev/null; then
    echo "Xvfb did not start:" >&2
    cat "$dir/log" >&2
    exit 1
  fi
  sleep 0.1
done
if [ ! -s "$dir/display" ]; then
  echo "Xvfb gave no display within a minute" >&2
  exit 1
fi
export DISPLAY=":$(tr -d '[:space:]' <"$dir/display")"
export QT_QPA_PLATFORM=xcb
"$@"
