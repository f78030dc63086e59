#!/bin/bash
# Packs the release archive zentrok-<version>.zip: the logger and the report program for
# both architectures, the Japanese guide
# (CP932, CR LF) and the licence, then checks it.
# usage: make-dist.sh [OUTDIR [X64EXE X86EXE]]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$root/dist}" && cd "${1:-$root/dist}" && pwd)
x64=${2:-$root/build/Zentrok.exe}
x86=${3:-$root/build-x86/Zentrok.exe}
version=$(head -n 1 "$root/VERSION")
archive="$out/zentrok-$version.zip"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/x64" "$stage/x86"
# The report program is built beside each logger.
for arch in x64 x86; do
  exe=$([ $arch = x64 ] && echo "$x64" || echo "$x86")
  cp "$exe" "$stage/$arch/Zentrok.exe"
  cp "$(dirname "$exe")/ZentrokReport.exe" "$stage/$arch/ZentrokReport.exe"
done
# The guide's name in CP932 bytes: what Japanese Windows reads from a zip without the UTF-8 flag.
guide=$(printf '%s' 'はじめにお読みください.txt' | iconv -f UTF-8 -t CP932)
sed "s/@VERSION@/$version/" "$root/docs/guide-ja.txt" | iconv -f UTF-8 -t CP932 | LC_ALL=C sed 's/$/\r/' >"$stage/$guide"
LC_ALL=C sed 's/$/\r/' "$root/LICENSE" >"$stage/LICENSE.txt"

rm -f "$archive"
# C locale: zip stores the names' bytes as they are, with no Unicode extra field.
(cd "$stage" && LC_ALL=C zip -q -X -D "$archive" x64/Zentrok.exe x64/ZentrokReport.exe x86/Zentrok.exe \
  x86/ZentrokReport.exe "$guide" LICENSE.txt)
python3 "$root/tests/package/check_dist.py" "$archive" "$version"
