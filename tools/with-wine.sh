#!/bin/bash
# Runs a command with the project's Wine prefix ready: a display (our own Xvfb when
# there is none), the Japanese locale, and one virtual desktop with a taskbar.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="$root/build/wine" WINEDEBUG=-all LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
xvfb_pid=""

cleanup() {
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
}

if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 91 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
  done
  # In a session of its own, so that Ctrl+C on the terminal doesn't end the display.
  setsid Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi
trap 'cleanup; exit 130' TERM
# A desktop process left over from another display would draw nowhere.
wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1

if [ ! -f "$WINEPREFIX/.zentrok-ready" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1024x768 /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.zentrok-ready"
fi
wineserver -p >/dev/null 2>&1
# What tests change for a while (the dpi, the time format, a library switched off)
# goes back to how the prefix was made, in case a killed test couldn't put it back.
intl='HKCU\Control Panel\International'
[ -f "$WINEPREFIX/international.reg" ] || wine reg export "$intl" "$WINEPREFIX/international.reg" /y >/dev/null 2>&1
if [ -s "$WINEPREFIX/international.reg" ]; then
  wine reg delete "$intl" /f >/dev/null 2>&1
  wine reg import "$WINEPREFIX/international.reg" >/dev/null 2>&1
fi
wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1
wine reg delete 'HKCU\Software\Wine\AppDefaults\Zentrok.exe' /f >/dev/null 2>&1
# Start the desktop and the services now, with their output going nowhere: a
# service started by a test would keep CTest's output pipe open after the test.
setsid wine wineboot >/dev/null 2>&1 </dev/null
# Ctrl+C is for the command; we clean up once it has finished.
trap 'true' INT
"$@"
rc=$?
cleanup
exit $rc
