"""A folder of logs as an office has them: one file per PC (CP932, newest first), a
collector's date-named files (UTF-8, with and without a byte-order mark), a foreign file."""
import os

CRAFTED = "<script>alert(1)</script>&\"'"
FORMULA = "=HYPERLINK(\"http://x\")"


def line(word, user, when, pc, sep=" - ", reason=None):
    fields = [word, user, when + ".", pc] + ([reason] if reason else [])
    return sep.join(f for f in fields if f is not None)


def write(folder, name, lines, encoding, newest_first=False, bom=False, end="\r\n"):
    text = end.join(reversed(lines) if newest_first else lines) + end
    with open(os.path.join(folder, name), "wb") as f:
        f.write((b"\xef\xbb\xbf" if bom else b"") + text.encode(encoding))


def make(folder):
    os.makedirs(folder, exist_ok=True)
    sato = []
    for day, (on, lock, unlock, off) in enumerate([("08:55", "12:00", "13:00", "18:05"),
                                                   ("09:10", "12:10", "12:50", "19:30"),
                                                   ("09:00", None, None, None)], start=2):
        d = "2026/11/%02d " % day
        sato.append(line("LOGON ", "佐藤", d + on + ":00", "PC01"))
        if lock:
            sato += [line("LOCK  ", "佐藤", d + lock + ":00", "PC01"), line("UNLOCK", "佐藤", d + unlock + ":00", "PC01")]
        if off:
            sato.append(line("LOGOFF", "佐藤", d + off + ":00", "PC01", reason="ログオフ"))
    # A cancelled shutdown: two logoffs, the program ran on.
    sato += [line("LOGON ", "佐藤", "2026/11/05 08:30:00", "PC01"),
             line("LOGOFF", "佐藤", "2026/11/05 17:00:00", "PC01", reason="シャットダウン"),
             line("LOGOFF", "佐藤", "2026/11/05 17:40:00", "PC01", reason="シャットダウン"),
             "手で書いたメモ"]
    write(folder, "PC01.txt", sato, "cp932", newest_first=True)

    # A night shift past midnight, and a laptop asleep overnight inside one session (tab-separated).
    suzuki = [line("LOGON ", "鈴木", "2026/11/02 22:00:00", "PC02", "\t"),
              line("LOGOFF", "鈴木", "2026/11/03 06:15:00", "PC02", "\t"),
              line("LOGON ", "鈴木", "2026/11/04 09:00:00", "PC02", "\t"),
              line("SLEEP ", "鈴木", "2026/11/04 18:00:00", "PC02", "\t"),
              line("RESUME", "鈴木", "2026/11/05 08:45:00", "PC02", "\t"),
              line("LOGOFF", "鈴木", "2026/11/05 17:15:00", "PC02", "\t")]
    write(folder, "PC02.txt", suzuki, "cp932", newest_first=True)

    # The collector's files: UTF-8, oldest first, LF; one of them also holds a copy of PC01's first day.
    write(folder, "20261102.txt", [line("LOGON ", "佐藤", "2026/11/02 08:55:00", "pc01"),
                                   line("LOGON ", "Tanaka", "2026/11/02 10:00:00", "PC03"),
                                   line("LOGOFF", "TANAKA", "2026/11/02 15:30:00", "PC03")], "utf-8", end="\n")
    write(folder, "20261103.txt", [line("LOGON ", CRAFTED, "2026/11/03 09:00:00", FORMULA),
                                   line("LOGOFF", CRAFTED, "2026/11/03 11:00:00", FORMULA)], "utf-8", bom=True)
    write(folder, "notes.txt", ["会議室の予約", "LOGON  - 2026/11/99"], "utf-8")
