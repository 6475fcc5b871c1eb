#!/usr/bin/env bash
# Installs what building, running and testing Nimbrel needs on Debian 12, and
# nothing that is already there. A second run only checks and returns.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

PACKAGES=(
  cmake ninja-build make g++
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  wine wine64
  xvfb xauth x11-utils imagemagick
  locales fonts-wqy-zenhei
  nsis zip
)
LOCALE=zh_CN.UTF-8

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"
  elif command -v sudo >/dev/null; then sudo "$@"
  else die "root rights are needed to run: $*"
  fi
}

missing_packages() {
  local pkg status
  for pkg in "${PACKAGES[@]}"; do
    status="$(dpkg-query -W -f='${db:Status-Abbrev}' "$pkg" 2>/dev/null || true)"
    [ "${status:0:2}" = "ii" ] || printf '%s\n' "$pkg"
  done
}

install_missing() {
  local missing
  mapfile -t missing < <(missing_packages)
  [ "${#missing[@]}" -eq 0 ] && return 0
  say "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -q
  as_root apt-get install -y -q "${missing[@]}"
}

# Wine takes its ANSI code page from the Unix locale; without the generated
# glibc locale it silently falls back to code page 1252.
locale_present() { locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; }

generate_locale() {
  locale_present && return 0
  say "generating the $LOCALE locale"
  if grep -q "^# *$LOCALE UTF-8" /etc/locale.gen; then
    as_root sed -i "s/^# *$LOCALE UTF-8/$LOCALE UTF-8/" /etc/locale.gen
  elif ! grep -q "^$LOCALE UTF-8" /etc/locale.gen; then
    echo "$LOCALE UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
  fi
  as_root locale-gen
  locale_present || die "the $LOCALE locale could not be generated"
}

install_missing
generate_locale
