#!/usr/bin/env bash
# Installs what is missing (as run.sh does), builds everything with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs=$(nproc)
# Line tables are all the sanitizers' reports need (file and line of every
# frame); lld links the large instrumented binaries in a fraction of ld's
# time; the test binaries compile their files in batches. Every test runs in
# a process of its own: linked at a fixed address, a test binary starts
# without relocating its million pointers of sanitizer data first.
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKB_SANITIZE=ON -DKB_TESTS=ON -DKB_BENCH=ON \
  -DCMAKE_CXX_FLAGS_DEBUG=-g1 "-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -no-pie" -DKB_UNITY_TESTS=ON >/dev/null
cmake --build build-test -j "$jobs"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
ctest --test-dir build-test --output-on-failure -j "$jobs"
