#!/usr/bin/env bash
# Installs what is missing, builds, and starts Corvane.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
source scripts/build-env.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_TESTS=OFF >/dev/null
cmake --build build-release -j "$JOBS" --target corvane
exec ./build-release/corvane "$@"
