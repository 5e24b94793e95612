#!/usr/bin/env bash
# End-to-end tests of gravo-setup.exe: the real program under Wine on Xvfb, started from a staged release
# folder on a prepared machine (fake Visual Studio 2022, Visual C++ 2010, Dev-C++ with a 64-bit tool chain,
# a CLion tool chain built for the ucrt runtime), driven with xdotool at the positions of the wizard's layout
# and checked through its pixels, its exit status and the files it writes.
#
# Usage: wizard-e2e.sh SCENARIO     (scenarios: see the functions scenario_* below)
# Environment: WINEPREFIX and DISPLAY (scripts/test provides both), GRAVO_SETUP_EXE, RELEASE_PAYLOAD (the build's
# staged release files, whose digests the wizard carries), STANDIN_GCC, GCC_REPORTS, WIZARD_WINDOW_EXE,
# PLAIN_LOAD_EXE, PLANTED_DLLS (folder with version.dll, gdiplus.dll, msimg32.dll), ARTIFACTS.
set -uo pipefail
. "$(dirname "$0")/../../../kit/release-layout.sh"

layout=$(dirname "$0")/../../../kit/release-layout.txt
drive_c=$WINEPREFIX/drive_c
release="$drive_c/Gravo 发布"
machine=$drive_c/e2e
# Wine names the profile after the Unix user.
desktop=$drive_c/users/$(id -un)/Desktop
mkdir -p "$ARTIFACTS"
checks=0
failures=0
wizard_pid=
win=

check() {
  local what=$1
  shift
  checks=$((checks + 1))
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAIL: $what"
    failures=$((failures + 1))
  fi
}

# --- the machine and the release folder ------------------------------------------------------------------

# The release layout's files as the build made them: the wizard installs only bytes whose digests it carries.
stage_release() {
  rm -rf "$release"
  mkdir -p "$release"
  cp "$GRAVO_SETUP_EXE" "$release/$(release_files "$layout" wizard)"
  local file
  for file in $(release_payloads "$layout"); do
    mkdir -p "$(dirname "$release/$file")"
    cp "$RELEASE_PAYLOAD/$file" "$release/$file"
  done
}

# Whether the installed file COPY holds the bytes of the release file PATH.
copy_of() {
  cmp -s "$release/$2" "$1"
}

# A tool chain's folder with the stand-in gcc printing a real report, and its runtime DLL.
stage_toolchain() {
  local root=$1 report=$2 dll=$3
  mkdir -p "$root/bin" "$root/x86_64-w64-mingw32/include" "$root/x86_64-w64-mingw32/lib" \
    "$root/x86_64-w64-mingw32/lib32"
  cp "$STANDIN_GCC" "$root/bin/gcc.exe"
  # Without its report the stand-in gcc prints nothing, and the probe would find no tool chain there.
  check "the tool chain's gcc report $report is staged" cp "$GCC_REPORTS/$report" "$root/bin/gcc-report.txt"
  : >"$root/bin/$dll"
}

stage_machine() {
  rm -rf "$machine"
  mkdir -p "$machine/VS2022/VC/Auxiliary/VS/include" "$machine/VS2022/VC/Auxiliary/VS/lib/x86" \
    "$machine/VS2022/VC/Auxiliary/VS/lib/x64" \
    "$machine/VS2010/VC/include" "$machine/VS2010/VC/lib/amd64" "$machine/Dev-Cpp"
  stage_toolchain "$machine/Dev-Cpp/MinGW64" x86_64-posix-seh-msvcrt-gcc8.1.0.txt libgcc_s_seh-1.dll
  stage_toolchain "$machine/CLion/bin/mingw" msys2-ucrt64-x86_64-posix-seh-ucrt-gcc15.2.0.txt libgcc_s_seh-1.dll
  : >"$machine/Dev-Cpp/uninstall.exe"
  # Written into the 32-bit view, the one the wizard reads (a 64-bit build through the WOW6432Node paths), by
  # the 64-bit reg: a 32-bit registry editor would cost a 32-bit start, emulated on some machines.
  local uninstall='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall'
  local sxs='HKEY_LOCAL_MACHINE\Software\Microsoft\VisualStudio\SxS\VC7'
  cat >"$machine/machine.reg" <<REG
Windows Registry Editor Version 5.00

[-$uninstall\\GravoE2E.VS2022]
[-$uninstall\\GravoE2E.DevCpp]
[-$uninstall\\GravoE2E.CLion]
[-$sxs]

[$uninstall\\GravoE2E.VS2022]
"DisplayName"="Visual Studio Community 2022"
"InstallLocation"="C:\\\\e2e\\\\VS2022"

[$uninstall\\GravoE2E.DevCpp]
"DisplayName"="Dev-C++"
"UninstallString"="C:\\\\e2e\\\\Dev-Cpp\\\\uninstall.exe"

[$uninstall\\GravoE2E.CLion]
"DisplayName"="CLion 2025.1"
"InstallLocation"="C:\\\\e2e\\\\CLion"

[$sxs]
"10.0"="C:\\\\e2e\\\\VS2010\\\\VC\\\\"
REG
  "$GRAVO_WINE" reg import 'C:\e2e\machine.reg' /reg:32 </dev/null >/dev/null 2>&1
  rm -f "$desktop/Gravo_Help.lnk"
}

# --- the wizard ------------------------------------------------------------------------------------------

start_wizard() {
  (cd "$release" && exec "$GRAVO_WINE" ./gravo-setup.exe </dev/null >/dev/null 2>&1) &
  wizard_pid=$!
  win=
  # A 32-bit wizard where 32-bit code runs only by emulation takes about a minute to start.
  local deadline=$((SECONDS + ${E2E_START_SECONDS:-30}))
  while [ -z "$win" ] && [ "$SECONDS" -lt "$deadline" ]; do
    win=$(xdotool search --name 'Gravo 26.1.1' 2>/dev/null | head -n 1)
    [ -n "$win" ] || sleep 0.1
  done
  [ -n "$win" ] || return 1
  # Wine draws the window's frame itself (no window manager): the client area starts inside the X window.
  read -r client_x client_y < <("$GRAVO_WINE" "$WIZARD_WINDOW_EXE" client-offset </dev/null 2>/dev/null | tr -d '\r')
  [ -n "${client_y:-}" ] || return 1
  # The first frame (the detection pass runs after it, and input waits until it ends), with the pointer,
  # which a scenario before may have left over a footer button, on neither button.
  point_at 300 150
  eventually welcome_drawn
}
welcome_drawn() { is_colour 10 10 33,23,129 && not hovered 330 306 && not hovered 430 306; }

# Waits for the wizard to end; its exit status in $exit_status (124 when it did not end in time).
wait_wizard() {
  local deadline=$((SECONDS + ${E2E_WAIT_SECONDS:-30}))
  exit_status=124
  while [ "$SECONDS" -lt "$deadline" ]; do
    if ! kill -0 "$wizard_pid" 2>/dev/null; then
      wait "$wizard_pid"
      exit_status=$?
      wizard_pid=
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# WHAT ends the wizard, with exit status 0.
ends_with_status_0() {
  check "$1 ends the wizard" wait_wizard
  check "with exit status 0" [ "$exit_status" = 0 ]
}

stop_wizard() {
  if [ -n "$wizard_pid" ]; then
    kill "$wizard_pid" 2>/dev/null
    wait "$wizard_pid" 2>/dev/null
    wizard_pid=
  fi
}
trap stop_wizard EXIT

# Moves the pointer to client (x, y).
point_at() {
  xdotool mousemove --window "$win" $((client_x + $1)) $((client_y + $2))
}

# Runs CMD on fresh screenshots until it holds, for at most E2E_WAIT_SECONDS (30 s): the wizard reads input
# and draws once per frame, and a busy machine may take its time. The screenshot is the current one
# afterwards.
eventually() {
  local deadline=$((SECONDS + ${E2E_WAIT_SECONDS:-30}))
  while :; do
    shot poll
    "$@" && return 0
    if [ "$SECONDS" -ge "$deadline" ]; then
      echo "gave up waiting for: $*"
      return 1
    fi
    sleep 0.05
  done
}

# The button at client (x, y) is drawn hovered (white) around that point.
hovered() { at_least "$(count_colour $(($1 - 6)) $(($2 - 3)) 12 6 255,255,255)" 30; }

# A click on the button at (x, y) whose press does what CMD sees on the screen. Buttons act on the press;
# the release waits until the frame that took the press was drawn, so the two never fall into one frame.
click() {
  local x=$1 y=$2
  shift 2
  point_at "$x" "$y"
  xdotool mousedown 1
  eventually "$@"
  xdotool mouseup 1
}

# A click at (x, y) that must change nothing: before the release the pointer visits the button at (hx, hy)
# until a frame draws it hovered, and comes back until one draws it plain; both frames follow the one that
# took the press.
click_changing_nothing() {
  point_at "$1" "$2"
  xdotool mousedown 1
  point_at "$3" "$4"
  eventually hovered "$3" "$4"
  point_at "$1" "$2"
  eventually not hovered "$3" "$4"
  xdotool mouseup 1
}

# Wheel steps over the list (button 4 up, 5 down) until it scrolls no further: each step is drawn before the
# next is sent, and a step that moves nothing within 3 s has met the list's end.
wheel() {
  local button=$1 step deadline moved
  point_at 200 190
  shot poll
  for step in $(seq 60); do
    cp "$ARTIFACTS/$current_name.png" "$ARTIFACTS/wheel-before.png"
    xdotool click "$button"
    deadline=$((SECONDS + 3))
    moved=
    while [ "$SECONDS" -lt "$deadline" ]; do
      shot poll
      if differ_in wheel-before poll 0 106 470 160; then moved=1; break; fi
      sleep 0.05
    done
    [ -n "$moved" ] || break
  done
}

# Screenshot of the client area as artifact NAME, kept raw for sampling.
shot() {
  import -window "$win" -crop "490x328+$client_x+$client_y" +repage "$ARTIFACTS/$1.png"
  convert "$ARTIFACTS/$1.png" -depth 8 "rgb:$ARTIFACTS/$1.rgb"
  current_shot=$ARTIFACTS/$1.rgb
  current_name=$1
}

# The colour "r,g,b" at client (x, y) of the last screenshot.
pixel() {
  od -An -tu1 -j $((3 * ($2 * 490 + $1))) -N3 "$current_shot" | awk '{print $1 "," $2 "," $3}'
}

is_colour() {
  [ "$(pixel "$1" "$2")" = "$3" ]
}

# How many pixels of the last screenshot's rectangle (x, y, w, h) have the colour "r,g,b".
count_colour() {
  convert "$ARTIFACTS/$current_name.png" -crop "${3}x${4}+${1}+${2}" +repage -fill black +opaque "rgb($5)" \
    -fill white -opaque "rgb($5)" -format '%[fx:int(mean*w*h+0.5)]' info:
}

at_least() { [ "$1" -ge "$2" ]; }
not() { ! "$@"; }

# Whether two screenshots differ inside the rectangle (x, y, w, h).
differ_in() {
  ! cmp -s <(convert "$ARTIFACTS/$1.png" -crop "${5}x${6}+${3}+${4}" -depth 8 rgb:-) \
    <(convert "$ARTIFACTS/$2.png" -crop "${5}x${6}+${3}+${4}" -depth 8 rgb:-)
}

# --- the list page's layout ------------------------------------------------------------------------------
# Line i of the visible list has its buttons centred at y = 122 + 39 i; x = 402 is the gap between "安装"
# and "卸载", which "选择安装目录" covers. The result popup spans (120, 100) to (340, 180): a dark top border
# and its grey "OK" button centred at (230, 158).
beige=235,235,209
row_y() { echo $((122 + 39 * $1)); }
offers_install() { is_colour 402 "$(row_y "$1")" "$beige" && ! is_colour 377 "$(row_y "$1")" "$beige"; }
offers_choice() { ! is_colour 402 "$(row_y "$1")" "$beige"; }
popup_open() { is_colour 230 100 65,65,65 && is_colour 160 158 222,222,222; }
# A result of two lines: the popup spans the window less 20 pixels each side and is one row (16 + 4) taller.
tall_popup_open() { is_colour 230 100 65,65,65 && is_colour 160 178 222,222,222; }
either() { "$1" || "$2"; }
install_line() { click 377 "$(row_y "$1")" either popup_open tall_popup_open; }
uninstall_line() { click 427 "$(row_y "$1")" either popup_open tall_popup_open; }
popup_ok() { click 230 158 not popup_open; }
next_page() { click 330 306 is_colour 300 10 250,250,250; }
previous_page() { click 330 306 is_colour 10 10 33,23,129; }
# "取消" or "关闭": the press ends the wizard.
leave() {
  local deadline=$((SECONDS + ${E2E_WAIT_SECONDS:-30}))
  point_at 430 306
  xdotool mousedown 1
  while [ "$SECONDS" -lt "$deadline" ] && kill -0 "$wizard_pid" 2>/dev/null; do
    sleep 0.1
  done
  xdotool mouseup 1
}
close_box() { "$GRAVO_WINE" "$WIZARD_WINDOW_EXE" close </dev/null >/dev/null 2>&1; }

# The result popup of an install or uninstall is open; its "OK" closes it.
result_popup_ok() {
  check "the result popup opens" popup_open
  popup_ok
}

files_in() { (cd "$1" 2>/dev/null && find . -type f | sort | tr '\n' ' '); }

# Whether FOLDER holds, under another name than NAME, a file with the bytes of ORIGINAL.
holds_other_copy() {
  local file
  while read -r file; do
    cmp -s "$file" "$3" && return 0
  done < <(find "$1" -maxdepth 1 -type f ! -name "$2")
  return 1
}

# --- scenarios -------------------------------------------------------------------------------------------

scenario_welcome() {
  check "the window opens" start_wizard || return
  shot welcome
  check "logo strip (33, 23, 129)" is_colour 10 10 33,23,129
  check "the logo text is drawn in grey on the strip" at_least "$(count_colour 0 0 147 283 170,170,170)" 500
  check "summary panel (245, 245, 239)" is_colour 300 250 245,245,239
  check "the summary text is drawn in (33, 33, 33)" at_least "$(count_colour 147 0 343 283 33,33,33)" 500
  check "separator (100, 100, 100)" is_colour 10 283 100,100,100
  check "footer (235, 235, 209)" is_colour 10 300 "$beige"
  check "\"下一步 >\" and \"取消\" buttons" at_least "$(count_colour 290 284 200 44 222,222,222)" 2000
  leave
  ends_with_status_0 "\"取消\""
}

scenario_list() {
  check "the window opens" start_wizard || return
  next_page
  shot environments
  check "list page header (250, 250, 250)" is_colour 300 10 250,250,250
  check "documentation line offers install and uninstall" offers_install 0
  check "Visual C++ 2010 line offers install and uninstall" offers_install 1
  check "Visual Studio 2022 line offers install and uninstall" offers_install 2
  check "Dev-C++ line offers install and uninstall" offers_install 3
  wheel 5
  shot environments-scrolled
  # The wizard draws nothing while it idles, so its last frame must already be on the screen: a key that
  # changes nothing (Shift) makes it present again, and the screen must stay as it was.
  xdotool key shift
  # Frames after the key's: the pointer goes to "< 上一步" and back to where it was.
  point_at 330 306
  eventually hovered 330 306
  point_at 200 190
  eventually not hovered 330 306
  shot environments-scrolled-again
  check "the last frame drawn is on the screen while the wizard idles" \
    not differ_in environments-scrolled environments-scrolled-again 0 0 490 328
  # At the bottom: Visual C++ 2026, Code::Blocks, C-Free and other MinGW, all undetected.
  local i
  for i in 0 1 2 3; do check "after scrolling down, line $i offers a folder choice" offers_choice "$i"; done
  check "the list area moved" differ_in environments environments-scrolled 0 106 470 160
  check "the footer stayed in place" not differ_in environments environments-scrolled 0 268 280 60
  wheel 4
  shot environments-top
  check "the wheel scrolls back to the top" offers_install 0
  install_line 2
  shot popup
  check "\"安装\" opens the result popup" popup_open
  click_changing_nothing 330 306 230 158
  shot popup-modal
  check "while it is open the page's other buttons do nothing" popup_open
  popup_ok
  shot popup-closed
  check "\"OK\" closes the popup" not popup_open
  previous_page
  shot welcome-again
  check "\"< 上一步\" shows the welcome page" is_colour 10 10 33,23,129
  next_page
  shot environments-again
  check "going back and forth keeps the list" not differ_in environments environments-again 0 106 350 160
  leave
  ends_with_status_0 "\"关闭\""
}

scenario_install_visual_studio() {
  local vs="$machine/VS2022/VC/Auxiliary/VS"
  check "the window opens" start_wizard || return
  next_page
  install_line 2
  check "\"安装\" on Visual Studio 2022 copies exactly its six files" [ "$(files_in "$vs")" = \
    "./include/graphics.h ./include/gravo.h ./lib/x64/Gravoa.lib ./lib/x64/Gravow.lib ./lib/x86/Gravoa.lib ./lib/x86/Gravow.lib " ]
  check "the 64-bit wide library comes from lib_vs\\VC2015\\x64" copy_of "$vs/lib/x64/Gravow.lib" lib_vs/VC2015/x64/Gravow.lib
  check "nothing else is written" [ "$(files_in "$machine/VS2010")" = "" ]
  shot install-succeeded
  result_popup_ok
  uninstall_line 2
  shot uninstall-succeeded
  check "\"卸载\" removes them" [ "$(files_in "$vs")" = "" ]
  popup_ok
  uninstall_line 2
  shot uninstall-failed
  check "a second \"卸载\" shows another text (the failure)" differ_in uninstall-succeeded uninstall-failed 125 105 210 30
  popup_ok
  close_box
  ends_with_status_0 "the close box"
}

scenario_install_devcpp() {
  local base="$machine/Dev-Cpp/MinGW64/x86_64-w64-mingw32"
  check "the window opens" start_wizard || return
  next_page
  install_line 3
  check "\"安装\" on Dev-C++ puts the headers into the probed include folder" \
    [ "$(files_in "$base/include")" = "./graphics.h ./gravo.h " ]
  check "the 32-bit pair into lib32" copy_of "$base/lib32/libgravow.a" lib_mingw/lib32/libgravow.a
  check "the 64-bit pair into lib" copy_of "$base/lib/libgravo.a" lib_mingw/lib64/libgravo.a
  shot devcpp-installed
  result_popup_ok
  uninstall_line 3
  check "\"卸载\" removes all six" [ "$(files_in "$base")" = "" ]
  popup_ok
  leave
  ends_with_status_0 "\"关闭\""
}

# Another graphics library's graphics.h in Dev-C++'s include folder: "安装" puts ours in its place and keeps
# the foreign one beside it; "卸载" puts the foreign one back, byte for byte.
scenario_foreign_graphics_header() {
  local include="$machine/Dev-Cpp/MinGW64/x86_64-w64-mingw32/include"
  local original="$machine/foreign-graphics.h"
  printf '/* another library\r\n   \xe5\x9b\xbe\xe5\xbd\xa2 */\r\n#pragma once\r\nvoid draw_dot(int, int);\r\n' >"$original"
  cp "$original" "$include/graphics.h"
  check "the window opens" start_wizard || return
  next_page
  install_line 3
  check "\"安装\" puts the release's graphics.h in place" copy_of "$include/graphics.h" include/graphics.h
  check "and keeps the foreign graphics.h beside it" holds_other_copy "$include" graphics.h "$original"
  shot foreign-header-installed
  result_popup_ok
  uninstall_line 3
  check "\"卸载\" puts the foreign graphics.h back, byte for byte" cmp "$original" "$include/graphics.h"
  check "and leaves nothing else in the include folder" [ "$(files_in "$include")" = "./graphics.h " ]
  popup_ok
  leave
  ends_with_status_0 "\"关闭\""
}

# A release file changed after the build: "安装" on Visual Studio 2022 writes nothing and its popup, one row
# taller, names the file on a second line.
scenario_tampered_payload() {
  local vs="$machine/VS2022/VC/Auxiliary/VS"
  printf 'planted' >>"$release/lib_vs/VC2015/x64/Gravow.lib"
  check "the window opens" start_wizard || return
  next_page
  install_line 2
  check "\"安装\" on Visual Studio 2022 writes nothing" [ "$(files_in "$vs")" = "" ]
  shot tampered-refused
  check "the result popup opens, its \"OK\" one row lower" tall_popup_open
  check "its second line names the file" at_least "$(count_colour 20 136 450 20 33,33,33)" 100
  click 230 178 not tall_popup_open
  close_box
  ends_with_status_0 "the close box"
}

scenario_documentation() {
  local link="$desktop/Gravo_Help.lnk"
  check "the window opens" start_wizard || return
  next_page
  install_line 0
  # Wine's shell link stores a URL target as a path relative to the current folder, but it does write the
  # shortcut, so the install succeeds as on Windows.
  check "\"安装\" on the documentation line puts Gravo_Help.lnk on the desktop" [ -s "$link" ]
  shot documentation-installed
  result_popup_ok
  uninstall_line 0
  check "\"卸载\" removes it" [ ! -e "$link" ]
  shot documentation-uninstalled
  check "and shows its result" popup_open
  popup_ok
  close_box
  ends_with_status_0 "the close box"
}

# A DLL planted in the release folder under a system DLL's name is never loaded by the wizard. Wine prefers
# its built-in DLLs, so the native copies are preferred here, as Windows' search order would take them.
# version.dll is planted but not checked under Wine: Wine's own user32 imports it, so with a native-first
# order every program takes a planted copy before its entry point runs (Windows' user32 does not import it).
scenario_dll_planting() {
  local dll
  for dll in version gdiplus msimg32; do cp "$PLANTED_DLLS/$dll.dll" "$release/$dll.dll"; done
  cp "$PLAIN_LOAD_EXE" "$release/plain-load.exe"
  export WINEDLLOVERRIDES="version,gdiplus,msimg32=n,b"
  for dll in gdiplus msimg32; do
    (cd "$release" && "$GRAVO_WINE" ./plain-load.exe "$dll.dll" </dev/null >/dev/null 2>&1)
    check "control: an ordinary load from the release folder takes the planted $dll.dll" \
      [ -e "$release/$dll.dll.loaded" ]
  done
  rm -f "$release"/*.loaded
  check "the window opens" start_wizard || return
  next_page
  close_box
  check "the wizard ends" wait_wizard
  for dll in gdiplus msimg32; do
    check "the wizard did not load the planted $dll.dll" [ ! -e "$release/$dll.dll.loaded" ]
  done
  unset WINEDLLOVERRIDES
}

scenario=${1:?usage: wizard-e2e.sh SCENARIO}
stage_release
stage_machine
"scenario_$scenario"
stop_wizard
echo "$scenario: $checks checks, $failures failed"
[ "$failures" -eq 0 ] && [ "$checks" -gt 0 ]
