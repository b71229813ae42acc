#!/usr/bin/env bash
# Builds the Windows program (cross-compiled) and, with "native", the portable core's tests.
#   scripts/build.sh [win|native|all]   (default: win)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
what=${1:-win}
jobs=$(nproc)
werror=${TILLERDOCK_WARNINGS_AS_ERRORS:-ON}

if [ "$what" = native ] || [ "$what" = all ]; then
    cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Debug \
        -DTILLERDOCK_WARNINGS_AS_ERRORS="$werror" >/dev/null
    cmake --build "$root/build/native" -j "$jobs"
fi
if [ "$what" = win ] || [ "$what" = all ]; then
    cmake -S "$root" -B "$root/build/win" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DTILLERDOCK_WARNINGS_AS_ERRORS="$werror" >/dev/null
    cmake --build "$root/build/win" -j "$jobs"
fi
