#!/usr/bin/env bash
# Builds the Windows program and its tests (cross-compiled with mingw-w64's GCC, build/win),
# the portable core's tests (native, build/native), and the Windows program alone with clang
# (build/clang), each with warnings as errors.
#   scripts/build.sh [win|native|clang|all]   (default: win)
set -euo pipefail
. "$(dirname "$0")/system-path.sh"
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
if [ "$what" = clang ] || [ "$what" = all ]; then
    cmake -S "$root" -B "$root/build/clang" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/clang-mingw-w64-x86_64.cmake" -DTILLERDOCK_TESTS=OFF \
        -DTILLERDOCK_WARNINGS_AS_ERRORS="$werror" >/dev/null
    cmake --build "$root/build/clang" -j "$jobs" --target tillerdock
fi
