#!/usr/bin/env bash
# Makes the data of the list-scale benchmarks in build/bench-data/ (not kept in git): the
# plain host rules of the filter lists that Debian's webext-ublock-origin-firefox ships
# (easylist.txt and easyprivacy.txt, nothing else of the package) as an upper-cased black
# list, a white list, an address corpus and filter lists of 300,000 hosts (those hosts as
# "||host^" rules and a synthetic hosts file). When the package cannot be fetched it says so
# and writes made-up lists of the same shape. A second run keeps what is there.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

OUT="$NIMBREL_ROOT/build/bench-data"
PACKAGE=webext-ublock-origin-firefox

if [ -f "$OUT/black.lis" ] && [ -f "$OUT/white.lis" ] && [ -f "$OUT/urls.txt" ] && [ -f "$OUT/hosts.txt" ]; then
  say "benchmark data already in ${OUT#"$NIMBREL_ROOT"/} ($(cat "$OUT/SOURCE" 2>/dev/null || echo unknown source))"
  exit 0
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
lists=()
if (cd "$work" && apt-get download "$PACKAGE" >/dev/null 2>&1) && ls "$work"/*.deb >/dev/null 2>&1; then
  for name in easylist easyprivacy; do
    dpkg-deb --fsys-tarfile "$work"/*.deb | tar -x -O --wildcards "*/easylist/$name.txt" >"$work/$name.txt"
    lists+=("$work/$name.txt")
  done
  source_text="$PACKAGE: plain host rules of easylist.txt and easyprivacy.txt"
else
  warn "$PACKAGE could not be fetched with apt-get download: the black list is made up"
  source_text="made-up lists of the same shape ($PACKAGE could not be fetched)"
fi
mkdir -p "$OUT"
python3 "$NIMBREL_ROOT/scripts/bench-data.py" "$OUT" "${lists[@]}"
echo "$source_text" >"$OUT/SOURCE"
