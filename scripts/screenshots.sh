#!/usr/bin/env bash
# Takes the pictures of the help pages under Wine, on its own Xvfb: every page of the main
# window, the Tune RAM dialog, the shortcut builder, the upgrade check (answered by the test
# server on 127.0.0.1), the low-resource warning, the usage box of /?, the tray menu, the balloon
# after a recovery, the splash and the tray icon at several memory levels. Each is cropped to its
# window and shrunk losslessly (optipng) into documentation/images/. Run after a build (scripts/start.sh or test-all.sh
# builds).
#
#   screenshots.sh [--dpi N] [--out DIR]
#
# --dpi shows every window on a screen of N dpi (the prefix's LogPixels; the screen is
# 1024x768 at that scale, so 2048x1536 at 192) and saves the windows, not the tray icons, into
# build/screenshots-N/ unless --out names another folder.
set -euo pipefail
cd "$(dirname "$0")/.."
dpi=96 out=""
while [ $# -gt 0 ]; do
  case "$1" in
    --dpi) dpi=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) echo "usage: screenshots.sh [--dpi N] [--out DIR]" >&2; exit 2 ;;
  esac
done
[[ "$dpi" =~ ^[0-9]+$ ]] && [ "$dpi" -ge 96 ] || { echo "screenshots: --dpi takes a number from 96 up" >&2; exit 2; }
screen_w=$(((1024 * dpi + 48) / 96)) screen_h=$(((768 * dpi + 48) / 96))
export QUILLET_WINE_SCREEN=${screen_w}x${screen_h}
if [ "$dpi" != 96 ]; then export QUILLET_WINE_DPI=$dpi; fi
if [ -z "$out" ]; then
  if [ "$dpi" = 96 ]; then out=$PWD/documentation/images; else out=$PWD/build/screenshots-$dpi; fi
fi
out=$(mkdir -p "$out" && cd "$out" && pwd)
# The shipped 32-bit build under 32-bit Wine, natively or through qemu's user-mode emulator;
# the 64-bit build where neither works.
trap 'bash scripts/qemu-i386.sh teardown $$' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
if bash scripts/qemu-i386.sh setup $$ >/dev/null; then preset=windows arch=win32; else preset=windows-x64 arch=win64; fi
build=$PWD/build/$preset
program=$build/win32/Quillet.exe
tests=$build/tests/wine
driver=$tests/quillet_e2e.exe dialogs=$tests/dialogs_e2e.exe lowres=$tests/lowres_probe.exe icons=$tests/tray_icon_probe.exe
for f in "$program" "$driver" "$dialogs" "$lowres" "$icons"; do
  [ -f "$f" ] || { echo "screenshots: build the $preset preset first ($f is missing)" >&2; exit 1; }
done

state=$(mktemp -d)
env_cmd=(bash scripts/wine-env.sh "$state" "$arch")
ini=$(dirname "$program")/Quillet.ini
server=""
stop_server() { if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; server=""; fi; }
trap 'stop_server; "${env_cmd[@]}" cleanup >/dev/null 2>&1 || true; rm -rf "$state" "$ini"; bash scripts/qemu-i386.sh teardown $$' EXIT
"${env_cmd[@]}" setup >/dev/null

display() { cat "$state/display"; }
run() { "${env_cmd[@]}" run "$@"; }
# A fresh session in the same prefix: the program's windows and the desktop as at its start.
restart() { "${env_cmd[@]}" stop >/dev/null 2>&1 || true; rm -f "$ini"; "${env_cmd[@]}" start >/dev/null; }
start_program() { run "$program" "$@" >/dev/null 2>&1 & }
# Where the shown windows of these classes are (WxH+X+Y), waiting up to a minute for them.
rect() {
  local geometry
  for _ in $(seq 60); do
    if geometry=$(run "$driver" window_rect "$@" 2>/dev/null | tr -d '\r' | grep -E '^[0-9]+x[0-9]+\+' | tail -1) &&
       [ -n "$geometry" ]; then
      echo "$geometry"
      return 0
    fi
    sleep 1
  done
  echo "screenshots: no window of class $* appeared" >&2
  return 1
}
# Saves that part of the screen as NAME.png, shrunk without loss.
shot() {
  DISPLAY=$(display) import -window root -crop "$2" +repage -strip "$out/$1.png"
  optipng -quiet -o2 "$out/$1.png"
  echo "$out/$1.png"
}
shot_of() { local name=$1; shift; local geometry; geometry=$(rect "$@"); sleep 0.5; shot "$name" "$geometry"; }

# The six pages of the main window; the graph is given a few seconds to draw its curve. The
# sound file is shown where an installed copy keeps it, not in the build folder.
printf '[Settings]\r\nRecoverSoundFile=C:\\Program Files\\Quillet\\sounds\\optimize.wav\r\n' >"$ini"
start_program
run "$driver" wait_main_window "$program"
sleep 6
pages=(resources options tweaks cache stress about)
shot_of "page-${pages[0]}" TQuilletForm
for page in "${pages[@]:1}"; do
  run "$driver" next_page "$program"
  shot_of "page-$page" TQuilletForm
done
# The Tune RAM dialog over the main window (whose graph shows its two lines).
run "$driver" open_tune_ram "$program"
shot_of tune-ram TQuilletForm TTuneRamForm

# The tray menu, as a right click on the notification icon opens it, with the icon beside it.
restart
start_program
run "$driver" wait_main_window "$program"
sleep 2
run "$driver" open_tray_menu "$program"
menu=$(rect "#32768")
IFS='x+' read -r _ _ mx my <<<"$menu"
x=$((mx > 12 ? mx - 12 : 0)) y=$((my > 12 ? my - 12 : 0))
shot tray-menu "$((screen_w - x))x$((screen_h - y))+$x+$y"

# The balloon that tells what a recovery chosen from the tray menu did, beside the icon.
restart
start_program
run "$driver" wait_main_window "$program"
sleep 2
run "$driver" show_recovery_balloon "$program"
balloon=$(rect tooltips_class32)
IFS='x+' read -r _ _ bx by <<<"$balloon"
x=$((bx > 12 ? bx - 12 : 0)) y=$((by > 12 ? by - 12 : 0))
shot tray-balloon "$((screen_w - x))x$((screen_h - y))+$x+$y"

# The shortcut builder, filled in as an example.
restart
start_program
run "$driver" wait_main_window "$program"
run "$dialogs" open_shortcut "$program"
shot_of shortcut-builder TShortCutsForm

# The upgrade check, answered by the test's own server on 127.0.0.1 ("version 2.0 is out").
restart
port_file=$state/upgrade.port
python3 tests/wine/upgrade_server.py "$port_file" "$state/upgrade.log" </dev/null >/dev/null 2>&1 &
server=$!
for _ in $(seq 100); do [ -s "$port_file" ] && break; sleep 0.1; done
[ -s "$port_file" ] || { echo "screenshots: the upgrade test server did not start" >&2; exit 1; }
port=$(cat "$port_file")
printf '[Settings]\r\nWeb=http://127.0.0.1:%s/\r\n' "$port" >"$ini"
start_program
run "$driver" wait_main_window "$program"
run "$dialogs" open_upgrade "$program" "$port"
shot_of upgrade-check TUpgradeForm
stop_server

# The usage box that /? shows.
restart
start_program "/?"
shot_of usage-box "#32770"

# The low-resource warning, with figures that the probe gives it.
restart
run "$lowres" dialog hold 60 >/dev/null 2>&1 &
shot_of low-resource-warning TLowResForm

# The splash, shown when the settings say so.
restart
printf '[Settings]\r\nShowSplash=0\r\n' >"$ini"
start_program
# (Shot as soon as it has painted, where the driver saw it: it shows for two seconds only.)
splash=$(run "$driver" wait_splash "$program" | tr -d '\r' | grep -E '^[0-9]+x[0-9]+\+' | tail -1) ||
  { echo "screenshots: the splash did not show" >&2; exit 1; }
shot splash "$splash"
"${env_cmd[@]}" stop >/dev/null 2>&1 || true
rm -f "$ini"

# The tray icon as the program draws it for a few memory figures, eight times its size.
[ "$dpi" = 96 ] || exit 0
icons_dir=$state/icons
mkdir -p "$icons_dir"
"${env_cmd[@]}" start >/dev/null
run "$icons" pictures "Z:$icons_dir" >/dev/null
for picture in "$icons_dir"/tray-*.ppm; do
  name=$(basename "$picture" .ppm)
  convert "$picture" -scale 800% -strip "$out/$name.png"
  optipng -quiet -o2 "$out/$name.png"
  echo "$out/$name.png"
done
