#!/usr/bin/env bash
# Builds everything and runs every test; ends with ctest's summary line.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh

export CCACHE_NOHASHDIR=true CCACHE_BASEDIR="$PWD"
jobs=$(nproc)

# The core must not see Qt: no file outside a ui/ folder includes a Qt header...
qt_includes=$(grep -rnE '^\s*#\s*include\s*[<"]Q[A-Za-z]*(/|>|")' src apps/lmpack tests bench fuzz \
                | grep -vE '^[^:]*/ui/' || true)
if [ -n "$qt_includes" ]; then
  echo "Qt headers included outside a ui/ folder:" >&2
  echo "$qt_includes" >&2
  exit 1
fi
# ...and the core builds with Qt absent.
cmake -S . -B build/core-only -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DLMPACK_WIDGETS=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON \
  -DLMPACK_TESTS=OFF -DLMPACK_BENCH=OFF --no-warn-unused-cli >/dev/null
cmake --build build/core-only --target lmcore_all -j "$jobs"

cmake -S . -B build/main -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/main -j "$jobs"
cd build/main
ctest --output-on-failure -j "$jobs" --timeout 600
