#!/usr/bin/env bash
# Quillet's running costs as the user feels them, for both builds: the i686 Quillet.exe under
# 32-bit Wine and the x64 one under 64-bit Wine, each beside baselines built for the same
# architecture and measured in the same run: start-up to a window ready for input, private
# memory, idle CPU (window shown, closed to the tray, at the 30 ms pace) and the size of the
# shipped Quillet.exe, each with its ratio and its goal.
# Builds the windows preset (both shipped programs and the i686 bench programs) and the
# windows-x64 preset (the x64 bench programs) first. Options go to bench/quillet_bench.py
# (--arch win64,win32, --seconds 30, --rounds 1, --startup-runs, --paces, --memory-only, --regions;
# --help lists them).
# Exit status: 0 every goal met, 1 some goal missed, 2 a figure could not be measured.
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in windows-x64 windows; do
  [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
  if ! cmake --build --preset "$preset" -j2 >/dev/null; then
    echo "bench: the $preset preset does not build" >&2
    exit 2
  fi
done
exec python3 bench/quillet_bench.py "$@"
