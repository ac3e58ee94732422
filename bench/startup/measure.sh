#!/usr/bin/env bash
# Start-up time, peak memory and idle wakeups of the bar, next to a bare Qt program that shows
# one empty frameless window of the same size (the floor), measured in the same run on a private
# Xvfb + openbox desktop (scripts/desktop-session.sh).
#
#   bench/startup/measure.sh [build folder]        (default: build; a Release build is best)
#
# Needs in the build folder: bin/quillbar (with Lang/, Skins/, Sounds/, Weather/ beside it) and
# bench/qb-floor, bench/qb-floor-libs, bench/qb-firstframe, bench/qb-startup-fixture:
#   cmake --build <build> --target quillbar quillbar_beside_folders qb-floor qb-floor-libs \
#     qb-firstframe qb-startup-fixture
# Settings (environment): RUNS=10 starts per program, IDLE_RUNS=3 idle measurements of floor and
# bar of IDLE_S=30 seconds each, SETTLE_MS=2000, VARIANTS (default all):
#   floor        the bare window
#   bar          the bar with the data above
#   floor-libs   the bare window, loading every shared library the bar loads
#   bar-noicons  the bar without "Bitmaps.Stream" and "IconList.ini" (blank buttons)
#   bar-silent   the bar with sound cues off ([Misc] SoundOn=0)
# The last three only take the bar's cost apart; the goals compare bar with floor.
#
# How it measures (the same for every program, so the ratio is fair):
# - The bar runs portable: a hard link (or copy) of the program file with the folders that lie
#   beside it, in a fresh temporary folder that is also its data folder. qb-startup-fixture
#   writes its data: eight pages of 2 x 8 "Exec" buttons with a distinct 48 x 48 icon each in
#   "Bitmaps.Stream", the same files the bar reads. XDG_CONFIG_HOME and XDG_DATA_HOME point into
#   the temporary folder, so nothing of the user's is read or touched.
# - First frame: qb-firstframe watches the root window for new top-level windows before it forks,
#   puts a DAMAGE monitor on each as soon as it is created and takes the time from just before
#   fork() to the first damage report on a window whose _NET_WM_PID is the child's, after that
#   window was mapped. Qt windows have no server-painted background, so the first damage is the
#   program's own first painting reaching the server: the frame is on the screen (there is no
#   compositor, so the bar's fade-in opacity does not hide it). "map" is when the window manager
#   mapped the window; "area" is the first report's size against the window's size.
# - Memory: VmHWM (peak resident set) of /proc/<pid>/status, SETTLE_MS after the first frame, so
#   the fade-in and the start-up sound have run.
# - Idle: after SETTLE_MS plus 3 s more, over IDLE_S seconds: utime + stime of /proc/<pid>/stat
#   (10 ms ticks), the scheduler's run time (ns) and the voluntary + involuntary context switches
#   of every thread (/proc/<pid>/task/*/; /proc/<pid>/status alone counts the main thread only);
#   a context switch of an idle thread is a wakeup. One timer tick that makes a few X round trips
#   switches several times (the main thread waits, Qt's X reader thread wakes for each reply), so
#   the counters are also sampled every 10 ms and each run of samples with switches counts as one
#   wakeup burst. Damage reports in that time are repaints.
# - A start in which the window was mapped before its damage monitor existed (a busy machine
#   can delay the watcher that much) cannot be measured and is run again.
# - The programs take turns (floor, bar, ...), one warm-up start each is not counted, and each
#   figure is given as median [min - max]; the starts of the idle runs count among the starts.
#   The machine's load average is printed with them:
#   other work on a shared machine widens the spread and slows both programs alike.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

if [ "${QUILLBAR_DESKTOP_INNER:-}" != 1 ]; then
  exec "$root/scripts/desktop-session.sh" "$0" "$@"
fi

build=$(cd "${1:-$root/build}" && pwd)
RUNS=${RUNS:-10}
IDLE_RUNS=${IDLE_RUNS:-3}
IDLE_S=${IDLE_S:-30}
SETTLE_MS=${SETTLE_MS:-2000}
VARIANTS=${VARIANTS:-floor bar floor-libs bar-noicons bar-silent}

for tool in bin/quillbar bench/qb-floor bench/qb-floor-libs bench/qb-firstframe bench/qb-startup-fixture; do
  if [ ! -x "$build/$tool" ]; then
    echo "measure: $build/$tool is missing; build it with" >&2
    echo "  cmake --build $build --target quillbar quillbar_beside_folders qb-floor qb-floor-libs qb-firstframe qb-startup-fixture" >&2
    exit 2
  fi
done

work=$(mktemp -d /tmp/qb-startup.XXXXXX)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/share QT_QPA_PLATFORM=xcb
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"

# One portable install per bar variant, and the pristine data it is reset to before each start.
install_bar() { # <variant> <fixture options...>
  local dir=$work/$1
  shift
  mkdir -p "$dir/app" "$dir/data"
  ln "$build/bin/quillbar" "$dir/app/quillbar" 2>/dev/null || cp "$build/bin/quillbar" "$dir/app/quillbar"
  for folder in Lang Skins Sounds Weather; do
    if [ -d "$build/bin/$folder" ]; then cp -r "$build/bin/$folder" "$dir/app/"; else mkdir -p "$dir/app/$folder"; fi
  done
  "$build/bench/qb-startup-fixture" "$dir/data" "$@"
}

command_of() { # <variant>
  case $1 in
    floor) echo "$build/bench/qb-floor" ;;
    floor-libs) echo "$build/bench/qb-floor-libs" ;;
    *) echo "$work/$1/app/quillbar" ;;
  esac
}

reset_data() { # <variant>
  case $1 in
    floor | floor-libs) ;;
    *)
      find "$work/$1/app" -maxdepth 1 -type f ! -name quillbar -delete
      cp "$work/$1/data/"* "$work/$1/app/"
      ;;
  esac
}

for variant in $VARIANTS; do
  case $variant in
    floor | floor-libs) ;;
    bar) install_bar bar ;;
    bar-noicons) install_bar bar-noicons --settings-only ;;
    bar-silent) install_bar bar-silent Misc/SoundOn=0 ;;
    *) echo "measure: unknown variant $variant" >&2; exit 2 ;;
  esac
done

results=$work/results.txt
: >"$results"
run() { # <variant> <label> <qb-firstframe options...>
  local variant=$1 label=$2
  shift 2
  local out code attempt
  for attempt in 1 2 3; do
    reset_data "$variant"
    code=0
    out=$("$build/bench/qb-firstframe" "$@" -- "$(command_of "$variant")" 2>>"$work/stderr.txt") || code=$?
    if [ "$code" = 0 ]; then
      printf '%s %s %s\n' "$variant" "$label" "$(echo "$out" | tr '\n' ' ')" >>"$results"
      return
    fi
    if [ "$code" != 3 ]; then break; fi
    echo "$variant" >>"$work/raced.txt" # mapped before it could be watched: start it again
  done
  echo "measure: $variant gave no frame (its messages follow)" >&2
  tail -5 "$work/stderr.txt" >&2
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
echo "measure: $RUNS starts and $IDLE_RUNS idle periods of ${IDLE_S}s per program ($VARIANTS) ..." >&2
for variant in $VARIANTS; do run "$variant" warmup --settle 500; done
for i in $(seq "$RUNS"); do
  for variant in $VARIANTS; do run "$variant" start --settle "$SETTLE_MS"; done
done
for i in $(seq "$IDLE_RUNS"); do
  for variant in floor bar; do
    case " $VARIANTS " in *" $variant "*) run "$variant" idle --settle $((SETTLE_MS + 3000)) --idle $((IDLE_S * 1000)) ;; esac
  done
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

touch "$work/raced.txt"
python3 - "$results" "$load_before" "$load_after" "$(nproc)" "$build" "$work/raced.txt" <<'PY'
import statistics
import sys

path, load_before, load_after, cpus, build, raced_path = sys.argv[1:]
raced = open(raced_path).read().split()
rows = []
for line in open(path):
    variant, label, *pairs = line.split()
    fields = dict(p.split("=", 1) for p in pairs if "=" in p)
    rows.append((variant, label, fields))
order = []
for variant, _, _ in rows:
    if variant not in order:
        order.append(variant)

def values(variant, labels, key, scale=1.0):
    return [float(f[key]) * scale for v, l, f in rows if v == variant and l in labels and key in f]

def summary(xs, fmt="{:.0f}"):
    if not xs:
        return "-"
    return (fmt + " [" + fmt + " - " + fmt + "]").format(statistics.median(xs), min(xs), max(xs))

starts = ("start", "idle")
print(f"Start-up under Xvfb + openbox ({build}), {cpus} CPUs, load average {load_before} before, {load_after} after")
print()
floor_frames = values("floor", starts, "frame_ms")
print(f"{'program':<12} {'n':>3}  {'first frame ms':<22} {'x floor':>7}  {'mapped ms':<22} {'peak RSS MB':<20} first area")
for variant in order:
    frame = values(variant, starts, "frame_ms")
    ratio = f"{statistics.median(frame) / statistics.median(floor_frames):.2f}" if frame and floor_frames else "-"
    mapped = values(variant, starts, "map_ms")
    hwm = values(variant, starts, "hwm_kb", 1 / 1024)
    areas = sorted({f.get("first_area", "?") + "/" + f.get("window", "?") for v, l, f in rows if v == variant and l in starts})
    print(f"{variant:<12} {len(frame):>3}  {summary(frame):<22} {ratio:>7}  {summary(mapped):<22} {summary(hwm, '{:.1f}'):<20} {' '.join(areas)}")

print()
print(f"{'idle':<12} {'n':>3}  {'seconds':>7}  {'CPU ms (ticks)':<15} {'run ms':<18} {'bursts/s':<18} "
      f"{'switches/s':<20} {'main thread/s':<18} repaints")
for variant in order:
    idle = [f for v, l, f in rows if v == variant and l == "idle"]
    if not idle:
        continue
    secs = [float(f["idle_s"]) for f in idle]
    def rate(key):
        return [float(f[key]) / float(f["idle_s"]) for f in idle]
    print(f"{variant:<12} {len(idle):>3}  {statistics.median(secs):>7.1f}  "
          f"{summary([float(f['idle_cpu_ms']) for f in idle]):<15} "
          f"{summary([float(f['idle_run_ms']) for f in idle], '{:.1f}'):<18} "
          f"{summary(rate('idle_bursts'), '{:.2f}'):<18} "
          f"{summary(rate('idle_csw'), '{:.2f}'):<20} {summary(rate('idle_csw_main'), '{:.2f}'):<18} "
          f"{summary([float(f['idle_damage']) for f in idle])}")
for variant in order:
    threads = [f["threads"] for v, l, f in rows if v == variant and l == "idle" and "threads" in f]
    if threads:
        print(f"  {variant} context switches per thread over the last idle period (voluntary/involuntary): {threads[-1]}")

print()
def median(variant, key, scale=1.0):
    xs = values(variant, starts, key, scale)
    return statistics.median(xs) if xs else None
floor_frame, bar_frame = median("floor", "frame_ms"), median("bar", "frame_ms")
if floor_frame and bar_frame:
    ratio = bar_frame / floor_frame
    print(f"goal first frame <= 1.5 x floor: {ratio:.2f} x ({'met' if ratio <= 1.5 else 'not met'})")
bar_hwm = median("bar", "hwm_kb", 1 / 1024)
if bar_hwm:
    print(f"goal peak RSS < 40 MB: {bar_hwm:.1f} MB ({'met' if bar_hwm < 40 else 'not met'})")
idle = [f for v, l, f in rows if v == "bar" and l == "idle"]
if idle:
    bursts = statistics.median(float(f["idle_bursts"]) / float(f["idle_s"]) for f in idle)
    switches = statistics.median(float(f["idle_csw"]) / float(f["idle_s"]) for f in idle)
    print(f"goal idle = the 1 s tick only: {bursts:.2f} wakeup bursts/s of {switches:.1f} context switches/s "
          f"({'met' if bursts <= 1.1 else 'not met'} by bursts, {'met' if switches <= 1.1 else 'not met'} by switches)")
if raced:
    print(f"started again because the window was mapped before it could be watched: {' '.join(raced)}")
PY
