#!/usr/bin/env bash
# Builds everything and runs every test: the native core tests, then the Win32
# runners under Wine (project prefix, Chinese locale, a display or a private Xvfb).
# Each runner has a time limit; a runner that is missing, crashes or hangs counts
# as a failure. Logs go to build/test-logs/. The last line is "N passed, M failed".
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

LOGS="$NIMBREL_ROOT/build/test-logs"
SHOTS="$NIMBREL_ROOT/build/screenshots"
RUNNER_TIMEOUT="${NIMBREL_TEST_TIMEOUT:-600}"

total_passed=0
total_failed=0
total_skipped=0
report=()

note() { report+=("$*"); }
count_failure() { total_failed=$((total_failed + 1)); note "$1"; }

# Number from the first line matching a GoogleTest summary pattern, or empty.
summary_number() {
  grep -E -m1 "$1" "$2" | grep -oE '[0-9]+' | head -1
}

# Reads a runner's log and its exit code into the totals.
tally() {
  local name="$1" log="$2" rc="$3" passed failed skipped how=""
  local clean="$log"
  # Wine's console output ends lines with CR LF.
  tr -d '\r' <"$log" >"$log.tmp" && mv "$log.tmp" "$log"
  if grep -qE '^\[==========\] [0-9]+ tests? from .* ran' "$clean"; then
    passed="$(summary_number '^\[  PASSED  \] [0-9]+ test' "$clean")"
    failed="$(summary_number '^\[  FAILED  \] [0-9]+ test' "$clean")"
    skipped="$(summary_number '^\[  SKIPPED \] [0-9]+ test' "$clean")"
  else
    # No summary: the runner died or hung. Count what finished, and the runner itself.
    passed="$(grep -cE '^\[       OK \] ' "$clean")"
    failed=$(( $(grep -cE '^\[  FAILED  \] .*\(' "$clean") + 1 ))
    skipped=0
    how="ended before its summary, exit code $rc"
  fi
  passed="${passed:-0}" failed="${failed:-0}" skipped="${skipped:-0}"
  if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
    how="timed out after ${RUNNER_TIMEOUT} s"
  elif [ "$rc" -ne 0 ] && [ "$failed" -eq 0 ]; then
    failed=1
    how="exit code $rc"
  fi
  if [ $((passed + failed)) -eq 0 ]; then
    failed=1
    how="ran no test"
  fi
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed))
  total_skipped=$((total_skipped + skipped))
  note "$name: $passed passed, $failed failed${how:+ ($how)}"
}

# run_runner NAME EXE [LAUNCHER...]: runs a GoogleTest executable, output shown and logged.
run_runner() {
  local name="$1" exe="$2"
  shift 2
  local log="$LOGS/$name.log"
  if [ ! -f "$exe" ]; then
    count_failure "$name: missing (${exe#"$NIMBREL_ROOT"/} was not built)"
    return
  fi
  say "running $name"
  timeout -k 10 "$RUNNER_TIMEOUT" "$@" "$exe" --gtest_color=no </dev/null 2>&1 | tee "$log"
  tally "$name" "$log" "${PIPESTATUS[0]}"
}

run_wine_runner() {
  wine_session_stop
  run_runner "$1" "$2" "$NIMBREL_WINE"
  wine_session_stop
}

# Each fuzz target for a few seconds from its committed seeds, within a small total budget;
# each counts as one test. `scripts/fuzz.sh` runs them for longer.
run_fuzzers() {
  local targets=() name budget="${NIMBREL_FUZZ_BUDGET:-40}" each
  mapfile -t targets < <(cd "$NIMBREL_ROOT/fuzz" && ls -- *_fuzz.cpp 2>/dev/null | sed 's/\.cpp$//')
  [ "${#targets[@]}" -gt 0 ] || return 0
  each=$((budget / ${#targets[@]}))
  [ "$each" -gt 10 ] && each=10
  [ "$each" -lt 2 ] && each=2
  for name in "${targets[@]}"; do
    if bash "$NIMBREL_ROOT/scripts/fuzz.sh" --brief --no-build --seconds "$each" "$name" >"$LOGS/fuzz-$name.log" 2>&1; then
      total_passed=$((total_passed + 1))
      note "fuzz $name: ${each} s, no fault"
    else
      count_failure "fuzz $name: failed (build/test-logs/fuzz-$name.log)"
    fi
  done
}

# The replay tool over small list and address files, with --check; one test.
run_replay_tool_test() {
  if bash "$NIMBREL_ROOT/tests/tools/verdict_replay_test.sh" >"$LOGS/verdict-replay.log" 2>&1; then
    total_passed=$((total_passed + 1))
    note "verdict-replay: passed"
  else
    count_failure "verdict-replay: failed (build/test-logs/verdict-replay.log)"
  fi
}

run_benchmarks() {
  local bench="$NIMBREL_ROOT/build/native/nimbrel_bench"
  [ -x "$bench" ] || return 0
  say "running the benchmarks briefly (build/test-logs/bench.log)"
  if timeout 300 "$bench" --benchmark_min_time=0.01 >"$LOGS/bench.log" 2>&1; then
    note "benchmarks: ran (not counted; build/test-logs/bench.log)"
  else
    note "benchmarks: did not finish cleanly (not counted; build/test-logs/bench.log)"
  fi
}

# The windows' layout once more with the system at 144 DPI: every control must scale with
# it. The prefix goes back to its default DPI afterwards, whatever happens.
run_high_dpi_layout() {
  local desktop='HKCU\Control Panel\Desktop'
  "$NIMBREL_WINE" reg add "$desktop" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1 || {
    count_failure "e2e_tests at 144 DPI: could not set the DPI"
    return
  }
  GTEST_FILTER='UiMainWindowTest.EveryControl*:UiMainWindowTest.TheWindowGrows*:UiMainWindowFitTest.*:UiFilterListsTest.TheTrayItem*' \
    run_wine_runner e2e_tests_144dpi "$NIMBREL_ROOT/build/win/e2e_tests.exe"
  "$NIMBREL_WINE" reg delete "$desktop" /v LogPixels /f >/dev/null 2>&1
  wine_session_stop
}

# A program folder that takes no new file, as Program Files is for a standard user (a file
# already in it may still be written, as a shared black.lis that the administrator let
# users change). Wine runs everything as an administrator and root
# ignores file modes, so only the immutable flag stops a write; it is always taken off again.
LOCKED_FOLDER=""
locked_folder_start() {
  LOCKED_FOLDER="$WINEPREFIX/drive_c/nimbrel-locked"
  locked_folder_stop
  rm -rf "$LOCKED_FOLDER" && mkdir -p "$LOCKED_FOLDER" &&
    cp "$NIMBREL_ROOT/build/win/nimbrel.exe" "$LOCKED_FOLDER/" 2>/dev/null &&
    printf 'an old and much longer list\r\n' >"$LOCKED_FOLDER/existing.lis" &&
    printf 'shared.example\r\n' >"$LOCKED_FOLDER/black.lis" &&
    chattr +i "$LOCKED_FOLDER" || {
    count_failure "standard-user folder: could not be made unwritable (chattr +i)"
    return
  }
  export NIMBREL_LOCKED_FOLDER='C:\nimbrel-locked'
}
locked_folder_stop() {
  [ -n "$LOCKED_FOLDER" ] && [ -d "$LOCKED_FOLDER" ] && chattr -i "$LOCKED_FOLDER" 2>/dev/null
  return 0
}

# A really full disk for the saves: a small tmpfs mounted as a program folder, with a copy of
# nimbrel.exe in it and in a sub-folder that takes no new file (so that both ways of saving
# meet it); the test fills what is left. Always unmounted again.
FULL_DISK=""
full_disk_start() {
  FULL_DISK="$WINEPREFIX/drive_c/nimbrel-full"
  full_disk_stop
  local exe="$NIMBREL_ROOT/build/win/nimbrel.exe" size
  size=$(( $(stat -c %s "$exe" 2>/dev/null || echo 0) * 2 / 1024 + 1024 ))
  mkdir -p "$FULL_DISK" && mount -t tmpfs -o "size=${size}k" tmpfs "$FULL_DISK" &&
    mkdir "$FULL_DISK/locked" && cp "$exe" "$FULL_DISK/" && cp "$exe" "$FULL_DISK/locked/" &&
    : >"$FULL_DISK/locked/white.lis" && : >"$FULL_DISK/locked/black.lis" && chattr +i "$FULL_DISK/locked" || {
    count_failure "full disk: a small tmpfs could not be mounted and prepared"
    full_disk_stop
    return
  }
  export NIMBREL_FULL_DISK='C:\nimbrel-full'
}
full_disk_stop() {
  [ -n "$FULL_DISK" ] && [ -d "$FULL_DISK" ] || return 0
  chattr -i "$FULL_DISK/locked" 2>/dev/null
  if mountpoint -q "$FULL_DISK"; then umount "$FULL_DISK" 2>/dev/null || umount -l "$FULL_DISK"; fi
  unset NIMBREL_FULL_DISK
  return 0
}

# An https server on loopback for the filter-list tests, its certificate signed by a test CA
# made here and trusted by the system (where Wine takes its roots from) only for this run.
HTTPS_DIR=""
HTTPS_PID=""
TEST_CA="/usr/local/share/ca-certificates/nimbrel-test-ca-$$.crt"  # one per run: runs may overlap
https_server_start() {
  HTTPS_DIR="$(mktemp -d)"
  local d="$HTTPS_DIR"
  mkdir -p "$d/www" &&
    printf '[Adblock Plus 2.0]\n||secure-ads.example.com^\n' >"$d/www/list.txt" &&
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Nimbrel Test CA" \
      -keyout "$d/ca.key" -out "$d/ca.crt" >/dev/null 2>&1 &&
    openssl req -newkey rsa:2048 -nodes -subj "/CN=localhost" -keyout "$d/server.key" \
      -out "$d/server.csr" >/dev/null 2>&1 &&
    printf 'subjectAltName=DNS:localhost\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' >"$d/ext" &&
    openssl x509 -req -in "$d/server.csr" -CA "$d/ca.crt" -CAkey "$d/ca.key" -CAcreateserial -days 2 \
      -extfile "$d/ext" -out "$d/server.crt" >/dev/null 2>&1 &&
    cp "$d/ca.crt" "$TEST_CA" && update-ca-certificates >/dev/null 2>&1 || {
    count_failure "https test server: could not make or trust the test CA"
    return
  }
  python3 "$NIMBREL_ROOT/tests/tools/https_server.py" "$d/www" "$d/server.crt" "$d/server.key" "$d/port" \
    >"$LOGS/https-server.log" 2>&1 &
  HTTPS_PID=$!
  local tries=0
  while [ ! -s "$d/port" ] && [ "$tries" -lt 100 ]; do sleep 0.1; tries=$((tries + 1)); done
  [ -s "$d/port" ] && export NIMBREL_HTTPS_LIST="https://localhost:$(cat "$d/port")/list.txt"
}
https_server_stop() {
  [ -n "$HTTPS_PID" ] && kill "$HTTPS_PID" 2>/dev/null
  HTTPS_PID=""
  if [ -f "$TEST_CA" ]; then
    rm -f "$TEST_CA"
    update-ca-certificates --fresh >/dev/null 2>&1
  fi
  [ -n "$HTTPS_DIR" ] && rm -rf "$HTTPS_DIR"
  HTTPS_DIR=""
  return 0
}

list_screenshots() {
  local shot found=0
  for shot in "$SHOTS"/*.png; do
    [ -f "$shot" ] || continue
    [ "$found" -eq 0 ] && note "screenshots:"
    found=1
    note "  ${shot#"$NIMBREL_ROOT"/}"
  done
}

wine_runners() {
  source "$NIMBREL_ROOT/scripts/wine-env.sh"
  source "$NIMBREL_ROOT/scripts/display.sh"
  display_start
  trap 'wine_session_stop; display_stop; locked_folder_stop; full_disk_stop; https_server_stop' EXIT
  if ! bash "$NIMBREL_ROOT/scripts/prefix.sh"; then
    count_failure "Wine prefix: set-up failed"
  else
    # A run that was cut short may have left the prefix at another DPI.
    "$NIMBREL_WINE" reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 || true
    locked_folder_start
    full_disk_start
    https_server_start
    run_wine_runner win_tests "$NIMBREL_ROOT/build/win/win_tests.exe"
    https_server_stop
    run_wine_runner e2e_tests "$NIMBREL_ROOT/build/win/e2e_tests.exe"
    locked_folder_stop
    full_disk_stop
    run_high_dpi_layout
  fi
  wine_session_stop
  display_stop
  locked_folder_stop
  full_disk_stop
  trap - EXIT
}

finish() {
  local line
  echo
  echo "---- summary ----"
  for line in "${report[@]}"; do echo "$line"; done
  if [ "$total_skipped" -gt 0 ]; then
    echo "$total_passed passed, $total_failed failed, $total_skipped skipped"
  else
    echo "$total_passed passed, $total_failed failed"
  fi
  [ "$total_failed" -eq 0 ]
  exit
}

main() {
  cd "$NIMBREL_ROOT" || exit 1
  mkdir -p "$LOGS"
  rm -f "$LOGS"/*.log "$SHOTS"/*.png
  local start
  start="$(now)"

  if ! bash scripts/deps.sh; then
    count_failure "dependencies: installation failed"
    finish
  fi
  bash scripts/build.sh all --keep-going 2>&1 | tee "$LOGS/build.log"
  if [ "${PIPESTATUS[0]}" -ne 0 ]; then
    count_failure "build: failed (build/test-logs/build.log); runners left from earlier builds may be stale"
  fi

  if ! bash scripts/package.sh 2>&1 | tee "$LOGS/package.log"; then
    count_failure "package: failed (build/test-logs/package.log)"
  fi

  run_runner core_tests "$NIMBREL_ROOT/build/native/core_tests"
  run_fuzzers
  run_replay_tool_test
  wine_runners
  run_benchmarks
  list_screenshots
  note "time: $(elapsed_since "$start") s"
  finish
}

main "$@"
