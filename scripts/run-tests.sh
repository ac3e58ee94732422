#!/usr/bin/env bash
# Runs every test of a build folder inside a private headless desktop.
#   scripts/run-tests.sh <build folder>
set -euo pipefail
build=${1:?build folder}
here=$(cd "$(dirname "$0")" && pwd)

# Qt's and fontconfig's caches stay alive until exit by design; leak reports would only show them.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

exec "$here/desktop-session.sh" ctest --test-dir "$build" --output-on-failure -j2 --timeout 300
