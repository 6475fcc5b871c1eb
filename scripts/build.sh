#!/usr/bin/env bash
# Builds Nimbrel: `build.sh [native|win|fuzz|all] [--keep-going]`.
#   native: build/native (pure core, its tests under sanitizers, benchmarks)
#   win:    build/win    (nimbrel.exe and the Win32 test runners, mingw-w64)
#   fuzz:   build/fuzz   (libFuzzer targets of the core, clang)
# Each build directory is configured once; later runs only rebuild what changed.
# --keep-going builds every target that can be built despite failures in others.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

WHAT=all
KEEP_GOING=0
for arg in "$@"; do
  case "$arg" in
    native|win|fuzz|all) WHAT="$arg" ;;
    --keep-going|-k) KEEP_GOING=1 ;;
    *) die "usage: build.sh [native|win|fuzz|all] [--keep-going]" ;;
  esac
done

generator_of() {
  local dir="$1"
  if [ -f "$dir/CMakeCache.txt" ]; then
    sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' "$dir/CMakeCache.txt"
  elif command -v ninja >/dev/null; then
    echo Ninja
  else
    echo "Unix Makefiles"
  fi
}

configured() {
  local dir="$1"
  [ -f "$dir/CMakeCache.txt" ] && { [ -f "$dir/build.ninja" ] || [ -f "$dir/Makefile" ]; }
}

# build_dir NAME DIR CMAKE-ARGS...
build_dir() {
  local name="$1" dir="$2"
  shift 2
  local generator
  generator="$(generator_of "$dir")"
  if ! configured "$dir"; then
    say "configuring $name ($dir, $generator)"
    cmake -S "$NIMBREL_ROOT" -B "$dir" -G "$generator" "$@" || return 1
  fi
  local extra=()
  if [ "$KEEP_GOING" -eq 1 ]; then
    case "$generator" in
      Ninja) extra=(-- -k 0) ;;
      *) extra=(-- -k) ;;
    esac
  fi
  say "building $name"
  cmake --build "$dir" -j2 "${extra[@]}"
}

failed=()
if [ "$WHAT" = native ] || [ "$WHAT" = all ]; then
  build_dir native "$NIMBREL_ROOT/build/native" -DCMAKE_BUILD_TYPE=Debug || failed+=(native)
fi
if [ "$WHAT" = win ] || [ "$WHAT" = all ]; then
  build_dir win "$NIMBREL_ROOT/build/win" \
    -DCMAKE_TOOLCHAIN_FILE="$NIMBREL_ROOT/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
    || failed+=(win)
fi
if [ "$WHAT" = fuzz ] || [ "$WHAT" = all ]; then
  build_dir fuzz "$NIMBREL_ROOT/build/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNIMBREL_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ || failed+=(fuzz)
fi
if [ "${#failed[@]}" -gt 0 ]; then
  die "build failed: ${failed[*]}"
fi
