#!/bin/bash
# Runs a command with Wine's screen at another dpi, then puts the setting back, also
# when the command fails or is interrupted. usage: with-dpi.sh DPI COMMAND...
# Wine takes the dpi from HKCU\Control Panel\Desktop LogPixels (a REG_DWORD; the
# HKLM ...\Hardware Profiles\Current\Software\Fonts value works as well) and reads it
# when a process starts: the programs started by the command see it.
set -u
reg() { "$(dirname "$0")/wine-run.sh" reg "$@"; }
dpi=$1
shift
key='HKCU\Control Panel\Desktop'
old=$(reg query "$key" /v LogPixels 2>/dev/null | tr -d '\r' | awk '$1 == "LogPixels" {print $3}')
restore() {
  if [ -n "$old" ]; then
    reg add "$key" /v LogPixels /t REG_DWORD /d "$((old))" /f >/dev/null 2>&1
  else
    reg delete "$key" /v LogPixels /f >/dev/null 2>&1
  fi
}
trap 'restore; exit 130' INT TERM
reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
"$@"
rc=$?
restore
exit $rc
