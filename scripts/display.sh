# An X display for Wine (sourced, not run).
# display_start uses $DISPLAY when it answers, else starts a private Xvfb on a
# free display number; display_stop stops only an Xvfb that display_start started.

NIMBREL_XVFB_PID=""

display_usable() {
  [ -n "${DISPLAY:-}" ] && timeout 5 xdpyinfo >/dev/null 2>&1
}

display_start() {
  if display_usable; then
    say "using display $DISPLAY"
    return 0
  fi
  command -v Xvfb >/dev/null || die "Xvfb is not installed (run scripts/deps.sh)"
  local numfile
  numfile="$(mktemp)"
  # -displayfd lets Xvfb pick a free display number itself and report it when ready.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
  NIMBREL_XVFB_PID=$!
  local tries=0
  while ! grep -q '[0-9]' "$numfile"; do
    if ! kill -0 "$NIMBREL_XVFB_PID" 2>/dev/null || [ "$tries" -ge 100 ]; then
      rm -f "$numfile"
      NIMBREL_XVFB_PID=""
      die "Xvfb did not start"
    fi
    sleep 0.1
    tries=$((tries + 1))
  done
  export DISPLAY=":$(tr -dc '0-9' <"$numfile")"
  rm -f "$numfile"
  say "started Xvfb on $DISPLAY (1024x768x24)"
}

display_stop() {
  [ -n "$NIMBREL_XVFB_PID" ] || return 0
  kill "$NIMBREL_XVFB_PID" 2>/dev/null || true
  wait "$NIMBREL_XVFB_PID" 2>/dev/null || true
  NIMBREL_XVFB_PID=""
}

# Saves a picture of the whole screen (needs ImageMagick's import).
display_screenshot() {
  local out="$1"
  command -v import >/dev/null || return 1
  mkdir -p "$(dirname "$out")"
  import -display "$DISPLAY" -window root "$out"
}
