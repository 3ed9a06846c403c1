#!/usr/bin/env bash
# A long run must not slow down: the crawler in its window (view 1 by default) against the
# stand-in ArticleServer for SECONDS, its articles per second and CPU time per article reported
# for every INTERVAL seconds, then the rate of the last interval against the first.
#
#   bench/soak.sh [SECONDS] [BUILD_DIR] [VIEW] [INTERVAL]    defaults: 300, build-release, 1, 10
#
# Articles are counted as in crawl_rate.sh: two accepted connections each, in a private network
# namespace. The run passes when the last interval's rate is at least half the first's.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-300}
build=${2:-build-release}
view=${3:-1}
interval=${4:-10}

# shellcheck source=bench/crawl_harness.sh
source bench/crawl_harness.sh

start_crawler
sleep 2  # start-up is not measured
rates=()
printf '%8s %12s %16s %10s\n' "seconds" "articles/s" "ms CPU/article" "resident"
elapsed=0
while [ "$elapsed" -lt "$seconds" ]; do
  before=$(connections)
  cpu_before=$(cpu_seconds "$crawler_pid")
  sleep "$interval"
  crawler_alive
  elapsed=$((elapsed + interval))
  articles=$((($(connections) - before) / 2))
  cpu=$(python3 -c "print($(cpu_seconds "$crawler_pid") - $cpu_before)")
  rate=$(python3 -c "print('%.1f' % ($articles / $interval))")
  per_article=$(python3 -c "print('%.3f' % (1000 * $cpu / max($articles, 1)))")
  resident=$(awk '/^VmRSS/ { print $2 / 1024 " MB" }' "/proc/$crawler_pid/status")
  printf '%8d %12s %16s %10s\n' "$elapsed" "$rate" "$per_article" "$resident"
  rates+=("$rate")
done
xdotool windowfocus --sync "$window" key Escape
for _ in $(seq 100); do kill -0 "$crawler_pid" 2>/dev/null || break; sleep 0.1; done

first=${rates[0]}
last=${rates[${#rates[@]} - 1]}
python3 -c "
first, last = $first, $last
ratio = last / first if first else 0
print('last %d s against the first: %.1f / %.1f articles/s = %.2f (%s)'
      % ($interval, last, first, ratio, 'kept' if ratio >= 0.5 else 'SLOWED DOWN'))"
