#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it. Arguments are
# passed to the program (a file to open). KB_BUILD_DIR names another build
# folder than build/.
set -euo pipefail
# The file named relative to where the script was started from.
if [ $# -gt 0 ] && [ -e "$1" ]; then
  set -- "$(realpath "$1")" "${@:2}"
fi
cd "$(dirname "$0")/.."
build="${KB_BUILD_DIR:-build}"
scripts/deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKB_TESTS=OFF >/dev/null
cmake --build "$build" --target kestrabel kb_data kb_fonts
exec "$build/bin/kestrabel" "$@"
