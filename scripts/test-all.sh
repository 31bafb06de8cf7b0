#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests, the same under AddressSanitizer and
# UndefinedBehaviorSanitizer, a short run of each fuzz target, the checks of Quillet.exe and the
# end-to-end tests of both builds: the 32-bit one under 32-bit Wine and the 64-bit one under
# 64-bit Wine. Every Wine session is bounded (scripts/wine-env.sh): the memory its programs see
# as available is capped in a private mount namespace. Exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh || exit 1

jobs=$(nproc)
log=$(mktemp)
trap 'rm -f "$log"; bash scripts/qemu-i386.sh teardown $$' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
passed=0 failed=0 broken=() retried=()

run_preset() {
  local preset=$1 parallel=$2 extra=${3:-}
  echo "=== $preset ==="
  if ! cmake --preset "$preset" >/dev/null || ! cmake --build --preset "$preset" -j "$jobs"; then
    broken+=("$preset (build)")
    failed=$((failed + 1))
    return
  fi
  local start=$SECONDS
  # shellcheck disable=SC2086
  ctest --preset "$preset" -j "$parallel" $extra 2>&1 | tee "$log"
  local status=${PIPESTATUS[0]}
  echo "test-all: $preset tests took $((SECONDS - start)) s"
  local line total bad
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1)
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
  if [ -z "$line" ]; then total=0 bad=1; fi
  passed=$((passed + total - bad))
  failed=$((failed + bad))
  if [ "$status" -ne 0 ] || [ "$bad" -ne 0 ]; then broken+=("$preset"); fi
  # A test that failed and then passed on its second run (--repeat until-pass:2) is named, so
  # a flaky test is seen rather than hidden.
  local name
  while read -r name; do
    [ -n "$name" ] && retried+=("$preset/$name")
  done < <(awk '/Test +#[0-9]+: / {
      name = $0; sub(/.*Test +#[0-9]+: /, "", name); sub(/ .*/, "", name)
      if ($0 ~ /Passed/) passed[name] = 1; else failed[name] = 1 }
    END { for (n in failed) if (n in passed) print n }' "$log")
}

run_preset native "$jobs"
run_preset asan "$jobs"
run_preset fuzz 1
# The end-to-end tests drive the shipped 32-bit build under 32-bit Wine: natively where the
# kernel runs 32-bit code, through qemu's user-mode emulator where it does not. The emulator's
# registration is removed again when the run ends, however it ends.
wine32=yes
bash scripts/qemu-i386.sh setup $$ || wine32=no
# Programs under Wine share two cores with the rest of the machine; a test that fails is given
# one more run.
run_preset windows 1 "--repeat until-pass:2"
bash scripts/qemu-i386.sh teardown $$
if [ "$wine32" = no ]; then
  echo "test-all: 32-bit Wine cannot run on this host; only the 64-bit build's end-to-end tests ran"
fi
# The 64-bit build, always: the program a 64-bit Windows runs, and the one recovery beyond 4 GB.
run_preset windows-x64 1 "--repeat until-pass:2"

if [ "${#retried[@]}" -gt 0 ]; then echo "test-all: passed only on their second run: ${retried[*]}"; fi
# One such test is put down to a busy machine; more than one is a failure of the run.
if [ "${#retried[@]}" -gt 1 ]; then broken+=("${#retried[@]} tests needed a second run"); fi
if [ "${#broken[@]}" -gt 0 ]; then echo "test-all: failures in: ${broken[*]}"; fi
echo "test-all: $passed passed, $failed failed, in $((SECONDS / 60)) min $((SECONDS % 60)) s"
[ "$failed" -eq 0 ] && [ "${#broken[@]}" -eq 0 ]
