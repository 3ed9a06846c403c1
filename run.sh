#!/usr/bin/env bash
# Builds Wortsammler in Release mode (build-release/) and runs it against the bundled stand-in
# ArticleServer on 127.0.0.1:8080. Installs what is missing (Debian 12; apt-get needs root or sudo).
#
#   ./run.sh          the crawler in a window on this display: keys 1-8, d, +, -, Esc to end
#   ./run.sh --tour   no display needed: runs the crawler on a virtual X display, shows every
#                     view, both window sizes and the word dump, and saves screenshots in tour/
# WORTSAMMLER_PORT=N picks another port than 8080 (the crawler is rebuilt for it).
set -euo pipefail
cd "$(dirname "$0")"

usage() {
  sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//'
}

mode=window
case "${1:-}" in
  "") ;;
  --tour) mode=tour ;;
  -h | --help) usage; exit 0 ;;
  *) echo "run.sh: unknown argument '$1'" >&2; usage >&2; exit 2 ;;
esac

if [ "$mode" = window ] && [ -z "${DISPLAY:-}" ]; then
  echo "No display: \$DISPLAY is empty, so there is nowhere to open the crawler's window."
  echo "Run ./run.sh --tour instead: it runs the crawler on a virtual display and saves a"
  echo "screenshot of every view in tour/."
  exit 1
fi

source scripts/install-deps.sh
# Configuring the project also looks for GoogleTest, X11 and Python.
deps_run+=(libgtest-dev libgmock-dev python3)
deps_tour=("${deps_run[@]}" xvfb xdotool imagemagick x11-utils)
if [ "$mode" = tour ]; then install_deps tour; else install_deps run; fi

build=build-release
port=${WORTSAMMLER_PORT:-8080}  # the server port, compiled into the crawler
echo "== building in $build/"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DWORTSAMMLER_BENCHMARKS=OFF \
  -DARTICLE_HOST="127.0.0.1:$port" >/dev/null
cmake --build "$build" -j "$(nproc)" --target wortsammler article-server

server_pid=""
xvfb_pid=""
cleanup() {
  if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

# Starts the stand-in server with its bundled corpus and waits until it listens.
start_server() {
  local log="$build/article-server.log"
  "$build/article-server" --port "$port" >"$log" 2>&1 &
  server_pid=$!
  for _ in $(seq 50); do
    if grep -q "^listening on" "$log"; then
      echo "== article server: $(head -1 "$log")"
      return 0
    fi
    if ! kill -0 "$server_pid" 2>/dev/null; then break; fi
    sleep 0.1
  done
  echo "run.sh: the article server did not start (is port $port taken?):" >&2
  cat "$log" >&2
  exit 1
}

run_window() {
  echo "== wortsammler: keys 1-8 choose the view, d writes wiki.txt, +/- window size, Esc ends"
  local status=0
  "$build/wortsammler" || status=$?
  echo "== wortsammler ended with exit code $status"
  return "$status"
}

# A free X display number for the virtual display.
free_display() {
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  echo ":$n"
}

run_tour() {
  local shots=tour
  mkdir -p "$shots"
  export DISPLAY
  DISPLAY=$(free_display)
  Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  local ready=""
  for _ in $(seq 300); do
    if xdpyinfo >/dev/null 2>&1; then ready=yes; break; fi
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$ready" ]; then
    echo "run.sh: the virtual display $DISPLAY did not start" >&2
    exit 1
  fi

  "$build/wortsammler" &
  local crawler_pid=$!
  local window=""
  for _ in $(seq 100); do
    window=$(xdotool search --name '^wortsammler$' 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    sleep 0.1
  done
  if [ -z "$window" ]; then
    echo "run.sh: the crawler's window did not appear" >&2
    kill "$crawler_pid" 2>/dev/null || true
    exit 1
  fi

  shoot() {  # key, file name: press the key, give the crawler a few passes, save the window
    [ -n "$1" ] && xdotool key --window "$window" "$1"
    sleep 3
    import -window "$window" "$shots/$2.png"
    echo "   $shots/$2.png"
  }
  echo "== tour on virtual display $DISPLAY, screenshots:"
  for view in 1 2 3 4 5 6 7 8; do shoot "$view" "view-$view"; done
  shoot plus "large-window-view-8"
  shoot minus "small-window-view-8"
  shoot 1 "view-1-again"

  xdotool key --window "$window" d
  sleep 3
  if [ -f "$build/wiki.txt" ]; then
    echo "== word dump $build/wiki.txt: $(wc -l <"$build/wiki.txt") lines (one per trie node)"
  fi

  xdotool key --window "$window" Escape
  local status=0
  wait "$crawler_pid" || status=$?
  echo "== Esc: wortsammler ended with exit code $status"
  return "$status"
}

start_server
if [ "$mode" = tour ]; then run_tour; else run_window; fi
