#!/usr/bin/env bash
# Builds every fuzz target (fuzz/*_fuzz.cpp) with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer from the pure src/net files it tests, then runs each for the given
# number of seconds (default 60). ./test.sh runs it with FUZZ_SECONDS (default 5).
#   fuzz/run.sh [SECONDS] [TARGET...]    e.g. fuzz/run.sh 300 reply_head_fuzz
# Prints one line per target and exits non-zero when a target fails to build or its run finds a
# crash, a leak, undefined behaviour or a hang; the failing input is kept as
# fuzz/out/TARGET-crash-* (reproduce: fuzz/out/TARGET FILE). Binaries, logs and the growing
# corpora stay in fuzz/out/, which git ignores.
set -uo pipefail
seconds=${1:-60}
shift || true
[[ $seconds =~ ^[1-9][0-9]*$ ]] || { echo "fuzz: SECONDS must be a whole number above 0" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
fuzz=$root/fuzz
out=$fuzz/out
net=$root/src/net

source "$root/scripts/install-deps.sh"
install_deps fuzz || { echo "fuzz: FAILED to install clang and libFuzzer" >&2; exit 1; }

# The files each target is built from besides its own. A target without an entry fails, so a new
# *_fuzz.cpp cannot be left out unseen.
declare -A sources=(
  [paragraph_text_fuzz]="$net/paragraph_text.cpp"
  [location_cut_fuzz]="$net/location_cut.cpp $net/get_request.cpp"
  [reply_head_fuzz]="$net/reply_head.cpp"
  [retry_after_fuzz]="$net/retry_after.cpp $net/utc_time_posix.cpp $net/reply_head.cpp"
  [reply_block_fuzz]=""
  [https_article_source_fuzz]="$net/https_article_source.cpp $net/failure_report.cpp
    $net/location_cut.cpp $net/reply_head.cpp $net/retry_after.cpp $net/utc_time_posix.cpp
    $fuzz/https_client_absent.cpp"
)

flags=(-std=c++20 -O1 -g -Wall -Wextra -Wpedantic -Werror
       -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I"$root/src")

# A few replies of the kinds the server sends, as seeds for every corpus.
write_seeds() {
  local corpus=$1
  printf '<p>Gr\xc3\xbc\xc3\x9fe <b>Welt</b></p> x <p>a<b c</p><p>y' > "$corpus/seed_page"
  printf '\x0ede.example.orgHTTP/1.0 302\r\nLocation: http://de.example.org/wiki/M%%C3%%BCnchen\r\n\r\n' \
    > "$corpus/seed_redirect"
  printf 'HTTP/1.1 429 Too many requests\r\nretry-after:\t 120 \t\r\nDate: Sun, 06 Nov 1994 08:49:37 GMT\r\n\r\n<p>x</p>' \
    > "$corpus/seed_throttled"
  printf 'HTTP/1.1 503 Service Unavailable\r\nDate: Sun, 06 Nov 1994 08:49:37 GMT\r\nRetry-After: Sunday, 06-Nov-94 08:51:37 GMT\r\n\r\n' \
    > "$corpus/seed_unavailable"
  # Fetches as https_article_source_fuzz reads them: flags 3, the two codes less 100, the
  # random page's reply after its code, a zero byte, the article's reply after its code.
  local redirect=' Found\r\nlocation: https://de.example.org/wiki/Ulm\r\nRetry-After: 30\r\n\r\n'
  local article=' X\r\nDate: Sun, 06 Nov 1994 08:49:37 GMT\r\nRetry-After: Sun, 06 Nov 1994 08:51:37 GMT\r\n\r\n<p>Stadt</p>'
  local codes
  for codes in '\x00\xca\x00\x64' '\x00\xca\x00\xc9' '\x00\xca\x01\x30' '\x00\xca\x01\x93' \
               '\x01\x49\x00\x64'; do  # 302 then 200, 301, 404, 503; 429 then 200
    printf "\x03$codes$redirect\0$article" > "$corpus/seed_fetch_$(printf "$codes" | od -An -tx1 | tr -d ' ')"
  done
  printf '\x10\x00\x05HTTP/\x85ab\0cd\x00' > "$corpus/seed_blocks"
}

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for file in "$fuzz"/*_fuzz.cpp; do targets+=("$(basename "$file" .cpp)"); done
fi

mkdir -p "$out"
failed=()
for target in "${targets[@]}"; do
  log=$out/$target.log
  if [ ! -f "$fuzz/$target.cpp" ] || [ -z "${sources[$target]+listed}" ]; then
    echo "fuzz: $target FAILED: no fuzz/$target.cpp, or no sources listed in fuzz/run.sh"
    failed+=("$target")
    continue
  fi
  # shellcheck disable=SC2086  # the source list splits at blanks
  if ! clang++ "${flags[@]}" -o "$out/$target" "$fuzz/$target.cpp" ${sources[$target]} \
      > "$log" 2>&1; then
    echo "fuzz: $target FAILED to build:"
    sed 's/^/    /' "$log"
    failed+=("$target")
    continue
  fi
  corpus=$out/corpus/$target
  mkdir -p "$corpus"
  write_seeds "$corpus"
  if (cd "$out" && "./$target" -max_total_time="$seconds" -timeout=20 -dict="$fuzz/net.dict" \
        -artifact_prefix="$out/$target-" -print_final_stats=1 "$corpus") >> "$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    echo "fuzz: $target ok, ${runs:-?} runs in ${seconds} s, $(ls "$corpus" | wc -l) inputs in its corpus"
  else
    echo "fuzz: $target FAILED: its run found a fault (log: ${log#"$root"/}):"
    # The report's first line, the frames in the project's own code and where the input went.
    grep -E '^==[0-9]+== *ERROR|runtime error|#[0-9]+ .* '"$root"'/(fuzz|src)/[^ ]+\.(cpp|h):[0-9]+|SUMMARY|Test unit written' \
      "$log" | head -n 20 | sed 's/^/    /'
    crash=$(sed -n 's/.*Test unit written to //p' "$log" | tail -n 1)
    [ -n "$crash" ] && echo "    reproduce: ${out#"$root"/}/$target ${crash#"$root"/}"
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: ${#failed[@]} of ${#targets[@]} targets FAILED: ${failed[*]}"
  exit 1
fi
echo "fuzz: all ${#targets[@]} targets built and ran ${seconds} s each without a fault"
