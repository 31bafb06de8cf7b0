#!/usr/bin/env bash
# The 64-bit program's recovery beyond 4 GB, seen from outside: runs the end-to-end driver's
# large_recovery scenario (Quillet.exe /ram=5000/once) and meanwhile reads the peak resident set
# (VmHWM) of the Wine process that runs Quillet.exe; it must be at least 5,000 MB.
#
#   large_recovery.sh DRIVER QUILLET.EXE WINE-ENV...
#
# The run's namespace reports 5.5 GB available (wine-env.sh), and bounds the address space to that
# and Wine's own 2 GB: enough for the 5,000 MB to go through, and no commit beyond a quarter of a
# 24 GB machine. On a machine where 5,000 MB is more than a
# quarter of its memory, or where the memory is not free now, the test is skipped (77).
set -uo pipefail
driver=$1 quillet=$2
shift 2
want_kb=$((5000 * 1024))
total_kb=$(awk '/^MemTotal:/ {print $2}' /proc/meminfo)
avail_kb=$(awk '/^MemAvailable:/ {print $2}' /proc/meminfo)
if [ $((total_kb / 4)) -lt $((5632 * 1024)) ]; then
  echo "large_recovery: 5,000 MB is more than a quarter of this machine's memory; skipped"
  exit 77
fi
if [ "$avail_kb" -lt $((want_kb + 2048 * 1024)) ]; then
  echo "large_recovery: only $((avail_kb / 1024)) MB are available now, too few to write 5,000 MB beside the rest; skipped"
  exit 77
fi

QUILLET_WINE_AVAILABLE_MB=5632 "$@" test "$driver" large_recovery "$quillet" &
run=$!
peak_kb=0 pid=""
while kill -0 "$run" 2>/dev/null; do
  if [ -z "$pid" ]; then
    cmdline=$(grep -alE 'Quillet\.exe.*/ram=5000' /proc/[0-9]*/cmdline 2>/dev/null | head -1)
    if [ -n "$cmdline" ]; then pid=${cmdline#/proc/}; pid=${pid%/cmdline}; fi
  fi
  if [ -n "$pid" ]; then
    # The peak only grows while the process lives; its last reading before the exit counts.
    hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status" 2>/dev/null)
    if [ -n "$hwm" ] && [ "$hwm" -gt "$peak_kb" ]; then peak_kb=$hwm; fi
    [ -d "/proc/$pid" ] || pid=""
  fi
  sleep 0.01
done
wait "$run"
status=$?
[ "$status" -eq 0 ] || exit "$status"
echo "large_recovery: peak resident set of Quillet.exe $((peak_kb / 1024)) MB"
if [ "$peak_kb" -lt "$want_kb" ]; then
  echo "FAIL large_recovery: Quillet.exe /ram=5000/once wrote less than 5,000 MB (peak resident set $((peak_kb / 1024)) MB)"
  exit 1
fi
echo "PASS large_recovery: 5,000 MB written"
