#!/usr/bin/env python3
"""Stats.dll is a 32-bit library that needs nothing but system DLLs: the C++
and GCC runtimes are linked in, so an operator copies one file."""

import argparse
import sys

import pe_tables

# DLLs that every Windows installation has.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll",
    "version.dll", "shell32.dll", "shlwapi.dll", "comctl32.dll", "comdlg32.dll", "uxtheme.dll", "ws2_32.dll",
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--objdump", default="objdump")
    parser.add_argument("dll")
    args = parser.parse_args()

    text = pe_tables.objdump_private(args.objdump, args.dll)
    faults = []
    if pe_tables.file_format(text) != "pei-i386":
        faults.append(f"not a 32-bit Windows library: format {pe_tables.file_format(text)}")
    dlls = pe_tables.imported_dlls(text)
    if not any(dll.lower() == "kernel32.dll" for dll in dlls):
        faults.append(f"no import of KERNEL32.dll found (import table unreadable?): {dlls}")
    for dll in dlls:
        if dll.lower() not in SYSTEM_DLLS:
            faults.append(f"imports {dll}, which is not a system DLL")

    print("imports:", ", ".join(dlls))
    for fault in faults:
        print("FAULT:", fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
