#!/usr/bin/env bash
# Builds the article-source fuzz targets with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, then runs each for the given number of seconds (default 60).
# Corpora and crash files stay in fuzz/out/.
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/fuzz/out
mkdir -p "$out"

flags=(-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
       -I"$root/src")
net=$root/src/net

clang++ "${flags[@]}" -o "$out/paragraph_text_fuzz" \
  "$root/fuzz/paragraph_text_fuzz.cpp" "$net/paragraph_text.cpp"
clang++ "${flags[@]}" -o "$out/location_cut_fuzz" \
  "$root/fuzz/location_cut_fuzz.cpp" "$net/location_cut.cpp" "$net/get_request.cpp"
clang++ "${flags[@]}" -o "$out/reply_head_fuzz" \
  "$root/fuzz/reply_head_fuzz.cpp" "$net/reply_head.cpp"
clang++ "${flags[@]}" -o "$out/retry_after_fuzz" \
  "$root/fuzz/retry_after_fuzz.cpp" "$net/retry_after.cpp" "$net/reply_head.cpp"
clang++ "${flags[@]}" -o "$out/reply_block_fuzz" "$root/fuzz/reply_block_fuzz.cpp"
clang++ "${flags[@]}" -o "$out/https_article_source_fuzz" \
  "$root/fuzz/https_article_source_fuzz.cpp" "$net/https_article_source.cpp" \
  "$net/failure_report.cpp" "$net/location_cut.cpp" "$net/reply_head.cpp" "$net/retry_after.cpp" \
  "$root/fuzz/https_client_absent.cpp"

status=0
for target in paragraph_text_fuzz location_cut_fuzz reply_head_fuzz retry_after_fuzz \
    reply_block_fuzz https_article_source_fuzz; do
  corpus=$out/corpus_$target
  mkdir -p "$corpus"
  printf '<p>Gr\xc3\xbc\xc3\x9fe <b>Welt</b></p> x <p>a<b c</p><p>y' > "$corpus/seed_page"
  printf '\x0ede.example.orgHTTP/1.0 302\r\nLocation: http://de.example.org/wiki/M%%C3%%BCnchen\r\n\r\n' \
    > "$corpus/seed_redirect"
  printf 'HTTP/1.1 429 Too many requests\r\nretry-after: 120\r\nDate: Sun, 06 Nov 1994 08:49:37 GMT\r\n\r\n<p>x</p>' \
    > "$corpus/seed_throttled"
  echo "== $target for ${seconds}s"
  (cd "$out" && "./$target" -max_total_time="$seconds" -dict="$root/fuzz/net.dict" \
     -print_final_stats=1 "$corpus") || status=1
done
exit $status
