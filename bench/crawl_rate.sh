#!/usr/bin/env bash
# Articles per second of the whole crawler (view 1, in its window on a private Xvfb) against the
# stand-in ArticleServer, then of bench/baseline_crawler.py against the same server, and the ratio.
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

say() { printf 'crawl_rate: %s\n' "$*" >&2; }
die() { say "$*"; exit 1; }

for tool in Xvfb xdotool python3; do
  command -v "$tool" >/dev/null || die "$tool is missing (install_deps build in scripts/install-deps.sh)"
done

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j 2 --target wortsammler article-server >/dev/null

if [ -z "${CRAWL_RATE_IN_NAMESPACE:-}" ]; then
  if command -v ip >/dev/null && unshare -rn true 2>/dev/null; then
    exec env CRAWL_RATE_IN_NAMESPACE=1 unshare -rn "$0" "$seconds" "$build" "$view"
  fi
  say "warning: no private network namespace; connections of other programs count too"
else
  ip link set lo up
fi
# ... on a private virtual display, which ends with the measurement.
if [ -z "${CRAWL_RATE_ON_DISPLAY:-}" ]; then
  exec env CRAWL_RATE_ON_DISPLAY=1 python3 tests/e2e/virtual_display.py 1280x1024 \
    "$0" "$seconds" "$build" "$view"
fi
host=$(sed -n 's/^ARTICLE_HOST:STRING=//p' "$build/CMakeCache.txt")
port=${host##*:}
[ "$port" != "$host" ] || port=80
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt")

work_dir=$(mktemp -d)
pids=()
clean_up() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work_dir"
}
trap clean_up EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

cpu_seconds() {  # user + system CPU time of a process, all its threads
  local ticks
  ticks=$(sed 's/^.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }')
  python3 -c "print('%.2f' % ($ticks / $(getconf CLK_TCK)))"
}

connections() {  # TCP connections accepted in this network namespace so far
  awk '/^Tcp:/ { if (++row == 2) print $7 }' /proc/net/snmp
}

start_server() {  # port -> server_pid and server_port; waits until it listens
  local out=$work_dir/server-${#pids[@]}.out
  "$build/article-server" --port "$1" --seed 1 >"$out" 2>"$work_dir/server.err" &
  server_pid=$!
  pids+=("$server_pid")
  for _ in $(seq 100); do
    server_port=$(sed -n 's/^listening on 127\.0\.0\.1://p' "$out" 2>/dev/null || true)
    [ -n "$server_port" ] && return 0
    sleep 0.05
  done
  cat "$work_dir/server.err" >&2
  die "the stand-in server did not start on port $1"
}

stop_server() {
  kill "$server_pid" 2>/dev/null || true
  wait "$server_pid" 2>/dev/null || true
}

# ---- the crawler ---------------------------------------------------------------------------------

if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
  die "port $port is busy; the crawler in $build fetches from $host"
fi

start_server "$port"
"$build/wortsammler" >/dev/null 2>&1 &
crawler_pid=$!
pids+=("$crawler_pid")
window=$(timeout 10 xdotool search --sync --name '^wortsammler$' | head -n 1) \
  || die "the crawler's window did not appear"
xdotool windowfocus --sync "$window" key "$view"
sleep 2  # start-up and the first articles are not measured
before=$(connections)
crawler_cpu_before=$(cpu_seconds "$crawler_pid")
server_cpu_before=$(cpu_seconds "$server_pid")
sleep "$seconds"
after=$(connections)
crawler_cpu=$(python3 -c "print('%.2f' % ($(cpu_seconds "$crawler_pid") - $crawler_cpu_before))")
server_cpu=$(python3 -c "print('%.2f' % ($(cpu_seconds "$server_pid") - $server_cpu_before))")
xdotool windowfocus --sync "$window" key Escape
for _ in $(seq 100); do kill -0 "$crawler_pid" 2>/dev/null || break; sleep 0.1; done
stop_server

articles=$(((after - before) / 2))
[ "$articles" -gt 0 ] || die "the crawler fetched no article"
crawler_rate=$(python3 -c "print('%.1f' % ($articles / $seconds))")
crawler_ms=$(python3 -c "print('%.3f' % (1000 * $crawler_cpu / $articles))")
echo "wortsammler ($build_type, view $view): $articles articles in $seconds s = $crawler_rate articles/s;" \
     "CPU $crawler_cpu s = $crawler_ms ms per article (server: $server_cpu s)"

# ---- the baseline, against a fresh server on a free port -----------------------------------------

start_server 0
baseline=$(python3 bench/baseline_crawler.py --host "127.0.0.1:$server_port" --seconds "$seconds")
stop_server
echo "$baseline"
baseline_rate=$(sed -n 's/.* = \([0-9.]*\) articles\/s.*/\1/p' <<<"$baseline")
baseline_ms=$(sed -n 's/.* = \([0-9.]*\) ms per article.*/\1/p' <<<"$baseline")
python3 -c "print('wortsammler / baseline: %.1f x the articles per second, %.1f x less CPU per article'
                  % ($crawler_rate / $baseline_rate, $baseline_ms / $crawler_ms))"
