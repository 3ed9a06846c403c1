#!/usr/bin/env bash
# Articles per second of the whole crawler (view 1, in its window on a private Xvfb) against the
# stand-in ArticleServer, then of bench/baseline_crawler.py against the same server, and the ratio.
# Also the CPU time per second of the crawler's window thread (its main thread), which presents.
#
#   bench/crawl_rate.sh [SECONDS] [BUILD_DIR] [VIEW]      defaults: 10, build-release, view 1
#
# The crawler fetches from the address compiled into it (ARTICLE_HOST in BUILD_DIR's cache), so
# the server is started on that port. The measurement runs in a private network namespace (its
# own loopback; `unshare -rn`), where the kernel's count of accepted TCP connections belongs to
# this run alone: two connections per article. Nothing is added to the crawler or the server.
# Where no namespace can be had, the machine-wide count is used and other traffic counts too.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-10}
build=${2:-build-release}
view=${3:-1}

# shellcheck source=bench/crawl_harness.sh
source bench/crawl_harness.sh

# ---- the crawler ---------------------------------------------------------------------------------

start_crawler
sleep 2  # start-up and the first articles are not measured
before=$(connections)
crawler_cpu_before=$(cpu_seconds "$crawler_pid")
window_cpu_before=$(thread_cpu_seconds "$crawler_pid" "$crawler_pid")  # the main thread
server_cpu_before=$(cpu_seconds "$server_pid")
sleep "$seconds"
after=$(connections)
crawler_cpu=$(python3 -c "print('%.2f' % ($(cpu_seconds "$crawler_pid") - $crawler_cpu_before))")
window_cpu=$(python3 -c \
  "print('%.3f' % (($(thread_cpu_seconds "$crawler_pid" "$crawler_pid") - $window_cpu_before) / $seconds))")
server_cpu=$(python3 -c "print('%.2f' % ($(cpu_seconds "$server_pid") - $server_cpu_before))")
xdotool windowfocus --sync "$window" key Escape
for _ in $(seq 100); do kill -0 "$crawler_pid" 2>/dev/null || break; sleep 0.1; done
stop_server

articles=$(((after - before) / 2))
[ "$articles" -gt 0 ] || die "the crawler fetched no article"
crawler_rate=$(python3 -c "print('%.1f' % ($articles / $seconds))")
crawler_ms=$(python3 -c "print('%.3f' % (1000 * $crawler_cpu / $articles))")
echo "wortsammler ($build_type, view $view): $articles articles in $seconds s = $crawler_rate articles/s;" \
     "CPU $crawler_cpu s = $crawler_ms ms per article (window thread: $window_cpu s per s;" \
     "server: $server_cpu s)"

# ---- the baseline, against a fresh server on a free port -----------------------------------------

start_server 0
baseline=$(python3 bench/baseline_crawler.py --host "127.0.0.1:$server_port" --seconds "$seconds")
stop_server
echo "$baseline"
baseline_rate=$(sed -n 's/.* = \([0-9.]*\) articles\/s.*/\1/p' <<<"$baseline")
baseline_ms=$(sed -n 's/.* = \([0-9.]*\) ms per article.*/\1/p' <<<"$baseline")
python3 -c "print('wortsammler / baseline: %.1f x the articles per second, %.1f x less CPU per article'
                  % ($crawler_rate / $baseline_rate, $baseline_ms / $crawler_ms))"
