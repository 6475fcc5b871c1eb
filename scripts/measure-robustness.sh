#!/usr/bin/env bash
# The long proofs of robustness, measured under Wine with the test shell (not part of
# scripts/test.sh): a window whose reads hang for 30 s, 1,000 windows registered one by
# one and revoked, 20,000 navigation events. Prints the "[ FIGURES  ]" lines.
#   measure-robustness.sh [OTHER_NIMBREL_EXE]
# With an argument, that nimbrel.exe (for example an earlier build) is measured in place
# of build/win/nimbrel.exe, which is put back afterwards. Sizes: NIMBREL_MEASURE_HANG_S,
# NIMBREL_MEASURE_WINDOWS (and NIMBREL_MEASURE_CYCLES of registering and revoking them all),
# NIMBREL_MEASURE_EVENTS.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$NIMBREL_ROOT"

RUNNER="$NIMBREL_ROOT/build/win/e2e_tests.exe"
BUILT="$NIMBREL_ROOT/build/win/nimbrel.exe"
[ -f "$RUNNER" ] && [ -f "$BUILT" ] || die "build first: bash scripts/build.sh win"
LOG="$NIMBREL_ROOT/build/test-logs/measure-robustness${1:+-other}.log"
mkdir -p "$(dirname "$LOG")"
: >"$LOG"

source scripts/wine-env.sh
source scripts/display.sh
display_start
restore() {
  wine_session_stop
  display_stop
  if [ -f "$BUILT.measured-aside" ]; then mv -f "$BUILT.measured-aside" "$BUILT"; fi
}
trap restore EXIT
if [ -n "${1:-}" ]; then
  cp -f "$BUILT" "$BUILT.measured-aside"
  cp -f "$1" "$BUILT"
fi
bash scripts/prefix.sh

for probe in HungWindow Registrations NavigationEvents; do
  wine_session_stop
  timeout -k 10 3600 "$NIMBREL_WINE" "$RUNNER" --gtest_color=no --gtest_also_run_disabled_tests \
    --gtest_filter="BrowserFaultsTest.DISABLED_Measured$probe" </dev/null 2>&1 | tr -d '\r' | tee -a "$LOG" || true
done
echo "---- figures (${1:-build/win/nimbrel.exe}) ----"
grep -F '[ FIGURES  ]' "$LOG" || true
