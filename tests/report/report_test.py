#!/usr/bin/env python3
"""The real ZentrokReport.exe under Wine on a generated folder of logs.

usage: report_test.py csv  WINE_RUN EXE EXPECTED_CSV   the CSV byte for byte, exit codes and messages
       report_test.py html WINE_RUN EXE                the page in headless Chromium: rows, bars, no markup
"""
import html.parser
import os
import shutil
import subprocess
import sys
import tempfile

import logs


def run(wine_run, exe, *args, cwd):
    p = subprocess.run([wine_run, exe, *args], cwd=cwd, capture_output=True, timeout=120)
    return p.returncode, p.stdout.decode("cp932", "replace"), p.stderr.decode("cp932", "replace")


def check_csv(wine_run, exe, expected, work):
    failures = []
    # The logger's separator and log folder, read from a Zentrok.ini beside the report program.
    beside = os.path.join(work, "program")
    os.makedirs(os.path.join(beside, "logs"))
    shutil.copy(exe, beside)
    folder = "Z:" + os.path.join(beside, "logs").replace("/", "\\") + "\\"
    with open(os.path.join(beside, "Zentrok.ini"), "wb") as f:
        f.write(("[Log]\r\nSeparator=／\r\n[Place]\r\nDirectory=%s\r\n" % folder).encode("cp932"))
    logs.write(os.path.join(beside, "logs"), "PC09.txt", [logs.line("LOGON ", "u9", "2026/11/02 09:00:00", "PC09", "／"),
                                                          logs.line("LOGOFF", "u9", "2026/11/02 10:00:00", "PC09", "／")], "cp932")
    for program, code in ((os.path.join(beside, os.path.basename(exe)), 0), (exe, 1)):
        rc, out, err = run(wine_run, program, "program\\logs", cwd=work)
        if rc != code or (code == 0 and "u9,9:00,10:00" not in out):
            failures.append("%s with the separator of its Zentrok.ini: exit %d (wanted %d): %r" % (program, rc, code, out + err))
    # Without arguments, as from Explorer: that folder's page in the user's temporary folder, "opened"
    # by a browser that does nothing (no window left behind on the test's display).
    subprocess.run([wine_run, "reg", "add", "HKCU\\Software\\Wine\\WineBrowser", "/v", "Browsers", "/d", "true", "/f"],
                   capture_output=True, timeout=120)
    rc, out, err = run(wine_run, os.path.join(beside, os.path.basename(exe)), cwd=work)
    page = subprocess.run(["winepath", "-u", out.split(": ", 1)[-1].strip()], capture_output=True, text=True).stdout.strip()
    if rc != 0 or not page.endswith("ZentrokReport.html") or not os.path.isfile(page) or \
            "u9" not in open(page, encoding="utf-8").read():
        failures.append("without arguments: exit %d, %r" % (rc, out + err))
    cases = [  # arguments, exit code, a text the error output must hold, the CSV made
        (["logs", "/CSV", "out.csv"], 0, "記録ではない行 3 行", "out.csv"),
        (["logs\\*.txt", "/CSV", "out2.csv", "/SEP", "<TAB>"], 0, "", "out2.csv"),
        (["nothing-here", "/CSV", "none.csv"], 1, "nothing-here", None),
        (["logs\\notes.txt", "/CSV", "none.csv"], 1, "記録が見つかりません: logs\\notes.txt", None),
        (["logs", "/CSV", "none.csv", "/FROM", "2027/01/01"], 1, "記録がありません", None),
        (["logs", "/CSV", "none.csv", "/WRONG"], 2, "/WRONG", None),
        (["logs", "/GAP", "abc"], 2, "/GAP", None),
    ]
    for args, code, message, made in cases:
        rc, out, err = run(wine_run, exe, *args, cwd=work)
        if rc != code or message not in err:
            failures.append("%s: exit %d (wanted %d), error output %r" % (args, rc, code, err))
        if made and open(os.path.join(work, made), "rb").read() != open(expected, "rb").read():
            failures.append("%s: %s differs from %s" % (args, made, expected))
    if os.path.exists(os.path.join(work, "none.csv")):
        failures.append("a failed run left none.csv")
    rc, out, _ = run(wine_run, exe, "/?", cwd=work)
    if rc != 0 or "/GAP" not in out:
        failures.append("/? gave %d: %r" % (rc, out))
    return failures


class Dom(html.parser.HTMLParser):
    """Counts the elements by tag and class inside the sheets, scripts anywhere, and collects the text."""

    def __init__(self):
        super().__init__()
        self.counts, self.text, self.sheet = {}, [], False

    def handle_starttag(self, tag, attrs):
        self.sheet = self.sheet or tag == "section"
        keys = [tag] + [tag + "." + c for c in (dict(attrs).get("class") or "").split()]
        for key in keys if self.sheet or tag == "script" else []:
            self.counts[key] = self.counts.get(key, 0) + 1

    def handle_data(self, data):
        self.text.append(data)


def check_html(wine_run, exe, work):
    failures = []
    rc, _, err = run(wine_run, exe, "logs", "/HTML", "report.html", cwd=work)
    if rc != 0:
        return ["the HTML run ended with %d: %s" % (rc, err)]
    page = os.path.join(work, "report.html")
    chromium = ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                "--user-data-dir=" + os.path.join(work, "profile")]
    dom = subprocess.run(chromium + ["--dump-dom", "file://" + page], capture_output=True, timeout=120)
    shot = os.path.join(work, "report.png")
    subprocess.run(chromium + ["--window-size=1400,1000", "--screenshot=" + shot, "file://" + page],
                   capture_output=True, timeout=120)
    d = Dom()
    d.feed(dom.stdout.decode("utf-8"))
    text = "".join(d.text)
    # Four people in November: a sheet each with every day of the month, nine of them weekend days.
    expected = {"section.sheet": 4, "tr.day": 4 * 30, "tr.weekend": 4 * 9, "tr.none": 4 * 30 - 9, "rect.work": 8,
                "rect.est": 0, "rect.away": 2, "path.point": 1, "text.mark": 1, "title": 9, "script": 0}
    for key, want in expected.items():
        got = d.counts.get(key, 0)
        if got != want:
            failures.append("%s: %d, wanted %d" % (key, got, want))
    for needed in (logs.CRAFTED, logs.FORMULA, "佐藤", "2026年11月", "記録ではない行 3", "ログオフ記録なし"):
        if needed not in text:
            failures.append("the page doesn't show %r" % needed)
    if not os.path.exists(shot) or os.path.getsize(shot) < 20000:
        failures.append("no screenshot")
    return failures


def main(mode, wine_run, exe, expected=None):
    with tempfile.TemporaryDirectory() as work:
        logs.make(os.path.join(work, "logs"))
        failures = check_csv(wine_run, exe, expected, work) if mode == "csv" else check_html(wine_run, exe, work)
    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
