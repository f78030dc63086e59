#!/usr/bin/env python3
"""Writes docs/benchmarks.md from the Win32 figures, the host benchmark and the program files.

usage: report.py wine.txt host.json Zentrok.exe baseline_app.exe notes.md
"""
import collections
import datetime
import json
import os
import platform
import statistics
import subprocess
import sys

wine_file, host_file, exe, baseline_exe, notes_file = sys.argv[1:6]

figures = collections.defaultdict(list)
for line in open(wine_file, encoding="utf-8", errors="replace"):
    parts = line.split()
    if len(parts) == 2:
        try:
            figures[parts[0]].append(float(parts[1]))
        except ValueError:
            pass


def med(key):
    values = figures.get(key)
    return statistics.median(values) if values else float("nan")


def count(key):
    return len(figures.get(key, []))


def mb(b):
    return f"{b / 1048576:.2f} MB"


def ratio(a, b):
    return a / b if b else float("nan")


def met(ok):
    return "met" if ok else "**not met**"


def cpu():
    for line in open("/proc/cpuinfo"):
        if line.startswith("model name"):
            return line.split(":", 1)[1].strip() + f" ({os.cpu_count()} cores)"
    return platform.processor()


def run(*args):
    try:
        return subprocess.run(args, capture_output=True, text=True).stdout.strip()
    except OSError:
        return "?"


out = []
w = out.append
w("# Benchmarks\n")
w("Written by `make bench` (bench/run.sh); do not edit by hand, the notes at the end come from bench/notes.md.\n")
w(f"- date: {datetime.datetime.now().strftime('%Y-%m-%d %H:%M')}")
w(f"- CPU: {cpu()}")
w(f"- Wine: {run('wine', '--version')}; host: {platform.system()} {platform.release()}")
w("- Every figure is the median of repeated runs; each baseline is measured in the same run, interleaved with the program.")
w("- Other Wine runs share this 2-core machine, so single figures are noisy; the ratios are the point.\n")

# ---- figures ----
sizes = [int(k.split(".")[1]) for k in figures if k.startswith("log.") and k.endswith(".bytes")]
sizes.sort()
big = sizes[-1] if sizes else 0
z = {n: med(f"insert.{n}.zentrok.ms") for n in sizes}
b = {n: med(f"insert.{n}.baseline.ms") for n in sizes}
p = {n: med(f"insert.{n}.plain.ms") for n in sizes}
size_of = {n: med(f"log.{n}.bytes") for n in sizes}
peak = {n: med(f"insert.{n}.zentrok.peak_ws") for n in sizes}

start_z, start_b = med("start.zentrok.ms"), med("start.baseline.ms")


def private(when, who):
    key = f"resident.{when}.{who}.private"
    return med(key) if count(key) else med(key + "_unix")


priv_unix = count("resident.idle.zentrok.private_unix") > 0
se = sorted({int(k.split(".")[1]) for k in figures if k.startswith("sessionend.") and k.split(".")[1].isdigit()})
se_small = se[0] if se else 0

host = {}
try:
    for bm in json.load(open(host_file))["benchmarks"]:
        if bm.get("aggregate_name") == "median":
            host[bm["run_name"]] = bm["bytes_per_second"]
except (OSError, ValueError, KeyError):
    pass
host_sizes = sorted({int(k.split("/")[1]) for k in host})

exe_size, base_size = os.path.getsize(exe), os.path.getsize(baseline_exe)
imports = [l.split(":", 1)[1].strip() for l in run("x86_64-w64-mingw32-objdump", "-p", exe).splitlines()
           if l.strip().startswith("DLL Name:")]
windows_dlls = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "comctl32.dll", "advapi32.dll",
                "ole32.dll", "msvcrt.dll", "comdlg32.dll", "oleaut32.dll", "shlwapi.dll", "version.dll"}
foreign = [d for d in imports if d.lower() not in windows_dlls]

# ---- summary ----
w("## Summary\n")
w("| # | what | Zentrok | baseline | ratio | goal | |")
w("|---|---|---|---|---|---|---|")
if big:
    growth = ratio(z[big] / size_of[big], z[sizes[-2]] / size_of[sizes[-2]]) if len(sizes) > 1 else float("nan")
    w(f"| 1 | AddLogLine, {big:,} lines | {z[big]:.1f} ms | {b[big]:.1f} ms (plain file operations) | "
      f"{ratio(z[big], b[big]):.2f} | ≤ 1.3 | {met(ratio(z[big], b[big]) <= 1.3)} |")
    w(f"| 1 | its peak extra memory | {mb(peak[big])} | file {mb(size_of[big])} | {ratio(peak[big], size_of[big]):.2f} × file | "
      f"≤ 2.2 × file | {met(ratio(peak[big], size_of[big]) <= 2.2)} |")
w(f"| 2 | start-up until logon line and icon | {start_z:.1f} ms | {start_b:.1f} ms (minimal program) | "
  f"{ratio(start_z, start_b):.2f} | ≤ 1.5 | {met(ratio(start_z, start_b) <= 1.5)} |")
if se:
    w(f"| 3 | session-end answer, {se_small:,} lines | {med(f'sessionend.{se_small}.zentrok.ms'):.2f} ms | "
      f"{med('sessionend.baseline.ms'):.2f} ms (minimal program) | | < 10 ms | {met(med(f'sessionend.{se_small}.zentrok.ms') < 10)} |")
    w(f"| 3 | session-end answer, {se[-1]:,} lines | {med(f'sessionend.{se[-1]}.zentrok.ms'):.1f} ms | "
      f"{b.get(se[-1], float('nan')):.1f} ms (plain file operations) | {ratio(med(f'sessionend.{se[-1]}.zentrok.ms'), b.get(se[-1], float('nan'))):.2f} | reported | |")
pz, pb = private("shown", "zentrok"), private("shown", "baseline")
w(f"| 4 | private bytes, idle after the status window | {mb(pz)} | {mb(pb)} (minimal program) | {ratio(pz, pb):.2f} | ≤ 1.3 | "
  f"{met(ratio(pz, pb) <= 1.3)} |")
w(f"| 5 | Zentrok.exe, static, stripped | {exe_size / 1024:.0f} KB | {base_size / 1024:.0f} KB (minimal program) | "
  f"{ratio(exe_size, base_size):.2f} | < 400 KB | {met(exe_size < 400 * 1024 and not foreign)} |")
storm_n = int(med("storm.programs")) if count("storm.programs") else 0
if storm_n:
    storm_all, storm_one = med("storm.all.ms"), med("storm.one.ms")
    storm_ratio = ratio(storm_all, storm_n * storm_one)
    w(f"| 7 | {storm_n} programs started at once, 1,000-line log: until the last logon line | {storm_all:.0f} ms | "
      f"{storm_n} × {storm_one:.0f} ms (one program alone) | {storm_ratio:.2f} | ≤ 1.5 | {met(storm_ratio <= 1.5)} |")
big_n = int(med("bigstorm.programs")) if count("bigstorm.programs") else 0
if big_n:
    big_longest, big_plain = med("bigstorm.longest.ms"), sum(figures.get("bigstorm.plain.ms", []))
    big_lines = int(med("bigstorm.lines"))
    w(f"| 7 | {big_n} programs started at once, {big_lines:,}-line log: the longest start until the icon | "
      f"{big_longest:.0f} ms | {big_plain:.0f} ms ({big_n} plain rewrites by one process) | "
      f"{ratio(big_longest, big_plain):.2f} | reported | |")
if host_sizes:
    hn = host_sizes[len(host_sizes) // 2]
    r = ratio(host.get(f"InsertLogLine/{hn}", 0), host.get(f"Memcpy/{hn}", 0))
    w(f"| 6 | InsertLogLine (host), {hn:,} lines | {host.get(f'InsertLogLine/{hn}', 0) / 1e9:.2f} GB/s | "
      f"{host.get(f'Memcpy/{hn}', 0) / 1e9:.2f} GB/s (memcpy) | {r:.2f} | ≥ 0.33 | {met(r >= 1 / 3)} |")
report_bytes = med("report.bytes")
if count("report.read.ms"):
    rr = med("report.read.ms")
    rc = med("report.read.cpu")
    for kind in ("csv", "html"):
        t, c, top = med(f"report.{kind}.ms"), med(f"report.{kind}.cpu"), med(f"report.{kind}.peak")
        w(f"| 8 | ZentrokReport, {med('report.files'):,.0f} files, 1,000,000 records to {kind.upper()} | {t:.0f} ms | "
          f"{rr:.0f} ms (only reading them) | {ratio(t, rr):.1f} | ≤ 3 | {met(ratio(t, rr) <= 3)} |")
        w(f"| 8 | the same in CPU time (user + system; two processors at work) | {c:.0f} ms | {rc:.0f} ms | "
          f"{ratio(c, rc):.1f} | reported | |")
        w(f"| 8 | its peak memory (resident, Wine's own included) | {mb(top)} | logs {mb(report_bytes)} | "
          f"{ratio(top, report_bytes):.2f} × logs | ≤ 2 × logs | {met(ratio(top, report_bytes) <= 2)} |")
    cm = med("report.chromium.month.ms")
    w(f"| 8 | a month's page, 100 people, opened in headless Chromium | {cm:.0f} ms | "
      f"{med('report.chromium.empty.ms'):.0f} ms (an empty page) | | < 2 s | {met(cm < 2000)} |")
fwd = count("forward.on.ms") > 0
if fwd:
    f_on, f_off = med("forward.on.ms"), med("forward.off.ms")
    f_down = max(med("forward.refused.ms"), med("forward.silent.ms"))
    w(f"| 9 | session-end answer, each record also sent to a local rsyslog over TCP | {f_on:.2f} ms | {f_off:.2f} ms "
      f"(forwarding off) | +{f_on - f_off:.2f} ms | ≤ +5 ms | {met(f_on - f_off <= 5)} |")
    w(f"| 9 | the same, the collector down (refused or silent, the worse) | {f_down:.0f} ms | | | < 1100 ms | "
      f"{met(f_down < 1100)} |")
w("")

# ---- details ----
w("## 1. AddLogLine against the plain file operations\n")
w("Zentrok: `zentrok::AddLogLine` with `zentrok::WinLogFile`, the log full (max lines = its lines), so one line comes in "
  "and one goes. Baseline (bench/BaselineLog.cpp): the lock file `<log>.lock` (share mode 0, delete on close), read whole, "
  "write whole to a temporary file, flush, `ReplaceFileA`, release. Plain: read whole and write back in place, no lock, "
  "flush or replacement. Each timer is a fresh process; memory is the rise of the peak working set during its first insertion.\n")
w("| lines | file | Zentrok | baseline | ratio | plain read + write back | Zentrok per line | Zentrok peak extra | baseline peak extra | runs |")
w("|---|---|---|---|---|---|---|---|---|---|")
for n in sizes:
    w(f"| {n:,} | {mb(size_of[n])} | {z[n]:.2f} ms | {b[n]:.2f} ms | {ratio(z[n], b[n]):.2f} | {p[n]:.2f} ms | "
      f"{z[n] * 1e6 / n:.0f} ns | {mb(peak[n])} ({ratio(peak[n], size_of[n]):.2f} ×) | "
      f"{mb(med(f'insert.{n}.baseline.peak_ws'))} | {count(f'insert.{n}.zentrok.ms')} |")
if len(sizes) > 1:
    w(f"\nGrowth: from {sizes[-2]:,} to {big:,} lines the time per insertion grows {ratio(z[big], z[sizes[-2]]):.1f} × "
      f"for {ratio(size_of[big], size_of[sizes[-2]]):.0f} × the bytes (the baseline: {ratio(b[big], b[sizes[-2]]):.1f} ×). "
      "The peak pagefile usage Wine reports for itself does not follow the heap "
      f"(Zentrok at {big:,} lines: {mb(med(f'insert.{big}.zentrok.peak_pf'))}), so the working set is the measure.")
w("")

w("## 2. Start-up\n")
w("From `CreateProcessA` until the logon line (a line with CR LF) is in the log and `Shell_NotifyIconA(NIM_MODIFY)` "
  "finds the icon of the main window; Zentrok in a folder of its own without a log. Baseline (bench/BaselineApp.cpp): "
  "one window, one line written and flushed, one tray icon. The two alternate.\n")
w("| | Zentrok | minimal program | ratio | runs |")
w("|---|---|---|---|---|")
w(f"| start-up | {start_z:.1f} ms | {start_b:.1f} ms | {ratio(start_z, start_b):.2f} | {count('start.zentrok.ms')} |\n")

w("## 3. Session end\n")
w("`SendMessageTimeoutA(WM_QUERYENDSESSION)` to the `TMainForm` window until the answer (TRUE), which includes "
  "writing the logoff line. Zentrok started with the log's size as its maximum, so the log stays full.\n")
w("| log lines | Zentrok | minimal program's answer | plain file operations at that size | runs |")
w("|---|---|---|---|---|")
for n in se:
    w(f"| {n:,} | {med(f'sessionend.{n}.zentrok.ms'):.2f} ms | {med('sessionend.baseline.ms'):.2f} ms | "
      f"{b.get(n, float('nan')):.2f} ms | {count(f'sessionend.{n}.zentrok.ms')} |")
w("")

w("## 4. Resident cost\n")
w("Idle 0.7 s after start, and again after the status window was shown once (the icon's double-click message) and closed.")
if priv_unix:
    w("Wine answers `GetProcessMemoryInfo` for another process with 0 private bytes; the figures are what Wine counts as "
      "a process's own private bytes (anonymous resident + swapped memory of its Unix process, read from /proc).")
w("GDI objects are counted in the process's GDI handle table (`GetGuiResources` answers 0 under Wine), windows "
  "with their child windows.\n")
w("| | Zentrok idle | after the status window | minimal program | ratio |")
w("|---|---|---|---|---|")
w(f"| private bytes | {mb(private('idle', 'zentrok'))} | {mb(pz)} | {mb(pb)} | {ratio(pz, pb):.2f} |")
wz, wb = med("resident.shown.zentrok.ws"), med("resident.shown.baseline.ws")
w(f"| working set | {mb(med('resident.idle.zentrok.ws'))} | {mb(wz)} | {mb(wb)} | {ratio(wz, wb):.2f} |")
for kind, label in (("gdi", "GDI objects"), ("windows", "windows")):
    w(f"| {label} | {med(f'resident.idle.zentrok.{kind}'):.0f} | {med(f'resident.shown.zentrok.{kind}'):.0f} | "
      f"{med(f'resident.shown.baseline.{kind}'):.0f} | |")
w("")

w("## 5. The program file\n")
w(f"`Zentrok.exe`: {exe_size:,} bytes ({exe_size / 1024:.0f} KB), statically linked and stripped; the minimal program "
  f"linked the same way: {base_size:,} bytes. Imports (`x86_64-w64-mingw32-objdump -p`): {', '.join(imports)}"
  + (f"; not shipped with Windows: {', '.join(foreign)}" if foreign else " — all ship with Windows") + ".\n")

w("## 6. The log text on its own (host)\n")
w("`zentrok::InsertLogLine` built with host g++ -O3, Google Benchmark, bytes of the old log per second; the log full, "
  "so one line comes in and one goes. memcpy: the same bytes into a buffer already there; memcpy into a new buffer: "
  "the copy plus the fresh allocation the function has to make.\n")
w("| lines | InsertLogLine | memcpy | ratio | memcpy into a new buffer | ratio to it |")
w("|---|---|---|---|---|---|")
for n in host_sizes:
    i, m, mn = host.get(f"InsertLogLine/{n}", 0), host.get(f"Memcpy/{n}", 0), host.get(f"MemcpyNew/{n}", 0)
    w(f"| {n:,} | {i / 1e9:.2f} GB/s | {m / 1e9:.2f} GB/s | {ratio(i, m):.2f} | {mn / 1e9:.2f} GB/s | {ratio(i, mn):.2f} |")
w("")

if storm_n:
    w("## 7. A logon storm on one log\n")
    w(f"{storm_n} copies of the program, each in a folder of its own with its own settings, started at once on one "
      "shared 1,000-line log (cut to 1,000 lines as by default): from the first `CreateProcessA` until every one's logon "
      "line is in the log. Against it: one copy started alone on the same log, until its line is in; the updates of "
      f"{storm_n} programs that could only take turns would take at most {storm_n} times that. The start-up line waits "
      "for the log's lock while the others make progress, backing off at random for up to 50 ms between tries.\n")
    w("| | time | runs |")
    w("|---|---|---|")
    w(f"| {storm_n} at once | {storm_all:.0f} ms | {count('storm.all.ms')} |")
    w(f"| one alone | {storm_one:.0f} ms | {count('storm.one.ms')} |")
    w("")

if big_n:
    w("### On a log of a million lines\n")
    w(f"The same storm on one {big_lines:,}-line log (some 50 MB; every update reads and writes all of it): from each "
      "program's start until its icon, which comes once its logon line is in. Against it: the same number of plain "
      "rewrites of that log (read, write back in place, no lock, no flush) by one process, the least the queue could "
      "take. The start-up line waits for the lock as long as the other writers make progress (the log replaced, the "
      "lock file made anew), and gives up after 30 s without any, or 10 minutes in all.\n")
    w("| | time | runs |")
    w("|---|---|---|")
    w(f"| longest start until the icon | {big_longest:.0f} ms | {count('bigstorm.longest.ms')} |")
    w(f"| {big_n} plain rewrites, in all | {big_plain:.0f} ms | {count('bigstorm.plain.ms')} rewrites |")
    w("")

if count("report.read.ms"):
    w("## 8. The working-time report\n")
    w(f"bench/report_bench.py: {med('report.files'):.0f} logs of 100 PCs over two years (5,000 records each: every day a "
      f"logon, five locks, a short sleep and a logoff; CP932, newest first), {mb(report_bytes)} in all. "
      " Each run is a fresh "
      "`wine` process from start to exit; the baseline (bench/ReadLogs.cpp) reads every file with the same file layer and "
      "does nothing else. CPU time is the process's user and system time (Wine's server not counted). Peak memory is the Wine process's VmHWM, polled; it includes what Wine itself holds "
      f"(the baseline's peak: {mb(med('report.read.peak'))}). The month's page is `/FROM 2026/03/01 /TO 2026/03/31` of the "
      "same logs, timed from starting `chromium --headless --dump-dom` until it exits, browser start-up included.\n")
    w("| | time | CPU time | peak memory | output | runs |")
    w("|---|---|---|---|---|---|")
    for key, label in (("read", "only reading"), ("csv", "CSV"), ("html", "HTML")):
        size = mb(med("report.html.size")) if key == "html" else ""
        w(f"| {label} | {med(f'report.{key}.ms'):.0f} ms | {med(f'report.{key}.cpu'):.0f} ms | "
          f"{mb(med(f'report.{key}.peak'))} | {size} | {count(f'report.{key}.ms')} |")
    w(f"| month page in Chromium | {med('report.chromium.month.ms'):.0f} ms | | | {mb(med('report.month.size'))} | "
      f"{count('report.chromium.month.ms')} |")
    w(f"| empty page in Chromium | {med('report.chromium.empty.ms'):.0f} ms | | | | {count('report.chromium.empty.ms')} |")
    w("")

if fwd:
    w("## 9. Forwarding to a syslog collector\n")
    w("Four copies of the program, answering the session end in turn on a 1-line log: one sending each record to a "
      "real rsyslog on 127.0.0.1 over TCP, one without `[Syslog]`, one whose collector's port refuses, and one whose "
      "collector never answers (a loopback listener with a full queue, as an address where nobody is). Medians:\n")
    w("| forwarding | median | largest | answers |")
    w("|---|---|---|---|")
    for name in ("on", "off", "refused", "silent"):
        values = sorted(figures.get(f"forward.{name}.ms", []))
        if values:
            w(f"| {name} | {med(f'forward.{name}.ms'):.2f} ms | {values[-1]:.2f} ms | {len(values)} |")
    w("")

try:
    w(open(notes_file, encoding="utf-8").read().rstrip())
except OSError:
    pass
print("\n".join(out))
