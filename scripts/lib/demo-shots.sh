# Sourced by scripts/demo: runs the wizard on the (Xvfb) display, takes a screenshot of the whole window,
# title bar included, on each of its two pages and closes it again through its own "关闭" button.
#   demo_shots_run WIZARD_EXE OUT_DIR   writes OUT_DIR/welcome.png and OUT_DIR/environments.png
# Button positions are relative to the window's 490x328 client area: "下一步 >" on the welcome page and "关闭"
# on the list page, each at its button's middle.

DEMO_NEXT_BUTTON=(330 303)
DEMO_CLOSE_BUTTON=(430 306)

demo_shots_run() {
  local wizard=$1 out=$2
  rm -f "$out/welcome.png" "$out/environments.png"
  "$GRAVO_WINE" "$wizard" </dev/null >/dev/null 2>&1 &
  local pid=$!
  local window
  window=$(demo_find_window "$pid")
  demo_client_offset "$window"
  demo_settled_shot "$window" "$out/welcome.png"
  demo_wait_hover "$window" "${DEMO_NEXT_BUTTON[@]}"
  demo_click "$window" "${DEMO_NEXT_BUTTON[@]}"
  demo_settled_shot "$window" "$out/environments.png"
  demo_click "$window" "${DEMO_CLOSE_BUTTON[@]}"
  local i
  for i in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "demo: the wizard did not close through its button; ending it" >&2
    kill "$pid"
  fi
  wait "$pid" || true
}

# demo_find_window PID: the wizard's visible window, once it is there (300 s at most: where 32-bit code runs
# only by emulation, the wizard takes about a minute to start).
demo_find_window() {
  local pid=$1 window
  local deadline=$((SECONDS + 300))
  while [ "$SECONDS" -lt "$deadline" ]; do
    window=$(xdotool search --onlyvisible --name 'Gravo 26\.1\.1' 2>/dev/null | head -n 1 || true)
    if [ -n "$window" ]; then
      echo "$window"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || { echo "demo: the wizard ended before its window appeared" >&2; return 1; }
    sleep 0.1
  done
  echo "demo: the wizard's window did not appear" >&2
  return 1
}

# demo_client_offset WINDOW: where the client area starts inside the X window, in DEMO_CLIENT_X and
# DEMO_CLIENT_Y. Without a window manager Wine draws the frame itself, inside the X window: borders of one
# width on the left, the right and below, the title bar above.
DEMO_CLIENT_WIDTH=490
DEMO_CLIENT_HEIGHT=328
demo_client_offset() {
  local WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(WIDTH|HEIGHT)=[0-9]+$')"
  DEMO_CLIENT_X=$(((WIDTH - DEMO_CLIENT_WIDTH) / 2))
  DEMO_CLIENT_Y=$((HEIGHT - DEMO_CLIENT_HEIGHT - DEMO_CLIENT_X))
}

# demo_settled_shot WINDOW FILE: a screenshot once the picture has stopped changing (equal in two looks half a
# second apart), is drawn, and differs from the previous shot; 60 s at most.
DEMO_SHOT_SUM=""
demo_settled_shot() {
  local window=$1 file=$2 last="" i sum
  for i in $(seq 120); do
    sleep 0.5
    sum=$(import -window "$window" -depth 8 rgb:- | md5sum)
    if [ "$sum" = "$last" ] && [ "$sum" != "$DEMO_SHOT_SUM" ]; then
      import -window "$window" -strip "$file"
      # A window that has not drawn its first frame yet is a single colour.
      if [ "$(identify -format %k "$file")" -gt 16 ]; then
        DEMO_SHOT_SUM=$sum
        return 0
      fi
    fi
    last=$sum
  done
  echo "demo: the wizard's window did not settle for $file" >&2
  return 1
}

# demo_wait_hover WINDOW X Y: puts the pointer on the button at client (X, Y) and waits until the button turns
# white under it (300 s at most). The detection pass runs after the first frame and draws nothing meanwhile: a
# press and release made during it would reach the wizard in one frame, and make no click.
demo_wait_hover() {
  xdotool mousemove --window "$1" $((DEMO_CLIENT_X + $2)) $((DEMO_CLIENT_Y + $3))
  local deadline=$((SECONDS + 300)) colour
  while [ "$SECONDS" -lt "$deadline" ]; do
    colour=$(import -window "$1" -crop "1x1+$((DEMO_CLIENT_X + $2 - 34))+$((DEMO_CLIENT_Y + $3))" -depth 8 rgb:- | od -An -tu1 | tr -s ' ')
    [ "$colour" = " 255 255 255" ] && return 0
    sleep 0.2
  done
  echo "demo: the wizard did not answer the pointer" >&2
  return 1
}

# demo_click WINDOW X Y: a left click at client (X, Y), pressed and released in separate frames of the wizard.
demo_click() {
  xdotool mousemove --window "$1" $((DEMO_CLIENT_X + $2)) $((DEMO_CLIENT_Y + $3))
  sleep 0.2
  xdotool mousedown 1
  sleep 0.2
  xdotool mouseup 1
}
