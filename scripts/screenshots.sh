#!/usr/bin/env bash
# Starts Quillet under Wine on its own Xvfb and saves a screenshot of each page of the main
# window into build/screenshots/. Run after a build (scripts/start.sh or test-all.sh builds).
set -euo pipefail
cd "$(dirname "$0")/.."
# The shipped 32-bit build under 32-bit Wine, natively or through qemu's user-mode emulator;
# the 64-bit build where neither works.
trap 'bash scripts/qemu-i386.sh teardown $$' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
if bash scripts/qemu-i386.sh setup $$ >/dev/null; then preset=windows arch=win32; else preset=windows-x64 arch=win64; fi
build=$PWD/build/$preset
program=$build/platform/win32/Quillet.exe
driver=$build/platform/win32/tests/quillet_e2e.exe
[ -f "$program" ] && [ -f "$driver" ] || { echo "screenshots: build the $preset preset first" >&2; exit 1; }

state=$(mktemp -d)
env_cmd=(bash scripts/wine-env.sh "$state" "$arch")
ini=$(dirname "$program")/Quillet.ini
trap '"${env_cmd[@]}" cleanup >/dev/null 2>&1 || true; rm -rf "$state" "$ini"; bash scripts/qemu-i386.sh teardown $$' EXIT
"${env_cmd[@]}" setup >/dev/null
out=$PWD/build/screenshots
mkdir -p "$out"
"${env_cmd[@]}" run "$program" >/dev/null 2>&1 &
"${env_cmd[@]}" run "$driver" wait_main_window "$program"
shot() { DISPLAY=$(cat "$state/display") import -window root ${2:+-crop $2} "$out/$1.png"; echo "$out/$1.png"; }
window=420x490+0+0
shot page1-resources $window
for n in 2 3 4 5 6; do
  "${env_cmd[@]}" run "$driver" next_page "$program"
  shot "page$n" $window
done
# The Tune RAM dialog over the resource page.
"${env_cmd[@]}" run "$driver" open_tune_ram "$program" && shot tune-ram 440x510+0+0
"${env_cmd[@]}" stop >/dev/null 2>&1 || true
"${env_cmd[@]}" setup >/dev/null
"${env_cmd[@]}" run "$program" >/dev/null 2>&1 &
"${env_cmd[@]}" run "$driver" wait_main_window "$program"
# The tray menu, as a right click on the notification icon opens it.
"${env_cmd[@]}" run "$driver" open_tray_menu "$program"
shot tray-menu 1024x768+0+0
"${env_cmd[@]}" stop >/dev/null 2>&1 || true

# The splash, shown when the settings say so.
"${env_cmd[@]}" setup >/dev/null
printf '[Settings]\r\nShowSplash=0\r\n' >"$ini"
"${env_cmd[@]}" run "$program" >/dev/null 2>&1 &
"${env_cmd[@]}" run "$driver" wait_splash "$program" && shot splash 1024x768+0+0
rm -f "$ini"
