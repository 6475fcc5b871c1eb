#!/usr/bin/env bash
# A measured run of nimbrel.exe under Wine, beside the tests but not one of them: navigation
# round trips from the stand-in shell's fake window with empty lists and with the lists of
# build/bench-data/ (made by scripts/bench-data.sh), start-up time and memory, and the import
# of a long host list through the black-list box's menu; then a filter list of 300,000 hosts:
# start-up with it stored, and the window's answers while it updates from loopback.
#   wine-bench.sh [EVENTS]   (default 1000)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
source "$NIMBREL_ROOT/scripts/wine-env.sh"
source "$NIMBREL_ROOT/scripts/display.sh"

[ -f "$NIMBREL_ROOT/build/win/nimbrel.exe" ] || die "build/win/nimbrel.exe was not built"
bash "$NIMBREL_ROOT/scripts/bench-data.sh"
IMPORT_RUN="$NIMBREL_ROOT/build/tools/import_run.exe"
mkdir -p "$(dirname "$IMPORT_RUN")"
x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -municode -static -DUNICODE -D_UNICODE -I"$NIMBREL_ROOT/src" \
  -o "$IMPORT_RUN" "$NIMBREL_ROOT/bench/wine/import_run.cpp" -lcomctl32 -luser32
ANSWER_RUN="$NIMBREL_ROOT/build/tools/answer_run.exe"
x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -municode -static -o "$ANSWER_RUN" \
  "$NIMBREL_ROOT/bench/wine/answer_run.cpp" -luser32
display_start
trap 'wine_session_stop; display_stop' EXIT
bash "$NIMBREL_ROOT/scripts/prefix.sh"
wine_session_stop
python3 "$NIMBREL_ROOT/scripts/wine-bench.py" "$NIMBREL_WINE" "$NIMBREL_ROOT/build/win/nimbrel.exe" \
  "$NIMBREL_ROOT/build/win/standin.exe" "$NIMBREL_ROOT/build/bench-data" "$IMPORT_RUN" "${1:-1000}"
wine_session_stop
python3 "$NIMBREL_ROOT/scripts/wine-bench-filter-lists.py" "$NIMBREL_WINE" "$NIMBREL_ROOT/build/win/nimbrel.exe" \
  "$NIMBREL_ROOT/build/win/standin.exe" "$ANSWER_RUN"
