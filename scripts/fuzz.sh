#!/usr/bin/env bash
# Runs one libFuzzer target for a set time on its seed corpus.
# Usage: scripts/fuzz.sh TARGET [SECONDS]     (targets: the *_fuzz.cpp files in fuzz/)
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
target="${1:?target, e.g. settings_parser_fuzz}"
seconds="${2:-60}"
build="$top/build-fuzz"

"$top/scripts/install-deps.sh"
CC=clang CXX=clang++ cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DDOVREL_FUZZ=ON -DDOVREL_BUILD_GUI=OFF -DDOVREL_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target "$target"
corpus_name="${target%_fuzz}"
work="$build/corpus/$corpus_name"
mkdir -p "$work"
"$build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 "$work" "$top/fuzz/corpus/$corpus_name"
