#!/usr/bin/env bash
# A long run stays right and bounded: the crawler against the stand-in for SECONDS, switching
# between view 1 and view 2 every SLICE seconds; for each slice its articles per second and the
# resident memory; at the end each view's last slice against its first, then a word dump checked
# against the statistics block of the same pass (bench/dump_agrees.py).
#
#   bench/long_run.sh [SECONDS] [BUILD_DIR] [SLICE]    defaults: 600, build-release, 30
#
# For the dump the fast server makes way for one answering after 1.5 s, so that the picture of
# the pass that wrote the dump stays in the window long enough to be read.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
build=${2:-build-release}
slice=${3:-30}
view=2

# shellcheck source=bench/crawl_harness.sh
source bench/crawl_harness.sh

start_crawler
sleep 2
start_resident=$(awk '/^VmRSS/ { print $2 / 1024 }' "/proc/$crawler_pid/status")
say "resident after start-up: $start_resident MB"
printf '%8s %5s %12s %12s\n' "seconds" "view" "articles/s" "resident MB"
declare -A first last
elapsed=0
view=1
while [ "$elapsed" -lt "$seconds" ]; do
  xdotool windowfocus --sync "$window" key "$view"
  sleep 1  # the switch is not measured
  before=$(connections)
  sleep "$((slice - 1))"
  crawler_alive
  elapsed=$((elapsed + slice))
  rate=$(python3 -c "print('%.1f' % (($(connections) - $before) / 2 / ($slice - 1)))")
  resident=$(awk '/^VmRSS/ { printf "%.1f", $2 / 1024 }' "/proc/$crawler_pid/status")
  printf '%8d %5s %12s %12s\n' "$elapsed" "$view" "$rate" "$resident"
  [ -n "${first[$view]:-}" ] || first[$view]=$rate
  last[$view]=$rate
  view=$((3 - view))
done
for v in 1 2; do
  [ -n "${first[$v]:-}" ] || continue
  python3 -c "
f, l = ${first[$v]}, ${last[$v]}
print('view $v: last slice against the first: %.1f / %.1f articles/s = %.2f' % (l, f, l / f if f else 0))"
done

stop_server
"$build/article-server" --port "$port" --seed 2 --latency-ms 1500 >/dev/null 2>&1 &
pids+=("$!")
xdotool windowfocus --sync "$window" key 2
sleep 5  # one slow pass has been drawn
rm -f "$build/wiki.txt"
xdotool windowfocus --sync "$window" key d
for _ in $(seq 600); do
  [ -f "$build/wiki.txt" ] && break
  sleep 0.05
done
[ -f "$build/wiki.txt" ] || die "no word dump appeared"
python3 bench/dump_agrees.py "$window" "$build/wiki.txt"
xdotool windowfocus --sync "$window" key Escape
for _ in $(seq 100); do kill -0 "$crawler_pid" 2>/dev/null || break; sleep 0.1; done
