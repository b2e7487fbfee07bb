#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it. Arguments are
# passed to the program (a file to open).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKB_TESTS=OFF >/dev/null
cmake --build build --target kestrabel kb_data
exec build/bin/kestrabel "$@"
