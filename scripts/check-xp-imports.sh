#!/usr/bin/env bash
# Fails when the program imports a DLL function that is not on the list of functions known to
# exist on the oldest Windows the build starts on (Windows XP SP3 for the 32-bit build, Windows
# XP x64 / Server 2003 x64 for the 64-bit one; the list's first line names it). A new import must
# be checked against that release and added to the list by hand.
#   check-xp-imports.sh OBJDUMP PROGRAM.exe ALLOWED-LIST
set -euo pipefail
objdump=$1 exe=$2 allowed=$3
release=$(sed -n '1s/^# Functions the program may import on \(.*\):.*/\1/p' "$allowed")
release=${release:-Windows XP SP3}

imports=$("$objdump" -p "$exe" | awk '
  /DLL Name:/ { dll = tolower($3); next }
  dll != "" && /^\t[0-9a-f]+[ \t]+[0-9]+[ \t]+[A-Za-z_]/ { print dll ":" $3 }
  /^$/ { }
' | sort -u)

[ -n "$imports" ] || { echo "check-xp-imports: no imports read from $exe"; exit 1; }

missing=$(comm -23 <(echo "$imports") <(grep -v '^#' "$allowed" | sed '/^$/d' | sort -u))
count=$(echo "$imports" | wc -l)
if [ -n "$missing" ]; then
  echo "check-xp-imports: $exe imports functions not known on $release:"
  echo "$missing" | sed 's/^/  /'
  exit 1
fi
echo "check-xp-imports: all $count imports exist on $release"
