#!/usr/bin/env python3
"""What tillerdock.exe is made of: the GNU linker's map of its link, summed by object.

    bench/size_map.py MAP [--top N] [--markdown]

Reads the map the benchmark's build writes beside tillerdock.exe (-Wl,-Map) and prints the
bytes each part and each linked object add to the file, largest first: the program's own
code by source file, its resources, the import tables, and the runtime libraries by archive
member. Memory-only sections (.bss) and the linker's alignment fill are left out; what the
file holds beyond the total is its headers and the padding of its sections.
"""
import collections
import os
import re
import sys

# Output sections that take room in the file; .bss takes memory only.
FILE_SECTIONS = {".text", ".data", ".rdata", ".pdata", ".xdata", ".idata", ".CRT", ".tls",
                 ".rsrc", ".reloc", ".buildid"}
# The static runtime's archives, by what they are to a reader of the table.
RUNTIME = {
    "libstdc++.a": "C++ library (libstdc++)",
    "libgcc.a": "compiler support (libgcc)",
    "libgcc_eh.a": "exception unwinding (libgcc_eh)",
    "libmingwex.a": "C library extensions (mingw-w64)",
    "libmingw32.a": "start-up code (mingw-w64)",
    "crt2u.o": "start-up code (mingw-w64)",
    "crtbegin.o": "start-up code (mingw-w64)",
    "crtend.o": "start-up code (mingw-w64)",
    "libpthread.a": "posix thread layer (winpthreads)",
}
# An input section line: " .text  0xADDRESS  0xSIZE  file", or its name alone on one line
# and the rest on the next when the name is long.
INPUT = re.compile(r"^ (\.\S+|COMMON)\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$")
INPUT_NAME_ONLY = re.compile(r"^ (\.\S+|COMMON)\s*$")
INPUT_REST = re.compile(r"^\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$")
OUTPUT = re.compile(r"^(\.\S+)\s")


def object_name(path):
    """(part, object) for a linked file: "src/…" for the program's sources, archive(member)
    for a library's."""
    if path == "dll stuff":
        return "base relocations", ".reloc (address space layout randomisation)"
    m = re.match(r"(.*)\((.*)\)$", path)
    archive, member = (os.path.basename(m.group(1)), m.group(2)) if m else ("", path)
    if member.endswith(".res"):
        return "resources (icon, manifest, version)", member
    if archive.startswith("libtillerdock_") or archive == "objects.a":
        return "the program's own code", re.sub(r"\.(cpp\.)?obj$", ".cpp", member)
    name = os.path.basename(member)
    if archive and archive not in RUNTIME:
        # A system library's import library: its import tables and a few small functions.
        return "import tables", re.sub(r"^lib(.*)\.a$", r"\1.dll", archive)
    part = RUNTIME.get(archive or name, archive or name)
    return part, f"{archive}({member})" if archive else name


def read(map_path):
    """Bytes per (part, object)."""
    sizes = collections.Counter()
    output, pending = None, False
    with open(map_path, encoding="utf-8", errors="replace") as f:
        lines = iter(f)
        for line in lines:
            if line.startswith("Linker script and memory map"):
                break
        for line in lines:
            line = line.rstrip("\n")
            size_and_file = None
            if pending:
                pending = False
                m = INPUT_REST.match(line)
                if m:
                    size_and_file = m.groups()
            elif OUTPUT.match(line):
                output = OUTPUT.match(line).group(1)
                continue
            elif INPUT_NAME_ONLY.match(line):
                pending = True
                continue
            elif INPUT.match(line):
                size_and_file = INPUT.match(line).groups()[1:]
            if size_and_file and output in FILE_SECTIONS:
                sizes[object_name(size_and_file[1])] += int(size_and_file[0], 16)
    return sizes


def main():
    args = sys.argv[1:]
    if not args or args[0].startswith("-"):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    top = int(args[args.index("--top") + 1]) if "--top" in args else 25
    sizes = read(args[0])
    parts = collections.Counter()
    for (part, _), size in sizes.items():
        parts[part] += size
    total = sum(sizes.values())
    largest = sizes.most_common(top)
    if "--markdown" in args:
        print("| Part | Bytes |\n|---|---:|")
        for part, size in parts.most_common():
            print(f"| {part} | {size:,} |")
        print(f"| all linked objects | {total:,} |\n")
        print(f"| The {len(largest)} largest objects | Part | Bytes |\n|---|---|---:|")
        for (part, name), size in largest:
            print(f"| `{name}` | {part} | {size:,} |")
    else:
        for part, size in parts.most_common():
            print(f"{size:>9,}  {part}")
        print(f"{total:>9,}  all linked objects\n")
        for (part, name), size in largest:
            print(f"{size:>9,}  {name}  ({part})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
