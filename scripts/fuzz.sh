#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs them.
#   scripts/fuzz.sh [seconds] [target]   fuzzes one target; defaults: 120 fuzz_keyed_archive
#   scripts/fuzz.sh --check              builds every target and runs each once over
#                                        freshly written seeds (a minute or two)
# The corpus grows in build-fuzz/corpus/<target>; crashes land in
# build-fuzz/artifacts/<target>/, and the script then fails.
set -euo pipefail
cd "$(dirname "$0")/.."
CHECK=0
if [ "${1:-}" = "--check" ]; then
  CHECK=1
  shift
fi
SECONDS_TO_RUN="${1:-120}"
TARGET="${2:-fuzz_keyed_archive}"

./scripts/install-deps.sh --fuzz
source scripts/build-env.sh
JOBS=$(( JOBS > 4 ? 4 : JOBS ))

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DCORVANE_FUZZ=ON -DCORVANE_TESTS=OFF >/dev/null

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen

# A saved book is bigger than an archive or an XML file.
max_len() {
  case "$1" in
    fuzz_document_file) echo 262144 ;;
    *) echo 65536 ;;
  esac
}

if [ "$CHECK" = 1 ]; then
  HELP=$(cmake --build build-fuzz --target help)
  mapfile -t TARGETS < <(sed -n 's/^\(fuzz_[a-z0-9_]*\): .*/\1/p' <<<"$HELP" | grep -Ev '_seeds$|_autogen')
  cmake --build build-fuzz -j "$JOBS" --target "${TARGETS[@]}" \
    $(printf '%s_seeds ' "${TARGETS[@]}")
  SEEDS_ROOT=$(mktemp -d)
  trap 'rm -rf "$SEEDS_ROOT"' EXIT
  for t in "${TARGETS[@]}"; do
    mkdir -p "$SEEDS_ROOT/$t" "build-fuzz/artifacts/$t"
    "build-fuzz/fuzz/${t}_seeds" "$SEEDS_ROOT/$t" 2>"$SEEDS_ROOT/$t.log" \
      || { cat "$SEEDS_ROOT/$t.log" >&2; echo "fuzz check: the seeds of $t failed" >&2; exit 1; }
    echo "fuzz check: $t over $(ls "$SEEDS_ROOT/$t" | wc -l) seeds"
    "build-fuzz/fuzz/$t" -runs=0 -timeout=10 -rss_limit_mb=2048 -max_len="$(max_len "$t")" \
      -artifact_prefix="build-fuzz/artifacts/$t/" "$SEEDS_ROOT/$t" 2>"$SEEDS_ROOT/$t.log" \
      || { cat "$SEEDS_ROOT/$t.log" >&2; echo "fuzz check: $t failed" >&2; exit 1; }
  done
  echo "fuzz check: ${#TARGETS[@]} targets pass over their seeds"
  exit 0
fi

cmake --build build-fuzz -j "$JOBS" --target "$TARGET"
# Not piped into grep -q: under pipefail its early exit would fail the listing.
HELP=$(cmake --build build-fuzz --target help)
if grep -q "^${TARGET}_seeds:" <<<"$HELP"; then
  cmake --build build-fuzz -j "$JOBS" --target "${TARGET}_seeds"
fi

CORPUS="build-fuzz/corpus/$TARGET"
ARTIFACTS="build-fuzz/artifacts/$TARGET"
mkdir -p "$CORPUS" "$ARTIFACTS"
if [ -z "$(ls -A "$CORPUS")" ] && [ -x "build-fuzz/fuzz/${TARGET}_seeds" ]; then
  "build-fuzz/fuzz/${TARGET}_seeds" "$CORPUS"
fi

"build-fuzz/fuzz/$TARGET" -max_total_time="$SECONDS_TO_RUN" -timeout=10 -rss_limit_mb=2048 \
  -max_len="$(max_len "$TARGET")" -print_final_stats=1 -artifact_prefix="$ARTIFACTS/" "$CORPUS"
