#!/usr/bin/env bash
# Runs a command on a private X server: Xvfb on a free display, without
# resets (a client that connects as another leaves is never refused). The
# command finds the server's process id in HEXLIFE_XSERVER_PID.
set -euo pipefail
log=$(mktemp)
exec 3< <(exec Xvfb -displayfd 1 -noreset -nolisten tcp -screen 0 1024x768x24 2> "$log")
xvfb=$!
trap 'kill "$xvfb" 2> /dev/null; rm -f "$log"' EXIT
read -r -t 15 number <&3 || { echo "waited 15 s for Xvfb to name its display: $(cat "$log")"; exit 1; }
DISPLAY=":$number" QT_QPA_PLATFORM=xcb HEXLIFE_XSERVER_PID=$xvfb "$@"
