#!/usr/bin/env bash
# A household's first hour and first month on a real X server (Xvfb), in
# English and in Japanese (tests/app/FirstHourTest.cpp): a book from a
# template, an income, an expense, a transfer and a deleted-then-restored row
# typed in the bank's book, saved, closed, opened again and its balances
# checked; then a month: saved under a name typed without an extension, a
# loan through the loan editor with the viewer's totals checked at once, rows
# typed out of date order with their balances checked, a report and a chart
# printed. Each run gets a fresh home folder, so nothing of the user's
# settings or books takes part.
#   scripts/first-hour.sh [build-dir]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD="${1:-build}"
TESTS="$BUILD/tests/cv_app_tests"
if [ ! -x "$TESTS" ]; then
  echo "first-hour: $TESTS is missing; build the tree first" >&2
  exit 2
fi
if ! command -v xvfb-run >/dev/null; then
  echo "first-hour: xvfb-run is missing (scripts/install-deps.sh installs xvfb)" >&2
  exit 2
fi
HOME_DIR="$(mktemp -d)"
trap 'rm -rf "$HOME_DIR"' EXIT
mkdir -p "$HOME_DIR/runtime"
chmod 700 "$HOME_DIR/runtime"
env -i PATH="$PATH" HOME="$HOME_DIR" XDG_RUNTIME_DIR="$HOME_DIR/runtime" \
  XDG_CONFIG_HOME="$HOME_DIR/.config" XDG_DATA_HOME="$HOME_DIR/.local/share" \
  XDG_CACHE_HOME="$HOME_DIR/.cache" LC_ALL=C.UTF-8 CV_TEST_PLATFORM=xcb \
  timeout 120 xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$TESTS" --gtest_filter='BothLanguages/FirstHour.*:DelegateTest.OnlyANewPasswordMarksTheBookEdited' --gtest_brief=1
echo "first-hour: the first hour and month passed in English and Japanese on Xvfb"
