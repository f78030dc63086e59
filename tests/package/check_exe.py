#!/usr/bin/env python3
"""Checks a built Zentrok.exe or ZentrokReport.exe as a Windows user gets it: a program
of its subsystem that needs only the system's own DLLs, with its manifest and its version resource.

usage: check_exe.py OBJDUMP EXE VERSION
"""
import os
import re
import struct
import subprocess
import sys

# DLLs every Windows since Vista has; anything else (a MinGW runtime DLL) would be missing.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "ole32.dll", "comctl32.dll",
               "advapi32.dll", "msvcrt.dll", "msimg32.dll", "oleaut32.dll", "comdlg32.dll", "shlwapi.dll",
               "uxtheme.dll", "version.dll", "winspool.drv"}
RT_VERSION, RT_MANIFEST = 16, 24
COMMON_MANIFEST = ('level="asInvoker"', "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}")
# Per program: subsystem number and name, what its manifest must hold beyond the common part, its description.
PROGRAMS = {
    "zentrok.exe": (2, "GUI", ("Microsoft.Windows.Common-Controls", 'version="6.0.0.0"', "<dpiAware", "true/pm",
                               "PerMonitorV2, PerMonitor"), "ログオン・ログオフ記録ツール", "Zentrok.exe"),
    "zentrokreport.exe": (3, "console", (), "勤務時間レポート", "ZentrokReport.exe"),
}


def resources(data):
    """{(type, name): bytes} of the PE file's resources (first language of each)."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0", "not a PE file"
    sections = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (112 if magic == 0x20B else 96)
    rsrc_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
    table = optional + optional_size
    for i in range(sections):
        _, vsize, va, rawsize, rawptr = struct.unpack_from("<8sIIII", data, table + 40 * i)
        if va <= rsrc_rva < va + max(vsize, rawsize):
            base = rawptr + rsrc_rva - va
            delta = va - rawptr
            break
    else:
        return {}

    def entries(offset):
        named, ids = struct.unpack_from("<HH", data, base + offset + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", data, base + offset + 16 + 8 * i)
            yield name, target

    found = {}
    for rtype, t in entries(0):
        for rname, n in entries(t & 0x7FFFFFFF):
            _, leaf = next(entries(n & 0x7FFFFFFF))
            rva, size = struct.unpack_from("<II", data, base + leaf)
            found[(rtype, rname)] = data[rva - delta:rva - delta + size]
    return found


def version_strings(block):
    """{(language block, key): value} of a VS_VERSIONINFO resource."""
    out = {}

    def node(offset, path):
        length, value_length, kind = struct.unpack_from("<HHH", block, offset)
        end = offset + length
        key_end = offset + 6
        while block[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = block[offset + 6:key_end].decode("utf-16le")
        pos = (key_end + 2 + 3) & ~3
        if kind == 1 and value_length:
            out[(path[-1] if path else "", key)] = block[pos:pos + 2 * value_length].decode("utf-16le").rstrip("\0")
            pos += 2 * value_length
        else:
            pos += value_length
        pos = (pos + 3) & ~3
        while pos < end:
            pos = (node(pos, path + [key]) + 3) & ~3
        return end

    node(0, [])
    return out


def main(objdump, exe, version):
    try:
        open(exe, "rb").close()
    except OSError as e:
        print("%s: %s" % (exe, e.strerror))
        return 1
    problems = []
    dump = subprocess.run([objdump, "-p", exe], capture_output=True, text=True, check=True).stdout
    dlls = {d.lower() for d in re.findall(r"DLL Name: (\S+)", dump)}
    if not dlls:
        problems.append("no imports found")
    for dll in sorted(dlls - SYSTEM_DLLS):
        problems.append("imports %s, which Windows doesn't ship" % dll)
    subsystem, kind, manifest_needs, description, name = PROGRAMS[os.path.basename(exe).lower()]
    if not re.search(r"^Subsystem\s+0000000%d\b" % subsystem, dump, re.M):
        problems.append("not a %s-subsystem program" % kind)

    data = open(exe, "rb").read()
    res = resources(data)
    manifest = res.get((RT_MANIFEST, 1), b"").decode("utf-8", "replace")
    for needed in COMMON_MANIFEST + manifest_needs:
        if needed not in manifest:
            problems.append("manifest lacks %s" % needed)

    strings = version_strings(res.get((RT_VERSION, 1), b"\0" * 8)) if (RT_VERSION, 1) in res else {}
    expected = {"ProductName": "Zentrok", "FileDescription": description,
                "FileVersion": version, "ProductVersion": version, "OriginalFilename": name}
    for key, value in expected.items():
        got = strings.get(("041103a4", key))
        if got != value:
            problems.append("version resource: %s is %r, not %r" % (key, got, value))
    for p in problems:
        print("%s: %s" % (exe, p))
    if not problems:
        print("%s: imports %s; %s; manifest and version %s present" % (exe, ", ".join(sorted(dlls)), kind, version))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
