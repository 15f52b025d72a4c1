# Wine environment for the end-to-end suite and the demo; source it, then:
#   trap wine_env_cleanup EXIT
#   wine_env_setup          # export, display, prefix
#   ... wine / ctest ...
#   wine_env_screenshot build/x.png
# The functions may also be called one by one.

_wine_env_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
_wine_env_xvfb_pid=""

# Japanese locale (ANSI code page 932), a reusable prefix, no mono or gecko
# install dialogs, quiet Wine, and a HOME of its own whose .asoundrc makes
# every sound observable (wine_env_sound_sink).
wine_env_export() {
  export WINEPREFIX="${WINEPREFIX:-$_wine_env_root/build/wine-prefix}"
  export HOME="$_wine_env_root/build/wine-home"
  export WINEDEBUG="${WINEDEBUG:--all}"
  export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
}

# A virtual display when there is none; its pid is kept for the cleanup.
wine_env_start_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n
  for n in $(seq 90 150); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    _wine_env_xvfb_pid=$!
    local i
    for i in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
      kill -0 "$_wine_env_xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$_wine_env_xvfb_pid" 2>/dev/null
    _wine_env_xvfb_pid=""
  done
  echo "wine-env: no free display for Xvfb" >&2
  return 1
}

# Creates the prefix once; a prefix that exists is reused. Two settings are
# made once as well: a crash of a program under test ends it instead of
# opening a debugger dialog that waits, and windows are not handed to a
# window manager (there is none on Xvfb; Wine would wait two seconds for one
# at every window that closes).
wine_env_init_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-env: creating the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  if ! grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wineserver -w
  fi
}

# Wine's sounds go through ALSA's file plugin over a null device into
# scripts/lib/sound-sink, which logs each one in $HOME/sounds.log (nothing
# is heard). Wine is told to use ALSA.
wine_env_sound_sink() {
  mkdir -p "$HOME"
  : >"$HOME/sounds.log"
  cat >"$HOME/.asoundrc" <<ASOUNDRC
pcm.!default {
  type file
  slave.pcm "null"
  file "|$_wine_env_root/scripts/lib/sound-sink %r %c %b"
  format "raw"
}
ASOUNDRC
  if ! grep -q '^"Audio"="alsa"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /t REG_SZ /d alsa /f >/dev/null 2>&1
    wineserver -w
  fi
}

wine_env_setup() {
  wine_env_export
  wine_env_start_display || return 1
  wine_env_init_prefix
  wine_env_sound_sink
}

# Ends every program of the prefix and the display this file started.
wine_env_cleanup() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1
  if [ -n "$_wine_env_xvfb_pid" ]; then
    kill "$_wine_env_xvfb_pid" 2>/dev/null
    wait "$_wine_env_xvfb_pid" 2>/dev/null
    _wine_env_xvfb_pid=""
  fi
  return 0
}

# wine_env_screenshot FILE.png: the whole display.
wine_env_screenshot() {
  import -window root -display "$DISPLAY" "$1"
}
