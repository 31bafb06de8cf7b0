#!/usr/bin/env bash
# Runs one scenario of the dialogs' end-to-end driver. The upgrade scenarios get the test's own
# HTTP server on 127.0.0.1 (its port is the driver's last argument), and every request it saw is
# printed afterwards. The driver writes to a file that is printed once it ends: Wine's own
# processes may keep a copy of a program's output handle long after the program, and must not
# keep the test runner waiting on it.
#   dialogs_e2e.sh WORK_DIR DRIVER SCENARIO QUILLET_EXE -- WINE_ENV_COMMAND...
set -uo pipefail
work=$1 driver=$2 scenario=$3 quillet=$4
shift 5
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$work"
output="$work/$scenario.out"
rm -f "$output"

server=""
port=()
stop_server() { if [ -n "$server" ]; then kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; fi; }
trap stop_server EXIT
if [[ "$scenario" == upgrade_* ]]; then
  port_file="$work/$scenario.port" log="$work/$scenario.requests"
  rm -f "$port_file" "$log"
  python3 "$here/upgrade_server.py" "$port_file" "$log" </dev/null >/dev/null 2>&1 &
  server=$!
  for _ in $(seq 300); do
    [ -s "$port_file" ] && break
    kill -0 "$server" 2>/dev/null || { echo "dialogs_e2e: the test server did not start"; exit 1; }
    sleep 0.1
  done
  [ -s "$port_file" ] || { echo "dialogs_e2e: the test server gave no port"; exit 1; }
  port=("$(cat "$port_file")")
fi

status=0
"$@" test "$driver" "$scenario" "$quillet" "${port[@]}" </dev/null >"$output" 2>&1 || status=$?
cat "$output"
if [ -n "$server" ]; then
  echo "--- requests the test server saw ---"
  cat "$log"
fi
exit "$status"
