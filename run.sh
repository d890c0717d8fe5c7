#!/usr/bin/env bash
# The main job: builds the lmpack tool and shows a short tour of what it does.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
export CCACHE_NOHASHDIR=true
cmake -S . -B build/main -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/main --target lmpack -j "$(nproc)"
lmpack=build/main/apps/lmpack/lmpack

tour() {
  echo "\$ lmpack $*"
  "$lmpack" "$@" || true
  echo
}
tour words rur 21.01
tour words rur 2000000
tour words usd 1,21
tour translit re Щука
tour translit er schuka
