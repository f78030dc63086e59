#!/bin/sh
# Installs what the build and the tests need, only when something is missing.
set -e
pkgs="wine wine64 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 g++-mingw-w64-i686-posix
      binutils-mingw-w64-i686 xvfb imagemagick
      x11-utils xdotool fonts-ipafont-gothic fonts-wine locales ninja-build cmake make googletest python3
      clang libclang-rt-14-dev zip rsyslog libnss-wrapper chromium"
missing=""
for p in $pkgs; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
sudo=""
[ "$(id -u)" = 0 ] || sudo="sudo"
if [ -n "$missing" ]; then
  echo "installing:$missing"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
fi
# Wine takes its ANSI code page (932) from the Unix locale, which must exist.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  $sudo localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
