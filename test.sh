#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
source scripts/build-env.sh

run_tree() {
  local dir="$1"; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
  (cd "$dir" && ctest --output-on-failure -j "$JOBS")
}

scripts/check-node-kinds.sh
scripts/check-errands.sh
run_tree build
scripts/first-hour.sh build
if [ "${CI:-}" = "true" ] || [ "${CORVANE_SANITIZE:-}" = "1" ]; then
  echo "== AddressSanitizer + UndefinedBehaviorSanitizer =="
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  export LSAN_OPTIONS="suppressions=$PWD/tests/support/lsan.supp"
  run_tree build-asan -DCORVANE_SANITIZE=ON
fi
