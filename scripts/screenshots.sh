#!/usr/bin/env bash
# Starts Quillet under Wine on its own Xvfb and saves a screenshot of each page of the main
# window into build/screenshots/. Run after a build (scripts/start.sh or test-all.sh builds).
set -euo pipefail
cd "$(dirname "$0")/.."
if /usr/lib/wine/wine --version >/dev/null 2>&1; then preset=windows arch=win32; else preset=windows-x64 arch=win64; fi
build=$PWD/build/$preset
program=$build/platform/win32/Quillet.exe
driver=$build/platform/win32/tests/quillet_e2e.exe
[ -f "$program" ] && [ -f "$driver" ] || { echo "screenshots: build the $preset preset first" >&2; exit 1; }

state=$(mktemp -d)
env_cmd=(bash scripts/wine-env.sh "$state" "$arch")
trap '"${env_cmd[@]}" cleanup >/dev/null 2>&1 || true; rm -rf "$state"' EXIT
"${env_cmd[@]}" setup >/dev/null
out=$PWD/build/screenshots
mkdir -p "$out"
"${env_cmd[@]}" run "$program" >/dev/null 2>&1 &
"${env_cmd[@]}" run "$driver" wait_main_window "$program"
shot() { DISPLAY=$(cat "$state/display") import -window root -crop 420x490+0+0 "$out/$1.png"; echo "$out/$1.png"; }
shot page1-resources
for n in 2 3 4 5 6; do
  "${env_cmd[@]}" run "$driver" next_page "$program"
  shot "page$n"
done
