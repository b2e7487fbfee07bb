#!/usr/bin/env bash
# Writes the default tool libraries data/tools/*.tlb, *.rlb, *.llb with the
# program's own library writer (tools/toollibgen). Run it again when the
# default tools or the record formats change, and commit the result; a test
# fails while the committed files differ from what the tables give.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${KB_BUILD_DIR:-build}"
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target kb_make_toollibs
"$build/tools/toollibgen/bin/kb_make_toollibs" data/tools
