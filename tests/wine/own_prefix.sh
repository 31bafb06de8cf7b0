#!/usr/bin/env bash
# Runs one wine-env.sh action in a prefix of its own: set up, the action, cleaned up again
# however it ends. Exits with the action's status (77: this host cannot run that kind of Wine).
#
#   own_prefix.sh WINE-ENV... -- ACTION ARGS...
set -uo pipefail
env=()
while [ "$#" -gt 0 ] && [ "$1" != -- ]; do env+=("$1"); shift; done
shift
trap '"${env[@]}" cleanup >/dev/null 2>&1' EXIT
"${env[@]}" setup || exit $?
"${env[@]}" "$@"
