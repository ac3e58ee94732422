#!/usr/bin/env bash
# Builds the drag benchmark in Release and runs it `runs` times, each in a fresh private desktop
# (Xvfb + openbox). Extra arguments go to the program (--drags N, --outside-ms M, --no-sync, --watch, --dump FILE).
#   bench/drag/run.sh [runs] [args...]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${QUILLBAR_DRAG_BUILD:-$root/build-drag-bench}
runs=${1:-3}
shift || true

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLBAR_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target qb-dragbench -j 2

for run in $(seq "$runs"); do
  echo "=== run $run of $runs, $(date +%T), load average: $(cut -d' ' -f1-3 /proc/loadavg)"
  "$root/scripts/desktop-session.sh" "$build/bench/qb-dragbench" "$@"
done
