#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests, the same under AddressSanitizer and
# UndefinedBehaviorSanitizer, a short run of each fuzz target, the checks of Quillet.exe and the
# end-to-end tests under Wine. Exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh || exit 1

jobs=$(nproc)
log=$(mktemp)
trap 'rm -f "$log"' EXIT
passed=0 failed=0 broken=()

run_preset() {
  local preset=$1 parallel=$2 extra=${3:-}
  echo "=== $preset ==="
  if ! cmake --preset "$preset" >/dev/null || ! cmake --build --preset "$preset" -j "$jobs"; then
    broken+=("$preset (build)")
    failed=$((failed + 1))
    return
  fi
  # shellcheck disable=SC2086
  ctest --preset "$preset" -j "$parallel" $extra 2>&1 | tee "$log"
  local status=${PIPESTATUS[0]}
  local line total bad
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1)
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
  if [ -z "$line" ]; then total=0 bad=1; fi
  passed=$((passed + total - bad))
  failed=$((failed + bad))
  if [ "$status" -ne 0 ] || [ "$bad" -ne 0 ]; then broken+=("$preset"); fi
}

run_preset native "$jobs"
run_preset asan "$jobs"
run_preset fuzz 1
# Programs under Wine share two cores with the rest of the machine; a timing-sensitive test that
# fails is given one more run.
run_preset windows 1 "--repeat until-pass:2"
# Hosts that cannot run 32-bit code (so no 32-bit Wine) run the end-to-end tests on the same
# sources built for 64-bit Windows.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "test-all: this host cannot run 32-bit Wine; end-to-end tests run on the 64-bit build"
  run_preset windows-x64 1 "--repeat until-pass:2"
fi

if [ "${#broken[@]}" -gt 0 ]; then echo "test-all: failures in: ${broken[*]}"; fi
echo "test-all: $passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "${#broken[@]}" -eq 0 ]
