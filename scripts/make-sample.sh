#!/usr/bin/env bash
# Writes the sample drawing data/samples/sample.kvx and the documents with
# operations (milling.kvx, laser.kvx, lathe.kvx) with the program's own
# document writer (tools/samplegen). Run it again when the drawings, the
# operations or the document format change, and commit the result.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${KB_BUILD_DIR:-build}"
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target kb_make_sample kb_fonts
"$build/tools/samplegen/bin/kb_make_sample" "$build/bin/RomanC.fnd" data/samples/sample.kvx data/samples
