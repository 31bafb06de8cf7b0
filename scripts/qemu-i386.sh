#!/usr/bin/env bash
# Lets a host whose kernel runs no 32-bit x86 code run it (32-bit Wine above all) through qemu's
# user-mode emulator, registered with binfmt_misc for i386 ELF programs under the name
# quillet-i386. The emulator is the static qemu-i386 of Debian's bookworm-backports (qemu 10):
# bookworm's own qemu 7.2 spends over a minute starting each Wine process.
#
#   qemu-i386.sh setup HOLDER      make 32-bit programs run for the run whose process id is
#                                  HOLDER; prints how they run. Exits 0 when they run (natively,
#                                  or through the registration), 1 with the reason when not.
#   qemu-i386.sh teardown HOLDER   that run is over: the registration goes once no live run
#                                  holds it, and only if this script made it.
#
# With QUILLET_FORCE_QEMU=1 setup registers the emulator even where the kernel runs 32-bit code
# itself (binfmt_misc comes before the kernel's own loader), to try this route on such a host.
#
# The registration is global to the machine, so runs share it: each holder leaves a file in
# $QEMU_I386_STATE (default /run/quillet-i386), and the last one out removes it. Safe to call
# again: setup registers only what is missing, teardown removes only what it made.
set -euo pipefail

action=${1:-} holder=${2:-}
[[ "$holder" =~ ^[0-9]+$ ]] || { echo "usage: qemu-i386.sh setup|teardown HOLDER-PID" >&2; exit 2; }

name=quillet-i386
binfmt=/proc/sys/fs/binfmt_misc
state=${QEMU_I386_STATE:-/run/quillet-i386}
probe=/usr/lib/wine/wine  # the 32-bit program we need to run; prints its version and ends
root=$(cd "$(dirname "$0")/.." && pwd)
cache=$root/build/qemu-i386

runs_32bit() { "$probe" --version >/dev/null 2>&1; }

# The Debian mirror this machine's apt uses for its own release.
debian_mirror() {
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    awk -v suite="$codename" '$1 == "deb" {
        i = 2; if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
        if ($(i + 1) == suite) { print $i; exit } }' "$f"
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk -v suite="$codename" 'BEGIN { RS = "" } {
        uri = ""; found = 0; n = split($0, line, "\n")
        for (j = 1; j <= n; j++) {
          if (line[j] ~ /^URIs:/) { split(line[j], w, " "); uri = w[2] }
          if (line[j] ~ /^Suites:/) { m = split(line[j], w, " "); for (k = 2; k <= m; k++) if (w[k] == suite) found = 1 }
        }
        if (found && uri != "") { print uri; exit } }' "$f"
  done
}

# build/qemu-i386/qemu-i386, from the qemu-user package of the backports suite, fetched with apt
# through a state of its own (the system's sources and lists are left as they are).
fetch_qemu() {
  [ -x "$cache/qemu-i386" ] && return 0
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  local mirror
  mirror=$(debian_mirror | head -1)
  if [ -z "$codename" ] || [ -z "$mirror" ]; then
    echo "qemu-i386: no Debian mirror for '$codename' found in /etc/apt/sources.list*" >&2
    return 1
  fi
  local apt=$cache/apt
  rm -rf "$apt"
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/deb"
  echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror $codename-backports main" \
    >"$apt/sources.list"
  local opts=(-q -o Dir::Etc::SourceList="$apt/sources.list" -o Dir::Etc::SourceParts=/nonexistent
              -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache" -o APT::Architectures=amd64
              -o Acquire::Languages=none -o APT::Sandbox::User=root)
  echo "qemu-i386: fetching qemu-user from $mirror $codename-backports"
  apt-get "${opts[@]}" update >"$apt/update.log" 2>&1 || { cat "$apt/update.log" >&2; return 1; }
  (cd "$apt/deb" && apt-get "${opts[@]}" download "qemu-user/$codename-backports") >"$apt/download.log" 2>&1 \
    || { cat "$apt/download.log" >&2; return 1; }
  dpkg-deb --fsys-tarfile "$apt"/deb/qemu-user_*.deb | tar -x -O ./usr/bin/qemu-i386 >"$cache/qemu-i386.part"
  chmod 755 "$cache/qemu-i386.part"
  mv "$cache/qemu-i386.part" "$cache/qemu-i386"
  rm -rf "$apt"
}

# Holders whose process has ended (a run that was killed) no longer hold the registration.
prune_holders() {
  local f
  for f in "$state"/holder-*; do
    [ -e "$f" ] || continue
    kill -0 "${f##*/holder-}" 2>/dev/null || rm -f "$f"
  done
}

setup() {
  local error
  if [ -e "$binfmt/$name" ]; then
    touch "$state/holder-$holder"
    echo "qemu-i386: 32-bit programs run through qemu-i386 (registration $name, already in place)"
    return 0
  fi
  if [ -z "${QUILLET_FORCE_QEMU:-}" ] && runs_32bit; then
    local other
    other=$(grep -ls 'interpreter .*qemu-i386' "$binfmt"/* 2>/dev/null | head -1 || true)
    if [ -n "$other" ]; then echo "qemu-i386: 32-bit programs run through ${other##*/}, registered before"
    else echo "qemu-i386: 32-bit programs run natively"; fi
    return 0
  fi
  if [ ! -e "$binfmt/register" ]; then
    if ! error=$(mount -t binfmt_misc binfmt_misc "$binfmt" 2>&1); then
      echo "qemu-i386: cannot mount binfmt_misc on $binfmt: $error" >&2
      return 1
    fi
    touch "$state/mounted"
  fi
  fetch_qemu || { echo "qemu-i386: could not fetch qemu-user from Debian's backports" >&2; return 1; }
  # The i386 ELF header (executables and shared objects); F opens the emulator now, so the
  # registration works inside any mount namespace and chroot.
  local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  if ! error=$(printf ':%s:M::%s:%s:%s:F' "$name" "$magic" "$mask" "$cache/qemu-i386" 2>&1 >"$binfmt/register"); then
    echo "qemu-i386: cannot register $name in $binfmt/register: $error" >&2
    return 1
  fi
  touch "$state/registered" "$state/holder-$holder"
  if ! runs_32bit; then
    echo "qemu-i386: $probe still does not run through $cache/qemu-i386" >&2
    return 1
  fi
  echo "qemu-i386: 32-bit programs run through $("$cache/qemu-i386" --version | head -1) (registration $name)"
}

teardown() {
  rm -f "$state/holder-$holder"
  prune_holders
  compgen -G "$state/holder-*" >/dev/null && return 0  # another run still needs it
  if [ -e "$state/registered" ] && [ -e "$binfmt/$name" ]; then
    echo -1 >"$binfmt/$name"
    echo "qemu-i386: registration $name removed"
  fi
  rm -f "$state/registered"
  # Unmount binfmt_misc only if it was mounted here and holds nobody else's registration.
  if [ -e "$state/mounted" ] && [ -z "$(ls "$binfmt" | grep -vx -e register -e status)" ]; then
    umount "$binfmt" 2>/dev/null || true
  fi
  rm -f "$state/mounted"
}

mkdir -p "$state"
# One run at a time changes the registration and its holders.
exec 9>"$state/lock"
flock 9
case "$action" in
  setup) setup ;;
  teardown) teardown ;;
  *) echo "qemu-i386: unknown action $action" >&2; exit 2 ;;
esac
