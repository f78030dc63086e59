#!/bin/sh
# make bench: the host benchmark of the log text, then the Win32 benchmarks under
# Wine, then docs/benchmarks.md from both (printed at the end).
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out=build/bench-results
mkdir -p "$out"

[ -f build-host/build.ninja ] || cmake -S . -B build-host -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C build-host logtext_bench >/dev/null
echo "host: log text against memcpy ..."
build-host/bench/logtext_bench --benchmark_format=json --benchmark_repetitions=7 \
  --benchmark_report_aggregates_only=true >"$out/host.json"

echo "wine: insertion, start-up, resident cost, session end (several minutes) ..."
tools/with-wine.sh tools/wine-run.sh build/bench/zentrok_bench.exe build/Zentrok.exe >"$out/wine.txt"

echo "wine: the working-time report on 1,000,000 records, and its month page in Chromium ..."
tools/with-wine.sh python3 bench/report_bench.py build/bench-report build/ZentrokReport.exe build/bench/read_logs.exe \
  >>"$out/wine.txt"

python3 bench/report.py "$out/wine.txt" "$out/host.json" build/Zentrok.exe build/bench/baseline_app.exe \
  bench/notes.md >docs/benchmarks.md
cat docs/benchmarks.md
