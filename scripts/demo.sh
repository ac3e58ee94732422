#!/usr/bin/env bash
# Starts the bar in a private headless desktop, waits until its window is shown, saves a
# screenshot and ends the bar.
#   scripts/demo.sh <build folder> <png>
set -euo pipefail
build=${1:?build folder}
png=${2:?png file}
here=$(cd "$(dirname "$0")" && pwd)

if [ "${QUILLBAR_DESKTOP_INNER:-}" != 1 ]; then
  exec "$here/desktop-session.sh" "$0" "$@"
fi

"$build/bin/quillbar" &
bar=$!
trap 'kill $bar 2>/dev/null || true' EXIT

shown=0
for _ in $(seq 200); do
  if xdotool search --onlyvisible --name '^quillbar$' >/dev/null 2>&1; then shown=1; break; fi
  if ! kill -0 "$bar" 2>/dev/null; then break; fi
  sleep 0.05
done
if [ "$shown" != 1 ]; then
  echo "demo: the bar did not show a window" >&2
  exit 1
fi
sleep 1 # let the fade-in end
"$build/tools/qb-screenshot" "$png"
kill -TERM "$bar"
wait "$bar" || true
trap - EXIT
echo "demo: screenshot saved to $png"
