#!/usr/bin/env bash
# How long the program takes to end after «Выход» is clicked, in each state a
# user leaves it in: just started (the thumbnails' fates being worked out),
# idle, a figure chosen, running, paused, ended, with the plot open, and with
# the search window searching the whole 5 × 5 box. The same by closing the
# window. A fresh process of the release build each time, on a private Xvfb
# with IceWM; the time is from the button's release (or the close request)
# to the process's end, as `wait` sees it. Run by hand:
#   bash bench/exit_time.sh [PROGRAM] [REPEATS]     (STATES="idle running" for some)
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/release/hexagonal-life}
repeats=${2:-5}
export LC_ALL=C.UTF-8
for command in Xvfb icewm xdotool wmctrl; do
  command -v "$command" > /dev/null || { echo "missing $command: bash scripts/setup.sh test installs it"; exit 1; }
done

display=:$((RANDOM % 400 + 500))
top=$(mktemp -d)
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp -noreset > /dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb ${wm:-} 2> /dev/null; rm -rf "$top"' EXIT
export DISPLAY=$display
for _ in $(seq 1 100); do xdotool getmouselocation > /dev/null 2>&1 && break; sleep 0.1; done
HOME=$top icewm > /dev/null 2>&1 &
wm=$!
for _ in $(seq 1 100); do wmctrl -m > /dev/null 2>&1 && break; sleep 0.1; done

now() { date +%s.%N; }
# Clicks the point (x, y) of the window's client area, at scale 1.
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
# Waits until the search window is shown, and gives its id.
search_window() { xdotool search --sync --onlyvisible --name 'Поиск' | head -1; }

# state NAME: puts a fresh program into that state; sets $pid and $window.
enter() {
  XDG_CONFIG_HOME=$top/config-$RANDOM "$program" > /dev/null 2>&1 &
  pid=$!
  window=$(xdotool search --sync --onlyvisible --pid "$pid" --name 'Жизнь' | head -1)
  xdotool windowactivate --sync "$window" > /dev/null 2>&1 || true
  case $1 in
    started) ;;
    idle) sleep 3 ;;
    # Figure 14 (the seventh row's right thumbnail) lives long; figure 6
    # (the third row's right one) ends within a few cycles.
    chosen) sleep 1; click 68 408 ;;
    running) click 68 408; click 148 12 ;;                    # and «Пуск»
    paused) click 68 408; click 148 12; sleep 0.3; xdotool key space ;;
    ended) click 68 216; click 148 12; sleep 3 ;;
    plot) click 68 408; click 148 12; sleep 0.3; xdotool key ctrl+g ;;
    search)
      xdotool key ctrl+f
      local found
      found=$(search_window)
      xdotool windowactivate --sync "$found" > /dev/null 2>&1 || true
      # The box's spin boxes come first: 5 × 5 into both, then Ctrl+Enter starts.
      xdotool key ctrl+a 5 Tab ctrl+a 5 ctrl+Return
      sleep 1
      [ -n "${SHOTS:-}" ] && import -window root "$SHOTS/search-$RANDOM.png"
      ;;
  esac
}

measure() {  # STATE HOW: milliseconds from «Выход» (or the window's close) to the end
  enter "$1"
  local t0 t1
  if [ "$2" = click ]; then
    # The button is pressed first and the time taken from its release, when
    # it acts (xdotool's own click holds the button down some 100 ms).
    xdotool windowactivate --sync "$window" > /dev/null 2>&1 || true
    xdotool mousemove --window "$window" 396 12 mousedown 1
    t0=$(now)
    xdotool mouseup 1
  else
    t0=$(now)
    wmctrl -i -c "$window"
  fi
  wait "$pid" || true
  t1=$(now)
  echo "($t1 - $t0) * 1000" | bc -l
}

printf '%-10s %-6s %8s %8s %8s\n' state how median least most
for state in ${STATES:-started idle chosen running paused ended plot search}; do
  for how in click close; do
    times=()
    for _ in $(seq 1 "$repeats"); do times+=("$(measure "$state" "$how")"); done
    sorted=$(printf '%s\n' "${times[@]}" | sort -g)
    median=$(sed -n "$(((repeats + 1) / 2))p" <<< "$sorted")
    printf '%-10s %-6s %8.0f %8.0f %8.0f  ms\n' "$state" "$how" "$median" "$(head -1 <<< "$sorted")" "$(tail -1 <<< "$sorted")"
  done
done
