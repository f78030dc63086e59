#!/usr/bin/env python3
"""Checks the release archive: exactly the two programs for both architectures, the guide and the licence, with
the guide's name and text as Japanese Windows reads them.

usage: check_dist.py ARCHIVE VERSION
"""
import struct
import sys
import zipfile

GUIDE = "はじめにお読みください.txt"
UTF8_FLAG = 0x800


def name_of(info):
    # Without the UTF-8 flag the name's bytes are in the reader's code page: 932 on Japanese Windows.
    if info.flag_bits & UTF8_FLAG:
        return info.filename
    return info.filename.encode("cp437").decode("cp932")


def machine(exe):
    pe = struct.unpack_from("<I", exe, 0x3C)[0]
    return struct.unpack_from("<H", exe, pe + 4)[0] if exe[pe:pe + 4] == b"PE\0\0" else None


def main(archive, version):
    problems = []
    with zipfile.ZipFile(archive) as z:
        entries = {name_of(i): i for i in z.infolist()}
        programs = [(arch + "/" + exe, machine_code) for arch, machine_code in (("x64", 0x8664), ("x86", 0x14C))
                    for exe in ("Zentrok.exe", "ZentrokReport.exe")]
        expected = {name for name, _ in programs} | {GUIDE, "LICENSE.txt"}
        if set(entries) != expected:
            problems.append("holds %s, not %s" % (sorted(entries), sorted(expected)))
        if GUIDE in entries and entries[GUIDE].flag_bits & UTF8_FLAG:
            problems.append("the guide's name is flagged UTF-8, not stored in CP932")
        for name, arch in programs:
            if name in entries and machine(z.read(entries[name])) != arch:
                problems.append("%s is not a program for machine %#x" % (name, arch))
        for name in (GUIDE, "LICENSE.txt"):
            if name not in entries:
                continue
            data = z.read(entries[name])
            if data.count(b"\n") != data.count(b"\r\n") or b"\r\n" not in data:
                problems.append("%s: lines don't all end in CR LF" % name)
        if GUIDE in entries:
            try:
                text = z.read(entries[GUIDE]).decode("cp932")
            except UnicodeDecodeError as e:
                problems.append("the guide is not CP932: %s" % e)
                text = ""
            for needed in ("バージョン " + version, "shell:startup", "PROTECT", "Zentrok.ini", "NameKind",
                           "LOGON  - ", "アンインストール", "ZentrokReport", "/CSV"):
                if needed not in text:
                    problems.append("the guide doesn't mention %s" % needed)
            if "@VERSION@" in text:
                problems.append("the guide's version wasn't filled in")
    for p in problems:
        print("%s: %s" % (archive, p))
    if not problems:
        print("%s: %s" % (archive, ", ".join(sorted(entries))))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
