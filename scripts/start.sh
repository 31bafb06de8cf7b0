#!/usr/bin/env bash
# Builds Quillet.exe and starts it under Wine set up as a Chinese Windows, in a virtual desktop
# with a notification area. Without a display it runs on its own Xvfb and saves a screenshot
# once the main window shows. Runs until the program exits or the command is interrupted.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

# The shipped program is 32-bit: it runs under 32-bit Wine, natively or through qemu's user-mode
# emulator (undone when this command ends). Where neither works, the same sources built for
# 64-bit Windows run instead.
stop() {
  if [ -n "${env_cmd:-}" ]; then "${env_cmd[@]}" stop >/dev/null 2>&1 || true; fi
  bash scripts/qemu-i386.sh teardown $$ || true
}
trap 'exit 130' INT
trap 'exit 143' TERM
trap stop EXIT
if bash scripts/qemu-i386.sh setup $$; then
  preset=windows arch=win32
else
  echo "start: 32-bit Wine cannot run on this host; starting the 64-bit build instead"
  preset=windows-x64 arch=win64
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
build=$PWD/build/$preset
program=$build/win32/Quillet.exe
driver=$build/tests/wine/quillet_e2e.exe

# A prefix of its own that lives on between runs, so the settings file stays.
state=$PWD/build/run-wine-$arch
env_cmd=(bash scripts/wine-env.sh "$state" "$arch")
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then export WINE_ENV_DISPLAY=$DISPLAY; fi
"${env_cmd[@]}" start

# Run from the program folder as the zip holds it, Quillet.exe with sounds/ and documentation/
# beside it (the recovery sound and the help pages are found there). The 32-bit build gathers
# it; for the 64-bit build it is gathered here the same way. The copy the program runs from
# lives on between runs, with its settings file, while the rest is refreshed from the build.
folder=$build/packaging/Quillet
if [ ! -f "$folder/Quillet.exe" ]; then
  gathered=$state/gathered
  mkdir -p "$gathered"
  python3 scripts/make-sound.py "$gathered/optimize.wav"
  python3 packaging/make_dist.py "$gathered/Quillet" "$program" "$gathered/optimize.wav" documentation \
    "$gathered/Quillet.zip" "$gathered/files.nsh"
  folder=$gathered/Quillet
fi
mkdir -p "$state/Quillet"
find "$state/Quillet" -mindepth 1 -maxdepth 1 ! -name Quillet.ini -exec rm -rf {} +
cp -R "$folder/." "$state/Quillet/"
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
