# Sourced by scripts/test and scripts/demo: a fresh Wine prefix and an Xvfb display for one run.
#   wine_session_start PREFIX   makes the prefix (Mono and Gecko skipped, the wizard's and the window
#                               frame's fonts mapped to a CJK font), starts Xvfb on a free display unless
#                               GRAVO_USE_DISPLAY=1 (Wine then draws the window frames itself), keeps a
#                               wineserver up
#   wine_session_stop           ends the wineserver and Xvfb (installed as an EXIT trap by start)

export WINEDEBUG=-all
export WINEARCH=win64
# Wine's 64-bit loader: it runs 64-bit programs in place and hands 32-bit ones to the 32-bit loader. Everything
# here goes through it, so that no 32-bit code starts (on some machines only by emulation, about a minute a
# start) unless a 32-bit program is asked for.
GRAVO_WINE=/usr/lib/wine/wine64
[ -x "$GRAVO_WINE" ] || GRAVO_WINE=$(command -v wine64 || echo wine)
export GRAVO_WINE

wine_session_start() {
  export WINEPREFIX=$1
  local fresh=1
  if [ "${GRAVO_KEEP_PREFIX:-0}" = 1 ] && [ -f "$WINEPREFIX/system.reg" ]; then
    fresh=0
  else
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
  fi

  if [ "${GRAVO_USE_DISPLAY:-0}" != 1 ]; then
    local n=$((90 + RANDOM % 100))
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi
  trap wine_session_stop EXIT

  if [ "$fresh" = 1 ]; then
    WINEDLLOVERRIDES="mscoree,mshtml=" "$GRAVO_WINE" wineboot.exe -i </dev/null >/dev/null 2>&1
    wineserver -w
    # Wine's own fonts have no Chinese glyphs. "Segoe UI" is the wizard's font; "MS Shell Dlg" and "MS Shell
    # Dlg 2" are the fonts of the title bar, menus, message boxes and dialogs (Wine's window metrics name
    # "MS Shell Dlg"), so that the title "Gravo 26.1.1 安装向导" and the folder dialog show their characters.
    local font view
    for font in 'Segoe UI' 'MS Shell Dlg' 'MS Shell Dlg 2'; do
      for view in 32 64; do
        "$GRAVO_WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
          /v "$font" /t REG_SZ /d 'WenQuanYi Micro Hei' /f /reg:$view </dev/null >/dev/null 2>&1
      done
    done
    wineserver -w
    # Wine links the user's shell folders (Desktop among them) to the Linux home: make them plain folders
    # of the prefix, so that nothing a run writes lands outside it.
    local profile
    for profile in "$WINEPREFIX"/drive_c/users/*/; do
      find "$profile" -maxdepth 1 -type l | while read -r link; do rm -f "$link"; mkdir -p "$link"; done
    done
  fi
  # One long-lived wineserver for the whole run keeps each test program's start short.
  wineserver -p
  # Unmanaged windows on the private display: with no window manager there, Wine would wait for one at every
  # window's destruction (about 2 s). Wine then draws the windows' frames, title bar included, itself. On the
  # user's display the window manager does (Wine's default).
  local managed=Y
  [ "${GRAVO_USE_DISPLAY:-0}" = 1 ] || managed=N
  "$GRAVO_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d "$managed" /f </dev/null >/dev/null 2>&1
  # Wine's service processes start with the first program and keep its standard handles open: start them
  # here on /dev/null, so that no test run's output pipe stays open after its program has ended.
  "$GRAVO_WINE" cmd /c exit </dev/null >/dev/null 2>&1
}

wine_session_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
  XVFB_PID=
}
