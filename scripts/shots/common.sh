# Sourced by the picture scripts that run the OpenGL test binary: goes to the
# project folder, takes the output folder from the caller's first argument
# (default: shots/ in the project folder), builds kb_gl_tests (or the
# binary named by KB_SHOTS_TARGET) into
# build-test/ when needed, and defines shoot_gl FILTER, which runs the
# picture tests of the filter under a virtual display (xvfb-run).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
out="$(realpath -m "${1:-shots}")"
mkdir -p "$out"
if [ ! -f build-test/build.ninja ]; then
  cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKB_SANITIZE=ON -DKB_TESTS=ON >/dev/null
fi
cmake --build build-test -j3 --target "${KB_SHOTS_TARGET:-kb_gl_tests}"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
export LSAN_OPTIONS="suppressions=$PWD/tests/gl/lsan.supp"

shoot_gl() {
  KB_SHOTS_DIR="$out" xvfb-run -a -s "-screen 0 1280x800x24" build-test/bin/kb_gl_tests \
    --gtest_also_run_disabled_tests --gtest_filter="$1"
}
