#!/usr/bin/env bash
# Rebuilds tools/corpus/corpus.tar.xz and tools/corpus/SOURCES.md from the
# German text packages installed on this machine (fortunes-de, manpages-de and
# the packages that ship German manual pages). The archive is byte-for-byte
# reproducible for the same package versions.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

python3 "$here/build_corpus.py" "$work/corpus.txt" "$here/SOURCES.md"
tar --sort=name --mtime='2026-01-01 00:00Z' --owner=0 --group=0 --numeric-owner \
    -C "$work" -cf - corpus.txt | xz -9e > "$here/corpus.tar.xz"
ls -l "$here/corpus.tar.xz"
