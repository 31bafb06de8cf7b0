#!/usr/bin/env bash
# Start-up benchmark under Wine: time from the process start to the main window shown (no
# splash: the fresh prefix has no settings file), private memory of the running program, and
# the size of Quillet.exe. Run after a build (scripts/test-all.sh or scripts/start.sh builds).
# Usage: scripts/bench-startup.sh [runs]   (default 10)
set -euo pipefail
cd "$(dirname "$0")/.."
if /usr/lib/wine/wine --version >/dev/null 2>&1; then preset=windows arch=win32; else preset=windows-x64 arch=win64; fi
build=$PWD/build/$preset
program=$build/platform/win32/Quillet.exe
bench=$build/platform/win32/tests/startup_bench.exe
[ -f "$program" ] && [ -f "$bench" ] || { echo "bench-startup: build the $preset preset first" >&2; exit 1; }

state=$(mktemp -d)
env_cmd=(bash scripts/wine-env.sh "$state" "$arch")
trap '"${env_cmd[@]}" cleanup >/dev/null 2>&1 || true; rm -rf "$state"' EXIT
"${env_cmd[@]}" setup >/dev/null
echo "bench-startup: $preset build under $arch Wine"
"${env_cmd[@]}" run "$bench" "$program" "${1:-10}"
for exe in build/windows/platform/win32/Quillet.exe build/windows-x64/platform/win32/Quillet.exe; do
  [ -f "$exe" ] && echo "size of $exe: $(stat -c %s "$exe") bytes"
done
