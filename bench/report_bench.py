#!/usr/bin/env python3
"""The report's bench, run under tools/with-wine.sh: 1,000,000 records in 200 files (100 PCs over
two years) to CSV and to HTML against only reading the files, and a month's page for 100 people
opened in headless Chromium. Prints "key value" lines for bench/report.py.

usage: report_bench.py WORK REPORT_EXE READ_LOGS_EXE [ROUNDS]
"""
import datetime
import os
import statistics
import subprocess
import sys
import time

PCS, FILES_PER_PC, RECORDS_PER_FILE = 100, 2, 5000
WINE_RUN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools", "wine-run.sh")


def make_logs(folder):
    """Every day a logon, five locks, a short sleep and a logoff (14 records), newest first, CP932."""
    marker = os.path.join(folder, ".complete")
    if os.path.exists(marker):
        return
    os.makedirs(folder, exist_ok=True)
    for pc in range(1, PCS + 1):
        user, name = "user%03d" % pc, "PC%03d" % pc
        for year in (2025, 2026):
            lines, day = [], datetime.datetime(year, 1, 1)
            while len(lines) < RECORDS_PER_FILE:
                def at(h, m, word):
                    t = day + datetime.timedelta(hours=h, minutes=m + pc % 17)
                    lines.append("%s - %s - %s. - %s" % (word, user, t.strftime("%Y/%m/%d %H:%M:%S"), name))
                at(8, 30, "LOGON ")
                for k in range(5):
                    at(10 + k, 0, "LOCK  ")
                    at(10 + k, 12, "UNLOCK")
                at(16, 0, "SLEEP ")
                at(16, 20, "RESUME")
                at(18 + pc % 3, 5, "LOGOFF")
                day += datetime.timedelta(days=1)
            lines = lines[:RECORDS_PER_FILE]
            with open(os.path.join(folder, "%s-%d.txt" % (name, year)), "wb") as f:
                f.write(("\r\n".join(reversed(lines)) + "\r\n").encode("cp932"))
    open(marker, "w").close()


def measure(args, cwd):
    """Wall time and CPU time (user + system) in ms, and the peak resident bytes of the Wine
    process (its VmHWM, polled). The CPU time holds still when others load the machine."""
    start = time.perf_counter()
    p = subprocess.Popen([WINE_RUN] + args, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    peak = 0
    while True:
        pid, status, usage = os.wait4(p.pid, os.WNOHANG)
        if pid:
            break
        try:
            for line in open("/proc/%d/status" % p.pid):
                if line.startswith("VmHWM:"):
                    peak = max(peak, int(line.split()[1]) * 1024)
        except OSError:
            pass
        time.sleep(0.01)
    ms = (time.perf_counter() - start) * 1000
    if os.waitstatus_to_exitcode(status) != 0:
        raise SystemExit("%s ended with %d" % (args, os.waitstatus_to_exitcode(status)))
    return ms, (usage.ru_utime + usage.ru_stime) * 1000, peak


def chromium_ms(page, work):
    start = time.perf_counter()
    subprocess.run(["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--user-data-dir=" + os.path.join(work, "chromium"),
                    "--dump-dom", "file://" + page], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    return (time.perf_counter() - start) * 1000


def main(work, report, read_logs, rounds="3"):
    report, read_logs = os.path.abspath(report), os.path.abspath(read_logs)
    logs = os.path.join(work, "logs")
    make_logs(logs)
    files = [f for f in os.listdir(logs) if f.endswith(".txt")]
    print("report.files", len(files))
    print("report.bytes", sum(os.path.getsize(os.path.join(logs, f)) for f in files))
    runs = {"read": [read_logs, "logs"], "csv": [report, "logs", "/CSV", "out.csv"],
            "html": [report, "logs", "/HTML", "out.html"]}
    for _ in range(int(rounds)):
        for key, args in runs.items():  # interleaved, so that the machine's load falls on all alike
            ms, cpu, peak = measure(args, work)
            print("report.%s.ms %.1f" % (key, ms))
            print("report.%s.cpu %.1f" % (key, cpu))
            print("report.%s.peak %d" % (key, peak))
    print("report.html.size", os.path.getsize(os.path.join(work, "out.html")))

    # A month of the same office: 100 people, one page.
    measure([report, "logs", "/FROM", "2026/03/01", "/TO", "2026/03/31", "/HTML", "month.html"], work)
    print("report.month.size", os.path.getsize(os.path.join(work, "month.html")))
    with open(os.path.join(work, "empty.html"), "w") as f:
        f.write("<!DOCTYPE html><html><body></body></html>")
    for _ in range(int(rounds)):
        print("report.chromium.month.ms %.1f" % chromium_ms(os.path.join(work, "month.html"), work))
        print("report.chromium.empty.ms %.1f" % chromium_ms(os.path.join(work, "empty.html"), work))


if __name__ == "__main__":
    main(*sys.argv[1:])
