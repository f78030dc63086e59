#!/bin/bash
# Runs the Wine tests N times in one prefix and desktop and counts the failed runs
# of each CTest entry: a test that fails once in ten runs fails someone's CI.
#   tools/repeat-tests.sh N [pattern]   pattern as for ctest -R (every entry when left out)
# The output of each failed run is kept in build/repeat/.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:?usage: tools/repeat-tests.sh N [ctest -R pattern]}
pattern=${2:-}
if [ -z "${ZENTROK_REPEAT_INNER:-}" ]; then
  # Everything the entries read: the programs, the test programs and the 32-bit build.
  make -C "$root" build build-x86 >/dev/null && ninja -C "$root/build" >/dev/null || exit 1
  ZENTROK_REPEAT_INNER=1 exec "$root/tools/with-wine.sh" "$0" "$@"
fi

out="$root/build/repeat"
rm -rf "$out"; mkdir -p "$out"
declare -A failed
names=$(ctest --test-dir "$root/build" -N ${pattern:+-R "$pattern"} | sed -n 's/^ *Test *#[0-9]*: //p')
start=$(date +%s)
for i in $(seq 1 "$runs"); do
  t0=$(date +%s)
  bad=""
  if ! ctest --test-dir "$root/build" -j1 ${pattern:+-R "$pattern"} --output-on-failure >"$out/run-$i.log" 2>&1; then
    bad=$(sed 's/^[0-9]*://' "$root/build/Testing/Temporary/LastTestsFailed.log" 2>/dev/null | tr '\n' ' ')
    [ -n "$bad" ] || bad="(ctest)"
  fi
  for name in $bad; do failed[$name]=$(( ${failed[$name]:-0} + 1 )); done
  [ -n "$bad" ] || rm -f "$out/run-$i.log"
  echo "run $i of $runs: $(( $(date +%s) - t0 )) s, failed: ${bad:-none}"
done
echo
echo "$runs runs in $(( $(date +%s) - start )) s; failed runs per entry:"
total=0
for name in $names; do
  printf '  %-20s %d of %d\n' "$name" "${failed[$name]:-0}" "$runs"
  total=$(( total + ${failed[$name]:-0} ))
done
[ "$total" = 0 ]
