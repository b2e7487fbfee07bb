#!/usr/bin/env bash
# Writes the frames of a first hour in the real main window for review:
# the sample opened, a line drawn (with its band), a polyline ended with
# Enter, a command left with Esc, New, a DXF with blocks, the sample again.
# Usage: scripts/shots/first-hour.sh [output folder] (default shots/first-hour).
# Builds the OpenGL test binary into build-test/ (KB_BUILD_DIR names another
# folder) and runs it under xvfb-run.
set -euo pipefail
out="$(realpath -m "${1:-shots/first-hour}")"
cd "$(dirname "$0")/../.."
build="${KB_BUILD_DIR:-build-test}"
scripts/deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKB_SANITIZE=ON -DKB_TESTS=ON >/dev/null
cmake --build "$build" --target kb_gl_tests
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
mkdir -p "$out"
KB_SHOTS_DIR="$out" LSAN_OPTIONS="suppressions=$PWD/tests/gl/lsan.supp" \
  xvfb-run -a -s "-screen 0 1280x800x24" "$build/bin/kb_gl_tests" --gtest_filter='FirstHourShots.*'
echo "Frames written to $out"
