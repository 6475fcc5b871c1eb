# Environment for running Nimbrel under Wine (sourced, not run).
# Every Wine process of the project uses one project-local 64-bit prefix with
# the Chinese locale, so that the ANSI code page is 936 as on the target systems.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

export WINEPREFIX="${NIMBREL_WINEPREFIX:-$NIMBREL_ROOT/.wineprefix}"
export WINEARCH=win64
export WINEDEBUG="${NIMBREL_WINEDEBUG:--all}"
# There is no network: never let Wine offer to download Mono or Gecko.
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8
export LC_ALL=zh_CN.UTF-8
# An X display without resources makes every font selection re-read resource files, which
# costs a list box about three quarters of its loading time; see scripts/x-resources.
export XENVIRONMENT="${XENVIRONMENT:-$NIMBREL_ROOT/scripts/x-resources}"

# Debian's `wine` wrapper prefers a (missing) 32-bit loader and nags about it;
# call the 64-bit loader directly.
if [ -x /usr/lib/wine/wine64 ]; then
  NIMBREL_WINE=/usr/lib/wine/wine64
else
  NIMBREL_WINE="$(command -v wine64 || command -v wine || echo wine)"
fi
export WINELOADER="$NIMBREL_WINE"
if [ -x /usr/lib/wine/wineserver ]; then
  NIMBREL_WINESERVER=/usr/lib/wine/wineserver
else
  NIMBREL_WINESERVER="$(command -v wineserver || echo wineserver)"
fi
export WINESERVER="$NIMBREL_WINESERVER"

wine() { "$NIMBREL_WINE" "$@"; }
wineserver() { "$NIMBREL_WINESERVER" "$@"; }

# Ends every Wine process of this prefix, so that the next run starts a fresh session.
wine_session_stop() {
  "$NIMBREL_WINESERVER" -k >/dev/null 2>&1 || true
  "$NIMBREL_WINESERVER" -w >/dev/null 2>&1 || true
}
