#!/usr/bin/env bash
# Fails when a subsystem folder of src/ includes a header it must not: a folder includes its own
# headers and those of the layers below it, never a layer above nor a folder of its own layer.
set -euo pipefail
cd "$(dirname "$0")/.."

# The layers from the bottom up; the folders of one layer know nothing of each other.
layers=("trie screen net" "text" "views" "driver")

status=0
for dir in src/*/; do
  folder=$(basename "$dir")
  [[ " ${layers[*]} " == *" $folder "* ]] || { echo "src/$folder/ is in no layer of $0"; status=1; }
done

below=""
for layer in "${layers[@]}"; do
  for folder in $layer; do
    while IFS=: read -r file line text; do
      target=${text#*\"}
      target=${target%%/*}
      [[ " $below $folder " == *" $target "* ]] && continue
      echo "$file:$line: $folder/ must not include $target/: $text"
      status=1
    done < <(grep -rHn '^#include "[^"]*/' "src/$folder" || true)
  done
  below+=" $layer"
done
exit $status
