# Shared by crawl_rate.sh and soak.sh: the crawler in its window on a private Xvfb
# (tests/e2e/virtual_display.py) against the stand-in ArticleServer, in a private network
# namespace where one can be had.
#
# Source with `seconds`, `build` and `view` set and the script's arguments in "$@"; afterwards
# the crawler runs with the view chosen (crawler_pid, server_pid, window), and clean_up (on exit)
# ends everything that was started. With WARM_UP_SECONDS set, the crawler first reads that long
# in view 2, so that the view is measured on a grown trie.

say() { printf '%s: %s\n' "$(basename "$0" .sh)" "$*" >&2; }
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
    exec env CRAWL_RATE_IN_NAMESPACE=1 unshare -rn "$0" "$@"
  fi
  say "warning: no private network namespace; connections of other programs count too"
else
  ip link set lo up
fi
# ... on a private virtual display, which ends with the run.
if [ -z "${CRAWL_RATE_ON_DISPLAY:-}" ]; then
  exec env CRAWL_RATE_ON_DISPLAY=1 python3 tests/e2e/virtual_display.py 1280x1024 "$0" "$@"
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

thread_cpu_seconds() {  # user + system CPU time of one thread: process $1, thread $2
  local ticks
  ticks=$(sed 's/^.*) //' "/proc/$1/task/$2/stat" | awk '{ print $12 + $13 }')
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

crawler_alive() {  # dies with the crawler's messages when it has ended
  kill -0 "$crawler_pid" 2>/dev/null && return 0
  wait "$crawler_pid" 2>/dev/null && status=0 || status=$?
  cat "$work_dir/crawler.err" >&2
  die "the crawler ended (exit status $status)"
}

start_crawler() {
  if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
    die "port $port is busy; the crawler in $build fetches from $host"
  fi

  start_server "$port"
  "$build/wortsammler" >/dev/null 2>"$work_dir/crawler.err" &
  crawler_pid=$!
  pids+=("$crawler_pid")
  window=$(timeout 10 xdotool search --sync --name '^wortsammler$' | head -n 1) \
    || die "the crawler's window did not appear"
  if [ "${WARM_UP_SECONDS:-0}" -gt 0 ]; then
    # The trie grows first in view 2, which costs little per article.
    xdotool windowfocus --sync "$window" key 2
    sleep "$WARM_UP_SECONDS"
    say "after $WARM_UP_SECONDS s in view 2: $(awk '/^VmRSS/ { print $2 / 1024 }' \
      "/proc/$crawler_pid/status") MB resident"
  fi
  xdotool windowfocus --sync "$window" key "$view"
}
