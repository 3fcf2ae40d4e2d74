#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/) with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/ and runs each for SECONDS on a
# corpus grown from its seeds (fuzz/seeds/<target>/; the load target's are
# the sample files in fuzz/seeds/ itself, which the golden tests read too).
# Exits non-zero when a target does not build or finds a crash (the input is
# kept in build-fuzz/crashes/). clang and libFuzzer come from scripts/install-deps.sh
# --fuzz. CI runs it with 30 seconds.
# usage: scripts/fuzz.sh [SECONDS] [TARGET...]   (default 600; load project roles)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(load project roles)
scripts/install-deps.sh --fuzz
args=()
if command -v ccache >/dev/null && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
  args+=("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(cd .. && pwd)}"
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKORVALOG_FUZZ=ON -DKORVALOG_SANITIZE=address \
  -DKORVALOG_GUI=OFF -DKORVALOG_TESTS=OFF -DKORVALOG_BENCH=OFF "${args[@]}" >&2
build_targets=()
for t in "${targets[@]}"; do build_targets+=(--target "korvalog-$t-fuzzer"); done
cmake --build build-fuzz -j"$(nproc)" "${build_targets[@]}" >&2

# The load target reads its first byte as the kind of file: each sample goes
# in as a log (0), a value change dump (2) and a capture journal (4).
seed_corpus() {
  local target=$1 corpus=$2
  if [ "$target" != load ]; then
    cp fuzz/seeds/"$target"/* "$corpus"/
    return
  fi
  for f in fuzz/seeds/*; do
    [ -f "$f" ] || continue
    local base
    base=$(basename "$f")
    { printf '\000'; cat "$f"; } >"$corpus/log-$base"
    { printf '\002'; cat "$f"; } >"$corpus/dump-$base"
    { printf '\004'; cat "$f"; } >"$corpus/journal-$base"
  done
}

mkdir -p build-fuzz/crashes
failed=()
for t in "${targets[@]}"; do
  corpus=build-fuzz/corpus-$t
  mkdir -p "$corpus"
  seed_corpus "$t" "$corpus"
  echo "== korvalog-$t-fuzzer for ${seconds}s" >&2
  # Every input goes through a file: in memory where the machine has that.
  scratch_root=${TMPDIR:-/tmp}
  [ -w /dev/shm ] && scratch_root=/dev/shm
  scratch=$(mktemp -d "$scratch_root/korvalog-fuzz.XXXXXX")
  if ! KORVALOG_FUZZ_SCRATCH=$scratch build-fuzz/fuzz/korvalog-"$t"-fuzzer "$corpus" -max_total_time="$seconds" -max_len=65536 \
      -timeout=25 -rss_limit_mb=2048 -artifact_prefix="build-fuzz/crashes/$t-" -print_final_stats=1 >&2; then
    failed+=("$t")
  fi
  rm -rf "$scratch"
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: crashes in ${failed[*]}; inputs in build-fuzz/crashes/" >&2
  exit 1
fi
echo "fuzz: ${targets[*]} ran ${seconds}s each without a crash" >&2
