#!/bin/bash
# Starts Zentrok from build/run/ under Wine, shows the log, and on Ctrl+C ends it
# with a close message so that the logoff line is written.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/build/run"
mkdir -p "$dir"
cp "$root/build/Zentrok.exe" "$dir/"
winedir=$(winepath -w "$dir")
log="$dir/Zentrok.txt"

show_log() {
  echo "--- $winedir\\Zentrok.txt (first lines) ---"
  [ -f "$log" ] && head -n 5 "$log" | iconv -f CP932 -t UTF-8 | tr -d '\r'
}

# Out of the terminal's process group: Ctrl+C is ours to turn into a close message.
setsid wine "$dir/Zentrok.exe" "$@" &
pid=$!
for _ in $(seq 1 50); do [ -f "$log" ] && break; sleep 0.2; done
sleep 1
echo "Zentrok is running on display $DISPLAY. The log: $log"
show_log
echo "Press Ctrl+C to end it."

stop() {
  trap '' INT
  # A close message to the program's windows, as Windows sends one.
  wine taskkill /im Zentrok.exe >/dev/null 2>&1
  wait "$pid"
  echo
  show_log
  exit 0
}
trap stop INT TERM
wait "$pid"
show_log
