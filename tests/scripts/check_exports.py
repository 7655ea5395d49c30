#!/usr/bin/env python3
"""The export table of Stats.dll, as the host sees it: every entry point under
its plain name and under the decorated name of its typed signature, both at the
same address; GetExchgCount0 at the address of GetNumberOfSets; and nothing
else exported."""

import argparse
import re
import subprocess
import sys

import pe_tables

TEXT = "char const *"
DATE = "struct DateTimeValue const *"
INT = "int"
UINT = "unsigned int"
DOUBLE = "double"
BUFFER = "char *"


def signature(result, name, *groups):
    """The demangled form of a cdecl function; groups are (type, count)."""
    params = [kind for kind, count in groups for _ in range(count)]
    return f"{result} __cdecl {name}({', '.join(params) if params else 'void'})"


QSO_BLOCK = ((TEXT, 2), (DATE, 4), (UINT, 2), (TEXT, 15), (INT, 3), (DOUBLE, 2), (TEXT, 5))

# Plain name: the signature its decorated name must demangle to.
ENTRY_POINTS = {
    "ResetStats0": signature("int", "ResetStats0", (TEXT, 1), (INT, 1), (TEXT, 1), (DATE, 2), (TEXT, 10),
                             (INT, 3), (DOUBLE, 2), (TEXT, 3)),
    "AddData0": signature("int", "AddData0", *QSO_BLOCK),
    "RemoveData0": signature("int", "RemoveData0", *QSO_BLOCK),
    "CheckCall0": signature("int", "CheckCallFunc0", (TEXT, 1), (UINT, 2), (TEXT, 11), (INT, 3), (DOUBLE, 2),
                            (TEXT, 7), (BUFFER, 2)),
    "GetResult0": signature("char *", "GetResult0", ("int *", 1)),
    "GetNumberOfSets": signature("int", "GetNumberOfSets"),
    "GetSetName": signature("char *", "GetSetName", (INT, 1)),
    "SetupSet0": signature("void", "SetupSet0"),
    "IsValidExchg0": signature("int", "StatsIsValidExchg0", (TEXT, 4), (INT, 3)),
    "GetExchgCount0": signature("int", "StatsGetExchgCount0", (TEXT, 3)),
}


def def_names(path):
    """The export names of a module-definition file."""
    names = []
    in_exports = False
    with open(path, encoding="ascii") as lines:
        for line in lines:
            line = line.split(";", 1)[0].strip()
            if not line:
                continue
            if re.match(r"^(LIBRARY|NAME|DESCRIPTION|STACKSIZE|HEAPSIZE|SECTIONS|VERSION)\b", line):
                in_exports = False
            elif line == "EXPORTS":
                in_exports = True
            elif in_exports:
                names.append(line.split("=", 1)[0].split()[0])
    return names


def demangle(undname, name):
    out = subprocess.run([undname, name], check=True, capture_output=True, text=True).stdout
    lines = [line for line in out.splitlines() if line.strip()]
    return lines[-1] if lines else ""


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--objdump", default="objdump")
    parser.add_argument("--undname", default="llvm-undname")
    parser.add_argument("--def", dest="def_file", required=True)
    parser.add_argument("dll")
    args = parser.parse_args()

    exported = pe_tables.exports(pe_tables.objdump_private(args.objdump, args.dll))
    faults = []
    if not exported:
        faults.append("no export table found")

    decorated = {name: demangle(args.undname, name) for name in exported if name.startswith("?")}
    for plain, expected in ENTRY_POINTS.items():
        if plain not in exported:
            faults.append(f"{plain} is not exported")
            continue
        matches = [name for name, text in decorated.items() if text == expected]
        if len(matches) != 1:
            faults.append(f"{plain}: {len(matches)} decorated exports demangle to '{expected}'")
        elif exported[matches[0]] != exported[plain]:
            faults.append(f"{plain} at {exported[plain]:#x} but {matches[0]} at {exported[matches[0]]:#x}")

    if exported.get("GetExchgCount0") != exported.get("GetNumberOfSets"):
        faults.append("GetExchgCount0 and GetNumberOfSets are not the same entry point")

    expected_count = 2 * len(ENTRY_POINTS)
    if len(exported) != expected_count:
        faults.append(f"{len(exported)} names exported, {expected_count} expected: {sorted(exported)}")
    for name in def_names(args.def_file):
        if name not in exported:
            faults.append(f"{name} of the definition file is not exported")

    for name in sorted(exported):
        print(f"{exported[name]:#010x} {name}" + (f"  ->  {decorated[name]}" if name in decorated else ""))
    for fault in faults:
        print("FAULT:", fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
