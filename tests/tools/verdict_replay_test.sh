#!/usr/bin/env bash
# The replay tool end to end: small list files as the program stores them (ANSI, CR LF) and
# an address file, replayed at two levels with --check; the blocked counts are the program's
# answers for these addresses. Then the ways the tool must refuse to run.
#   verdict_replay_test.sh [TOOL]   (default build/native/verdict-replay)
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
TOOL="${1:-$ROOT/build/native/verdict-replay}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

expect() {  # expect NAME EXIT-CODE TEXT-IN-OUTPUT ARGS...
  local name="$1" code="$2" text="$3" output rc
  shift 3
  output="$("$TOOL" "$@" 2>&1)"
  rc=$?
  if [ "$rc" -eq "$code" ] && grep -qF -- "$text" <<<"$output"; then
    echo "ok: $name"
  else
    echo "FAILED: $name (exit code $rc, wanted $code and \"$text\"):"
    printf '%s\n' "$output" | sed 's/^/    /'
    failures=$((failures + 1))
  fi
}

# Black: a host, a short line that never counts, two pieces in any order, and a GB2312 piece
# that occurs in the address only from inside a character. White: one site.
printf 'DOUBLECLICK.NET\r\nabc\r\nads*banner\r\n\xC2\xCE\xC5/\r\n' >"$work/black.lis"
printf 'www.safe.com\r\n' >"$work/white.lis"
cat >"$work/urls.txt" <<'URLS'
http://ad.doubleclick.net/x.js
http://x.com/banner/ads.gif
http://www.safe.com/banner/1.gif
http://www.other.com/banner/1.gif
http://abc.com/

http://www.news.cn/index.html
URLS
printf 'http://x.cn/\xD0\xC2\xCE\xC5/\n' >>"$work/urls.txt"
lists=(--black "$work/black.lis" --white "$work/white.lis" --urls "$work/urls.txt")

# Level 1: the two black-list hits and the banner path outside the white-listed site.
expect "level 1" 0 "addresses: 7, blocked: 3 (level 1)" "${lists[@]}" --check
expect "level 1 checked" 0 "7 verdicts compared with the line-by-line matcher, 0 differences" "${lists[@]}" --check
# Level 3 uses no built-in table: the black list alone.
expect "level 3" 0 "addresses: 7, blocked: 2 (level 3)" "${lists[@]}" --level 3 --check
expect "a missing list" 2 "cannot read $work/none.lis" --black "$work/none.lis" --white "$work/white.lis" \
  --urls "$work/urls.txt"
expect "no address file" 2 "usage: verdict-replay" --black "$work/black.lis" --white "$work/white.lis"
expect "an unknown option" 2 "usage: verdict-replay" "${lists[@]}" --fast

[ "$failures" -eq 0 ] && echo "verdict-replay: all passed" || echo "verdict-replay: $failures failed"
exit $((failures > 0))
