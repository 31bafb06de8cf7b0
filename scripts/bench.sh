#!/usr/bin/env bash
# Quillet's running costs against a plain window, measured in one run under 64-bit Wine: idle
# CPU at the default graph pace and at the 30 ms pace, private memory, start-up to window shown,
# and the size of the shipped Quillet.exe, each beside its baseline, the ratio and the goal.
# Builds the windows-x64 preset (the measured programs) and the windows preset (the shipped
# exe) first. Options go to bench/quillet_bench.py (--seconds 30, --rounds 1, --startup-runs 10,
# --paces default,30ms; --help lists them).
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in windows-x64 windows; do
  [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j2 >/dev/null
done
exec python3 bench/quillet_bench.py "$@"
