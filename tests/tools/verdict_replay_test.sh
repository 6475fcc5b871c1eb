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
# Filter lists: a filter list with an exception and a hosts file. Listed hosts and their
# subdomains are blocked at level 1 whatever the port; the exception, a longer name, a
# white-listed host and a host named only in the query pass; level 3 uses no filter list.
printf '[Adblock Plus 2.0]\n! Expires: 4 days\n||tracker.example^\n@@||ok.tracker.example^\n' >"$work/filters.txt"
printf '# hosts\r\n127.0.0.1 localhost\r\n0.0.0.0 ads.other.net\r\n' >"$work/hosts.txt"
printf '<!DOCTYPE html>\n<html><body>ads.other.net</body></html>\n' >"$work/page.html"
cat >"$work/hosts-urls.txt" <<'URLS'
http://cdn.tracker.example/p.gif
http://ok.tracker.example/
http://ADS.Other.Net:8080/x
http://nottracker.example/
http://www.safe.com.tracker.example/
http://www.news.cn/?u=ads.other.net
URLS
filters=(--black "$work/black.lis" --white "$work/white.lis" --urls "$work/hosts-urls.txt"
  --filter-list "$work/filters.txt" --filter-list "$work/hosts.txt")
expect "filter lists at level 1" 0 "addresses: 6, blocked: 2 (level 1)" "${filters[@]}" --check
expect "filter lists compiled" 0 "filter lists: 2, 3 distinct hosts" "${filters[@]}"
expect "filter lists checked" 0 "6 verdicts compared with the line-by-line matcher, 0 differences" "${filters[@]}" --check
expect "reasons checked" 0 "6 verdicts compared with the line-by-line matcher, 0 differences" "${filters[@]}" \
  --reasons --check
expect "reasons timed" 0 "per verdict with its reason: median" "${lists[@]}" --reasons
expect "filter lists at level 3" 0 "addresses: 6, blocked: 0 (level 3)" "${filters[@]}" --level 3 --check
expect "a web page as a filter list" 2 "page.html is not a filter list" "${filters[@]}" --filter-list "$work/page.html"
expect "a missing filter list" 2 "cannot read $work/none.txt" "${filters[@]}" --filter-list "$work/none.txt"
expect "a missing list" 2 "cannot read $work/none.lis" --black "$work/none.lis" --white "$work/white.lis" \
  --urls "$work/urls.txt"
expect "no address file" 2 "usage: verdict-replay" --black "$work/black.lis" --white "$work/white.lis"
expect "an unknown option" 2 "usage: verdict-replay" "${lists[@]}" --fast

[ "$failures" -eq 0 ] && echo "verdict-replay: all passed" || echo "verdict-replay: $failures failed"
exit $((failures > 0))
