#!/usr/bin/env bash
# Builds Wortsammler in Release (build-release/) and runs it against the bundled stand-in
# ArticleServer on 127.0.0.1:8080, the address the program is built for.
#
#   ./run.sh               crawl in a window on your display; Esc ends the crawler and the server
#   ./run.sh --tour [DIR]  crawl on a private virtual display, show views 1 to 8 in turn and save
#                          view1.png .. view8.png and the word dump wiki.txt into DIR (./tour)
#   ./run.sh --live https://HOST[:PORT]
#                          build the https profile (build-live/) and crawl that server; without a
#                          display it runs on a virtual one, and Ctrl-C ends it
#
# Environment: TOUR_SECONDS (crawl time before the first picture, default 8),
#              TOUR_VIEW_SECONDS (time each view is shown before its picture, default 1),
#              TOUR_LATENCY_MS (the server's delay per reply, default 4, so that the trie of the
#              tour stays small enough for the dot fields to leave the statistics block visible),
#              ARTICLE_USER_AGENT (--live: the User-Agent the crawler sends; name yourself in it).
set -euo pipefail
start_dir=$PWD
cd "$(dirname "$0")"

readonly HOST=127.0.0.1
readonly PORT=8080
readonly BUILD=build-release

usage() {
  sed -n '2,17s/^# \{0,1\}//p' "$0"
}

say() { printf 'run.sh: %s\n' "$*" >&2; }
die() { say "$*"; exit 1; }

# ---- the live run: the https profile against a real server -------------------------------------

run_live() {  # https://HOST[:PORT]
  local address=$1 build=build-live
  local agent=()
  if [ -n "${ARTICLE_USER_AGENT:-}" ]; then
    agent=(-DARTICLE_USER_AGENT="$ARTICLE_USER_AGENT")
  else
    say "ARTICLE_USER_AGENT is not set: the crawler names no contact, and servers may refuse it.
    Set it like this: ARTICLE_USER_AGENT='wortsammler/0.1.0 (you@example.org)' ./run.sh --live $address"
  fi
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DARTICLE_HOST="$address" \
    "${agent[@]}" >/dev/null
  cmake --build "$build" -j "$(nproc)" --target wortsammler
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    install_deps tour
    start_xvfb
    say "no display: the crawler runs on virtual display $DISPLAY, where nothing is seen; Ctrl-C ends it"
  fi
  say "crawling $address; why no article arrives is written below; keys: 1-8, d, +/-, Esc end"
  # In the background, so that Ctrl-C or a TERM reaches clean_up, which stops the crawler.
  "$build/wortsammler" &
  crawler_pid=$!
  local status=0
  wait "$crawler_pid" || status=$?
  crawler_pid=""
  say "the crawler ended with exit code $status"
  return "$status"
}

mode=window
tour_dir=./tour
case "${1:-}" in
  "") ;;
  --tour) mode=tour; tour_dir=${2:-./tour}; [[ $tour_dir = /* ]] || tour_dir=$start_dir/$tour_dir ;;
  --live)
    mode=live; live_address=${2:-}
    shopt -s nocasematch
    [[ $live_address =~ ^https://[^/\"\\[:space:]]+$ ]] || { usage >&2; exit 2; }
    shopt -u nocasematch ;;
  -h|--help) usage; exit 0 ;;
  *) usage >&2; exit 2 ;;
esac

if [ "$mode" = window ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  die "no display (\$DISPLAY is empty): the crawler draws into a window.
Run it on a desktop, or take the tour on a virtual display instead:
    ./run.sh --tour [DIR]     saves a picture of each view and the word dump into DIR"
fi

# ---- install and build -------------------------------------------------------------------------

source scripts/install-deps.sh
install_deps run
[ "$mode" = tour ] && install_deps tour

if [ "$mode" != live ]; then
  cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DARTICLE_HOST="$HOST:$PORT" >/dev/null
  cmake --build "$BUILD" -j "$(nproc)" --target wortsammler article-server
fi

# The tour needs no network of this machine: where it can, it runs in a private network
# namespace with a loopback of its own, so that port 8080 there is always free.
if [ "$mode" = tour ] && [ -z "${RUN_SH_IN_NAMESPACE:-}" ] && command -v ip >/dev/null \
   && unshare -rn true 2>/dev/null; then
  exec env RUN_SH_IN_NAMESPACE=1 unshare -rn "$0" --tour "$tour_dir"
fi
[ -n "${RUN_SH_IN_NAMESPACE:-}" ] && ip link set lo up
# ... and on a private virtual display, which ends with it.
if [ "$mode" = tour ] && [ -z "${RUN_SH_ON_DISPLAY:-}" ]; then
  exec env RUN_SH_ON_DISPLAY=1 python3 tests/e2e/virtual_display.py 1280x1024 "$0" --tour "$tour_dir"
fi

# ---- processes and their clean-up --------------------------------------------------------------

work_dir=$(mktemp -d)
server_pid=""
crawler_pid=""

stop_process() {  # pid: TERM, then KILL if it does not go within 3 s
  local pid=$1
  [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || return 0
  kill -TERM "$pid" 2>/dev/null || true
  for _ in $(seq 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

clean_up() {
  stop_process "$crawler_pid"
  stop_process "$server_pid"
  rm -rf "$work_dir"
}
trap clean_up EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

port_in_use() {  # true when something accepts connections on the port
  (exec 3<>"/dev/tcp/$HOST/$1") 2>/dev/null
}

start_server() {  # extra arguments go to the server
  if port_in_use "$PORT"; then
    die "port $PORT on $HOST is busy: another program listens there.
The crawler was built to fetch its articles from $HOST:$PORT; stop that program and try again."
  fi
  "$BUILD/article-server" --port "$PORT" "$@" >"$work_dir/server.out" 2>"$work_dir/server.err" &
  server_pid=$!
  for _ in $(seq 100); do
    grep -q '^listening on ' "$work_dir/server.out" 2>/dev/null && return 0
    kill -0 "$server_pid" 2>/dev/null || break
    sleep 0.05
  done
  cat "$work_dir/server.err" >&2
  die "the stand-in ArticleServer did not start on $HOST:$PORT"
}

# ---- the window run ----------------------------------------------------------------------------

run_in_window() {
  start_server
  say "stand-in ArticleServer on $HOST:$PORT; keys: 1-8 views, d word dump, +/- window size, Esc end"
  local status=0
  "$BUILD/wortsammler" || status=$?
  say "the crawler ended with exit code $status"
  return "$status"
}

# ---- the tour ----------------------------------------------------------------------------------

press() {  # key name as xdotool knows it
  xdotool windowfocus --sync "$window" key "$1"
}

wait_for_dump() {  # the dump is complete when it ends with the line of the last root entry
  local file=$1
  for _ in $(seq 200); do
    if [ -s "$file" ] && [ "$(tail -c 5 "$file" | od -An -tx1 | tr -d ' \n')" = "0020300d0a" ]; then
      return 0
    fi
    sleep 0.05
  done
  die "the crawler wrote no complete word dump to $file"
}

wait_for_exit() {  # pid seconds: sets exit_status; fails if the process still runs
  local pid=$1
  for _ in $(seq $(($2 * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      exit_status=0
      wait "$pid" || exit_status=$?
      return 0
    fi
    sleep 0.1
  done
  return 1
}

run_tour() {
  local crawl_seconds=${TOUR_SECONDS:-8} view_seconds=${TOUR_VIEW_SECONDS:-1}
  mkdir -p "$tour_dir"
  start_server --latency-ms "${TOUR_LATENCY_MS:-4}"
  rm -f "$BUILD/wiki.txt"
  "$BUILD/wortsammler" >"$work_dir/crawler.out" 2>&1 &
  crawler_pid=$!
  window=$(timeout 10 xdotool search --sync --name '^wortsammler$' | head -n 1) \
    || die "the crawler's window did not appear"
  say "crawling for ${crawl_seconds} s on display $DISPLAY (view 1)"
  sleep "$crawl_seconds"

  for view in 1 2 3 4 5 6 7 8; do
    press "$view"
    sleep "$view_seconds"
    import -window "$window" "$tour_dir/view$view.png"
    say "view $view: $tour_dir/view$view.png"
  done

  press d
  wait_for_dump "$BUILD/wiki.txt"
  cp "$BUILD/wiki.txt" "$tour_dir/wiki.txt"
  say "word dump: $tour_dir/wiki.txt ($(wc -l <"$tour_dir/wiki.txt") trie nodes)"

  press Escape
  wait_for_exit "$crawler_pid" 10 || die "the crawler did not end within 10 s after Esc"
  crawler_pid=""
  [ "$exit_status" -eq 0 ] || die "the crawler ended with exit code $exit_status after Esc"
  say "the crawler ended with exit code 0; the tour is in $tour_dir"
}

if [ "$mode" = tour ]; then
  run_tour
elif [ "$mode" = live ]; then
  run_live "$live_address"
else
  run_in_window
fi
