#!/usr/bin/env bash
# Builds Nimbrel and runs it under Wine in the project's prefix, on your display
# if there is one (else on a private Xvfb), beside the test stand-in shell with
# one Wine Internet Explorer window open for Nimbrel to watch.
# `run.sh --for SECONDS` stops Nimbrel after that long (handy without a display).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

RUN_FOR=""
case "${1:-}" in
  --for) RUN_FOR="${2:?usage: run.sh [--for SECONDS]}" ;;
  "") ;;
  *) die "usage: run.sh [--for SECONDS]" ;;
esac

cd "$NIMBREL_ROOT"
bash scripts/deps.sh
bash scripts/build.sh win

source scripts/wine-env.sh
source scripts/display.sh

NIMBREL_EXE="$NIMBREL_ROOT/build/win/nimbrel.exe"
STANDIN_EXE="$NIMBREL_ROOT/build/win/standin.exe"
LOGS="$NIMBREL_ROOT/build/run-logs"
[ -f "$NIMBREL_EXE" ] || die "build/win/nimbrel.exe was not built"
[ -f "$STANDIN_EXE" ] || die "build/win/standin.exe was not built"

STANDIN_PID=""
FEED_DIR=""

cleanup() {
  set +e
  if [ -n "$STANDIN_PID" ]; then
    exec 3>&-   # end of input: the stand-in shuts down by itself
    for _ in 1 2 3 4 5 6 7 8 9 10; do
      kill -0 "$STANDIN_PID" 2>/dev/null || break
      sleep 0.5
    done
    kill "$STANDIN_PID" 2>/dev/null
    wait "$STANDIN_PID" 2>/dev/null
  fi
  wine_session_stop
  display_stop
  [ -n "$FEED_DIR" ] && rm -rf "$FEED_DIR"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

display_start
bash scripts/prefix.sh
wine_session_stop
mkdir -p "$LOGS"

# The stand-in runs until its standard input ends: feed it from a FIFO whose
# writing end only this script holds.
FEED_DIR="$(mktemp -d)"
mkfifo "$FEED_DIR/feed"
exec 3<>"$FEED_DIR/feed"
say "starting the stand-in shell (log: build/run-logs/standin.log)"
"$NIMBREL_WINE" "$STANDIN_EXE" --ie 1 <"$FEED_DIR/feed" >"$LOGS/standin.log" 2>&1 3>&- &
STANDIN_PID=$!

for ((waited = 0; ; waited++)); do
  grep -q READY "$LOGS/standin.log" 2>/dev/null && break
  kill -0 "$STANDIN_PID" 2>/dev/null || die "the stand-in shell ended before it was ready (see build/run-logs/standin.log)"
  [ "$waited" -lt 600 ] || die "the stand-in shell was not ready after 60 s"
  sleep 0.1
done

if [ -n "$NIMBREL_XVFB_PID" ]; then
  say "no display of yours: Nimbrel runs on Xvfb $DISPLAY; a screenshot goes to build/screenshots/run.png"
  ( sleep 5; display_screenshot "$NIMBREL_ROOT/build/screenshots/run.png" 2>/dev/null ) 3>&- &
fi
say "starting Nimbrel"
if [ -n "$RUN_FOR" ]; then
  timeout "$RUN_FOR" "$NIMBREL_WINE" "$NIMBREL_EXE" 3>&- || true
else
  "$NIMBREL_WINE" "$NIMBREL_EXE" 3>&-
fi
say "Nimbrel has ended"
