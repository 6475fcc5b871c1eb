#!/usr/bin/env bash
# Creates the project's Wine prefix on first use and sets it up for Nimbrel:
# Chinese fonts for 宋体/SimSun, Wine-drawn title bars without a window manager,
# no crash dialog (a crashing test must not wait for a click), and a check that the ANSI code page is 936.
# A stamp records the set-up; it is redone when this script changes.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
source "$(dirname "${BASH_SOURCE[0]}")/display.sh"

STAMP="$WINEPREFIX/.nimbrel-setup"
TOOLS="$NIMBREL_ROOT/build/tools"
WANTED_STAMP="$(sha256sum "${BASH_SOURCE[0]}" | cut -d' ' -f1)"

prefix_current() {
  [ -f "$WINEPREFIX/system.reg" ] && [ -f "$STAMP" ] && [ "$(cat "$STAMP")" = "$WANTED_STAMP" ]
}

create_prefix() {
  [ -f "$WINEPREFIX/system.reg" ] && return 0
  say "creating the Wine prefix $WINEPREFIX (takes a minute)"
  local start
  start="$(now)"
  mkdir -p "$WINEPREFIX"
  wine_session_stop
  timeout 600 "$NIMBREL_WINE" wineboot -i >/dev/null 2>&1 || die "wineboot -i failed"
  "$NIMBREL_WINESERVER" -w
  [ -f "$WINEPREFIX/system.reg" ] || die "wineboot left no registry in $WINEPREFIX"
  say "prefix created in $(elapsed_since "$start") s"
}

# regedit wants UTF-16LE with a byte order mark for value names outside ASCII.
write_reg_file() {
  local out="$1" font="WenQuanYi Zen Hei Sharp"
  {
    printf '\xff\xfe'
    sed 's/$/\r/' <<REG | iconv -f UTF-8 -t UTF-16LE
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"宋体"="$font"
"SimSun"="$font"
"新宋体"="$font"
"NSimSun"="$font"

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Managed"="N"
"Decorated"="Y"

[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000

REG
  } >"$out"
}

apply_settings() {
  say "applying the prefix settings"
  local reg
  reg="$(mktemp --suffix=.reg)"
  write_reg_file "$reg"
  timeout 120 "$NIMBREL_WINE" regedit /S "$(winepath_of "$reg")" || die "regedit failed"
  rm -f "$reg"
}

# Debian's Wine does not load its own fonts from /usr/share/wine/fonts, so the
# title-bar buttons (drawn with Marlett) come out as the letters "0 1 r".
# A copy in the prefix's Fonts folder is loaded.
install_wine_fonts() {
  local font fonts_dir="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts_dir"
  for font in marlett.ttf; do
    if [ -f "/usr/share/wine/fonts/$font" ] && ! cmp -s "/usr/share/wine/fonts/$font" "$fonts_dir/$font"; then
      cp "/usr/share/wine/fonts/$font" "$fonts_dir/$font"
    fi
  done
}

winepath_of() { printf 'Z:%s' "${1//\//\\}"; }

# A tiny Windows program that prints the ANSI code page and whether 0xB0 is a
# GB2312 lead byte.
code_page_probe() {
  local exe="$TOOLS/acp.exe"
  if [ ! -x "$exe" ]; then
    mkdir -p "$TOOLS"
    x86_64-w64-mingw32-gcc-posix -O1 -o "$exe" -x c - <<'C'
#include <windows.h>
#include <stdio.h>
int main(void) { printf("%u %d\n", GetACP(), IsDBCSLeadByte(0xB0) ? 1 : 0); return 0; }
C
  fi
  printf '%s' "$exe"
}

check_code_page() {
  local got
  got="$(timeout 60 "$NIMBREL_WINE" "$(code_page_probe)" | tr -d '\r')"
  [ "$got" = "936 1" ] || die "Wine's ANSI code page is '$got', wanted '936 1' (is the zh_CN.UTF-8 locale generated? run scripts/deps.sh)"
  say "ANSI code page 936, GB2312 lead bytes recognised"
}

main() {
  if prefix_current; then
    return 0
  fi
  locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8' || die "the zh_CN.UTF-8 locale is missing (run scripts/deps.sh)"
  mkdir -p "$NIMBREL_ROOT/build"
  exec 9>"$NIMBREL_ROOT/build/.prefix.lock"
  flock 9
  prefix_current && return 0
  display_start
  trap 'wine_session_stop; display_stop' EXIT
  create_prefix
  apply_settings
  install_wine_fonts
  check_code_page
  wine_session_stop
  printf '%s\n' "$WANTED_STAMP" >"$STAMP"
  say "Wine prefix ready"
}

main "$@"
