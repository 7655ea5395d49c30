"""Reads the tables of a Windows PE file from `objdump -p` output."""

import re
import subprocess


def objdump_private(objdump, path):
    return subprocess.run([objdump, "-p", path], check=True, capture_output=True, text=True).stdout


def file_format(text):
    """The BFD name of the file's format, e.g. "pei-i386"."""
    match = re.search(r"file format (\S+)", text)
    return match.group(1) if match else None


def exports(text):
    """{exported name: RVA}. The number in brackets of the name table is the
    index into the export address table."""
    section = text.split("Export Address Table -- Ordinal Base", 1)
    if len(section) < 2:
        return {}
    addresses = {}
    for index, rva in re.findall(r"^\s*\[\s*(\d+)\] \+base\[\s*\d+\] ([0-9a-fA-F]+) Export RVA", section[1], re.M):
        addresses[int(index)] = int(rva, 16)
    names_part = section[1].split("[Ordinal/Name Pointer] Table", 1)
    if len(names_part) < 2:
        return {}
    names = {}
    for line in names_part[1].splitlines():
        match = re.match(r"^\s*\[\s*(\d+)\] (\S+)$", line)
        if match:
            names[match.group(2)] = addresses.get(int(match.group(1)))
        elif names and line.strip():
            break
    return names


def imported_dlls(text):
    return re.findall(r"^\s*DLL Name: (\S+)", text, re.M)
