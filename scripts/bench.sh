#!/usr/bin/env bash
# Installs what is missing, builds tillerdock.exe and the benchmark (in build/bench),
# and measures Tillerdock against two baselines, a minimal tray program and its main window
# in plain Win32, under Wine on a virtual display: start-up (CPU time and wall-clock time),
# memory, idle cost, launch latency, the time from a press to the launch menu on the screen
# and size, with a map of what the program's file is made of. Prints the table and writes it,
# with the machine it ran on, to docs/benchmarks.md.
# The last line printed is the verdict over every target in the table, "N met, M missed"
# (a figure that could not be measured counts as missed).
#   scripts/bench.sh [--runs N] [--config CONFIG]
# N timings per figure (default 40); CONFIG is the CMake build type (default Release;
# MinSizeRel is the build scripts/release.sh packs).
# The benchmark is not part of scripts/test.sh: it takes a few minutes and wants a quiet
# machine (run it again when the load average printed with the results is high).
set -euo pipefail
. "$(dirname "$0")/system-path.sh"
root=$(cd "$(dirname "$0")/.." && pwd)
runs=40
config=Release
while [ $# -gt 0 ]; do
    case "$1" in
        --runs) runs=$2; shift 2 ;;
        --config) config=$2; shift 2 ;;
        *) echo "usage: scripts/bench.sh [--runs N] [--config CONFIG]" >&2; exit 2 ;;
    esac
done

"$root/scripts/install-deps.sh"
build="$root/build/bench"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="$config" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DTILLERDOCK_TESTS=OFF -DTILLERDOCK_BENCH=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target bench

# A Wine prefix of the benchmark's own, kept between runs (a fresh one takes 10-15 s and
# would only add its first-start work to the first measurements).
prefix=${TILLERDOCK_BENCH_WINEPREFIX:-/tmp/wine-bench}
results="$build/results.md"
verdict="$build/verdict.txt"
rm -f "$results" "$verdict"
# The programs measured, Wine's own processes and the X server all run on one processor, at a
# raised priority where the user may raise it: other work on the machine then comes between
# the steps of a start as little as it can, and the two starts of a pair meet the same
# processor (bench/method.md).
pinned=(taskset -c "$(($(nproc) - 1))")
if [ "$(id -u)" = 0 ]; then
    pinned+=(nice -n -20)
fi
(cd "$build" && "${pinned[@]}" "$root/scripts/under-wine.sh" "$prefix" \
    wine bench.exe --runs "$runs" --build "$config" --markdown results.md --verdict verdict.txt)
if [ ! -s "$results" ] || [ ! -s "$verdict" ]; then
    echo "bench.exe wrote no results" >&2
    exit 1
fi

# What the program's file is made of, from the map the link wrote beside it (GNU ld's).
sizes="$build/size-map.md"
if [ -s "$build/tillerdock.map" ]; then
    python3 "$root/bench/size_map.py" "$build/tillerdock.map" --markdown --top 20 >"$sizes"
else
    echo "No map of the link was written." >"$sizes"
fi

# The document: what is measured and how, the latest table and the size map, then what
# explains each miss.
{
    cat "$root/bench/method.md"
    echo
    cat "$results"
    echo
    echo "### What tillerdock.exe is made of"
    echo
    echo "The bytes each linked object adds to the file, from the map of the link measured above"
    echo "(\`bench/size_map.py\`); the rest of the file is its headers and the padding of its"
    echo "sections. The findings below say why the largest stay."
    echo
    cat "$sizes"
    echo
    cat "$root/bench/findings.md"
} >"$root/docs/benchmarks.md"
echo "Wrote docs/benchmarks.md"
# For scripts: the verdict alone, last.
cat "$verdict"
