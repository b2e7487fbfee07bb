#!/usr/bin/env bash
# A picture of the label editor with three labels for review, written as
# label-editor.png into the folder given (default: shots/ in the project
# folder).
#
#   scripts/shots/label-editor.sh [folder]
#
# Builds the widget test binary into build-test/ (KB_BUILD_DIR names another
# folder) and runs its picture test on Qt's offscreen platform.
set -euo pipefail
out="$(realpath -m "${1:-shots}")"
cd "$(dirname "$0")/../.."
build="${KB_BUILD_DIR:-build-test}"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKB_SANITIZE=ON -DKB_TESTS=ON >/dev/null
fi
cmake --build "$build" --target kb_cad_ui_tests
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
mkdir -p "$out"
KB_SHOTS_DIR="$out" QT_QPA_PLATFORM=offscreen "$build/bin/kb_cad_ui_tests" \
  --gtest_also_run_disabled_tests --gtest_filter='LabelEditorTest.DISABLED_ShotForReview'
ls "$out/label-editor.png"
