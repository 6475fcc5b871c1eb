#!/usr/bin/env bash
# Runs the libFuzzer targets of fuzz/: `fuzz.sh [--seconds N] [--brief] [--no-build] [TARGET...]`.
# Without targets, every one, one after the other, N seconds each (default 300).
# Each target starts from its committed seeds in fuzz/corpus/TARGET/. New inputs go to
# build/fuzz/corpus/TARGET/ and are kept for the next run (copy the useful ones into
# fuzz/corpus/ to keep them for good); a crashing input goes to build/fuzz/crashes/ and is
# replayed by running the target with the file as its argument.
# --brief: a scratch corpus that is thrown away (the test command's short run).
# Exits non-zero when a target found a fault or could not run.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

FUZZ_BUILD="$NIMBREL_ROOT/build/fuzz"
SECONDS_EACH=300
BRIEF=0
BUILD=1
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) SECONDS_EACH="$2"; shift ;;
    --brief) BRIEF=1 ;;
    --no-build) BUILD=0 ;;
    -*) die "usage: fuzz.sh [--seconds N] [--brief] [--no-build] [TARGET...]" ;;
    *) targets+=("$1") ;;
  esac
  shift
done

# The targets are the sources fuzz/NAME_fuzz.cpp.
all_targets() {
  local source
  for source in "$NIMBREL_ROOT"/fuzz/*_fuzz.cpp; do
    [ -f "$source" ] && basename "$source" .cpp
  done
}

run_target() {
  local name="$1" exe="$FUZZ_BUILD/$1" corpus crashes="$FUZZ_BUILD/crashes" rc
  if [ ! -x "$exe" ]; then
    warn "$name: not built"
    return 1
  fi
  if [ "$BRIEF" -eq 1 ]; then
    corpus="$(mktemp -d)"
  else
    corpus="$FUZZ_BUILD/corpus/$name"
  fi
  mkdir -p "$corpus" "$crashes"
  say "fuzzing $name for $SECONDS_EACH s"
  # The first folder receives new inputs; the committed seeds are only read.
  timeout -k 10 $((SECONDS_EACH + 120)) "$exe" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$crashes/$name-" "$corpus" "$NIMBREL_ROOT/fuzz/corpus/$name" 2>&1 | tail -n 25
  rc="${PIPESTATUS[0]}"
  [ "$BRIEF" -eq 1 ] && rm -rf "$corpus"
  if [ "$rc" -ne 0 ]; then
    warn "$name: failed (exit code $rc); inputs in ${crashes#"$NIMBREL_ROOT"/}"
    return 1
  fi
}

main() {
  [ "${#targets[@]}" -gt 0 ] || mapfile -t targets < <(all_targets)
  [ "${#targets[@]}" -gt 0 ] || die "no fuzz targets in fuzz/"
  if [ "$BUILD" -eq 1 ]; then
    bash "$NIMBREL_ROOT/scripts/build.sh" fuzz || die "the fuzz build failed"
  fi
  local name failed=0
  for name in "${targets[@]}"; do
    run_target "$name" || failed=$((failed + 1))
  done
  [ "$failed" -eq 0 ]
}

main
