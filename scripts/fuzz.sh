#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs one of them.
#   scripts/fuzz.sh [seconds] [target]     defaults: 120 fuzz_keyed_archive
# The corpus grows in build-fuzz/corpus/<target>; crashes land in
# build-fuzz/artifacts/<target>/, and the script then fails.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_TO_RUN="${1:-120}"
TARGET="${2:-fuzz_keyed_archive}"

./scripts/install-deps.sh --fuzz
source scripts/build-env.sh
JOBS=$(( JOBS > 4 ? 4 : JOBS ))

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DCORVANE_FUZZ=ON -DCORVANE_TESTS=OFF >/dev/null
cmake --build build-fuzz -j "$JOBS" --target "$TARGET"
if cmake --build build-fuzz --target help | grep -q "^${TARGET}_seeds:"; then
  cmake --build build-fuzz -j "$JOBS" --target "${TARGET}_seeds"
fi

CORPUS="build-fuzz/corpus/$TARGET"
ARTIFACTS="build-fuzz/artifacts/$TARGET"
mkdir -p "$CORPUS" "$ARTIFACTS"
if [ -z "$(ls -A "$CORPUS")" ] && [ -x "build-fuzz/fuzz/${TARGET}_seeds" ]; then
  "build-fuzz/fuzz/${TARGET}_seeds" "$CORPUS"
fi

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
"build-fuzz/fuzz/$TARGET" -max_total_time="$SECONDS_TO_RUN" -timeout=10 -rss_limit_mb=2048 \
  -max_len=65536 -print_final_stats=1 -artifact_prefix="$ARTIFACTS/" "$CORPUS"
