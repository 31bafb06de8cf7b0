#!/usr/bin/env bash
# Builds Quillet.exe and starts it under Wine set up as a Chinese Windows, in a virtual desktop
# with a notification area. Without a display it runs on its own Xvfb and saves a screenshot
# once the main window shows. Runs until the program exits or the command is interrupted.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

# The shipped program is 32-bit; a host whose kernel cannot run 32-bit code (so no 32-bit Wine)
# runs the same sources built for 64-bit Windows instead.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then preset=windows arch=win32; else preset=windows-x64 arch=win64; fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
build=$PWD/build/$preset
program=$build/platform/win32/Quillet.exe
driver=$build/platform/win32/tests/quillet_e2e.exe

# A prefix of its own that lives on between runs, so the settings file stays.
state=$PWD/build/run-wine-$arch
env_cmd=(bash scripts/wine-env.sh "$state" "$arch")
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then export WINE_ENV_DISPLAY=$DISPLAY; fi
"${env_cmd[@]}" start

stop() { "${env_cmd[@]}" stop >/dev/null 2>&1 || true; }
trap 'stop; exit 130' INT TERM
trap stop EXIT

# Run from the program's own folder, as a user would start it.
mkdir -p "$state/Quillet"
cp "$program" "$state/Quillet/Quillet.exe"
"${env_cmd[@]}" run "$state/Quillet/Quillet.exe" "$@" &
pid=$!

if [ -z "${WINE_ENV_DISPLAY:-}" ]; then
  if "${env_cmd[@]}" run "$driver" wait_main_window "$state/Quillet/Quillet.exe"; then
    shot=$PWD/build/quillet-screenshot.png
    DISPLAY=$(cat "$state/display") import -window root "$shot"
    echo "screenshot: $shot"
  else
    echo "start: the main window did not appear" >&2
  fi
fi
echo "Quillet is running; interrupt (Ctrl+C) to end it."
wait "$pid" || true
