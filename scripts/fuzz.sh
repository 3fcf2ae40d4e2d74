#!/usr/bin/env bash
# Builds the load fuzzer with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/, seeds a corpus from the test
# files, and runs it. Not part of the tests.
# usage: scripts/fuzz.sh [SECONDS]   (default 600)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
if ! command -v clang++ >/dev/null; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends clang
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKORVALOG_FUZZ=ON -DKORVALOG_SANITIZE=address \
  -DKORVALOG_GUI=OFF -DKORVALOG_TESTS=OFF -DKORVALOG_BENCH=OFF >&2
cmake --build build-fuzz -j2 --target korvalog-load-fuzzer >&2

# The seed corpus: every sample file, as a project (first byte 1), as a log
# (first byte 0), as a value change dump (first byte 2) and as a capture
# journal (first byte 4).
corpus=build-fuzz/corpus
mkdir -p "$corpus"
for f in fuzz/seeds/*; do
  base=$(basename "$f")
  { printf '\001'; cat "$f"; } >"$corpus/project-$base"
  { printf '\000'; cat "$f"; } >"$corpus/log-$base"
  { printf '\002'; cat "$f"; } >"$corpus/dump-$base"
  { printf '\004'; cat "$f"; } >"$corpus/journal-$base"
done
exec build-fuzz/fuzz/korvalog-load-fuzzer "$corpus" -max_total_time="$seconds" -max_len=65536 \
  -print_final_stats=1
