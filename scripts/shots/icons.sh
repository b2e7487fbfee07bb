#!/usr/bin/env bash
# Every image list of the program as one picture, at device pixel ratios 1
# and 2 (icons-dpr1.png, icons-dpr2.png), for review. They are written into
# the folder given (default: shots/ in the project folder).
#
#   scripts/shots/icons.sh [folder]
#
# Builds the widget test binary when needed and runs its contact-sheet test
# on Qt's offscreen platform.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
out="$(realpath -m "${1:-shots}")"
mkdir -p "$out"
if [ ! -f build-test/build.ninja ]; then
  cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKB_SANITIZE=ON -DKB_TESTS=ON >/dev/null
fi
cmake --build build-test -j3 --target kb_app_tests
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
KB_SHOTS_DIR="$out" QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 build-test/bin/kb_app_tests \
  --gtest_also_run_disabled_tests --gtest_filter='ImageLists.DISABLED_ContactSheet'
ls "$out"/icons-dpr*.png
