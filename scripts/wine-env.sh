#!/usr/bin/env bash
# A throwaway Wine prefix set up as a Chinese Windows, in a virtual desktop with a notification
# area, on its own X server.
#
#   wine-env.sh STATE ARCH setup                  make a new prefix and start Xvfb; the screen
#                                                 and the virtual desktop are 1024x768, or
#                                                 $QUILLET_WINE_SCREEN (WxH) when set
#   wine-env.sh STATE ARCH start                  the same, keeping a prefix made before (and
#                                                 its screen size); uses $WINE_ENV_DISPLAY
#                                                 instead of Xvfb when set
#   wine-env.sh STATE ARCH run PROGRAM ARGS...    run a Windows program there (Unix paths in
#                                                 ARGS that end in .exe become Windows paths);
#                                                 with QUILLET_WINE_VERSION set (win95, win98,
#                                                 winme, nt40, win2k, winxp, or default) the
#                                                 program alone sees that Windows release, for
#                                                 this run only (QUILLET_WINE_VERSION_EXE names
#                                                 another program to see it instead); with
#                                                 QUILLET_WINE_DPI set (144, 192 ...) the run
#                                                 sees that display scale (LogPixels), reset after;
#                                                 setup and start with it start the desktop at it
#   wine-env.sh STATE ARCH test PROGRAM ARGS...   the same, for a test that has the prefix to
#                                                 itself (CTest runs them one at a time): it
#                                                 starts once no program an earlier test started
#                                                 is left there (one still there after a while is
#                                                 ended, and said so), and what it started is
#                                                 ended when it ends, however it ends
#   wine-env.sh STATE ARCH stop                   end its programs, its server and its Xvfb
#   wine-env.sh STATE ARCH cleanup                stop, and remove the prefix
#
# ARCH is win32 or win64. Exits 77 when this host cannot run that kind of Wine.
#
# Every action runs in a private mount namespace whose /proc/meminfo reports at most
# $QUILLET_WINE_AVAILABLE_MB (3072) MB of free and available memory (no buffers or page cache),
# and never more than a quarter of the machine's memory: Wine takes the available memory from
# that file in each of its processes, so the program's recovery, which asks for all available
# memory, writes no more than that (a 32-bit Wine under qemu takes the total from a system call
# the emulator cuts to 32 bits, so its total is wrong, but not its available memory); for ARCH win64 the address space of each process is bounded as well (below). It needs
# root (unshare -m); without it the session is not bounded, and a test that recovers
# (QUILLET_RECOVERS set) is skipped instead.
set -euo pipefail

state=$1 arch=$2 action=$3
shift 3

case "$arch" in
  win32) loader=/usr/lib/wine/wine ;;
  win64) loader=/usr/lib/wine/wine64 ;;
  *) echo "wine-env: unknown arch $arch" >&2; exit 2 ;;
esac
if ! "$loader" --version >/dev/null 2>&1; then
  echo "wine-env: $loader cannot run on this host; skipped"
  exit 77
fi

if [ -z "${QUILLET_WINE_BOUND:-}" ]; then
  total_kb=$(awk '/^MemTotal:/ {print $2}' /proc/meminfo)
  bound_kb=$(( ${QUILLET_WINE_AVAILABLE_MB:-3072} * 1024 ))
  if [ "$bound_kb" -gt $((total_kb / 4)) ]; then bound_kb=$((total_kb / 4)); fi
  if [ "$(id -u)" = 0 ] && unshare -m true 2>/dev/null; then
    mkdir -p "$state"
    meminfo=$(mktemp "$state/meminfo.XXXXXX")
    # Wine 8 counts free, buffers and page cache as available (not MemAvailable): the first is
    # the kernel's available memory within the bound, the other two none.
    awk -v bound="$bound_kb" '
      NR == FNR { if ($1 == "MemAvailable:") available = $2; next }
      /^(MemFree|MemAvailable):/ { printf "%-15s%9d kB\n", $1, (available < bound ? available : bound); next }
      /^(Buffers|Cached):/ { printf "%-15s%9d kB\n", $1, 0; next }
      { print }' /proc/meminfo /proc/meminfo >"$meminfo"
    export QUILLET_WINE_BOUND=$((bound_kb / 1024))
    # The file stays mounted once its name is gone.
    exec unshare -m --propagation private sh -c 'mount --bind "$1" /proc/meminfo && rm -f "$1" && shift && exec bash "$@"' \
      sh "$meminfo" "$0" "$state" "$arch" "$action" "$@"
  fi
  export QUILLET_WINE_BOUND=none
fi
# A recovery asked for more than is free is taken whole: the default target is half the memory the
# kernel reports (12 GB here), whatever the file above says. A 64-bit program could commit all of
# it, so its address space is bounded too, to the available memory above and the 2 GB Wine itself
# reserves in each process (little of it committed); the recovery then takes the largest block it
# can get. (A 32-bit program cannot commit more than 4 GB: its emulator reserves 4.4 GB.)
# (The hard limit too: Wine raises its soft limit to the hard one at the start of each process.)
if [ "$QUILLET_WINE_BOUND" != none ] && [ "$arch" = win64 ]; then
  ulimit -v $(( (QUILLET_WINE_BOUND + 2048) * 1024 ))
fi
if [ "$QUILLET_WINE_BOUND" = none ] && [ -n "${QUILLET_RECOVERS:-}" ] && [[ "$action" =~ ^(run|test)$ ]]; then
  echo "wine-env: the memory a recovery writes cannot be bounded here (a private mount namespace needs root); this test recovers memory and is skipped"
  exit 77
fi

export WINEPREFIX="$state/prefix" WINEARCH="$arch" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# (winemenubuilder would copy shortcuts the tests write into the host's menus and desktop.)
export LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8
unset WINELOADER || true
wineserver=/usr/lib/wine/wineserver

screen_size() { cat "$state/screen" 2>/dev/null || echo "${QUILLET_WINE_SCREEN:-1024x768}"; }

start_xvfb() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    setsid Xvfb ":$n" -screen 0 "$(screen_size)x24" -nolisten tcp </dev/null >"$state/xvfb.log" 2>&1 &
    echo $! >"$state/xvfb.pid"
    for _ in $(seq 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && { echo ":$n" >"$state/display"; return 0; }
      kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null || break
      sleep 0.1
    done
  done
  echo "wine-env: could not start Xvfb" >&2
  return 1
}

write_registry() {
  # Crash dialogs would hang a test; no sound device; one virtual desktop with a taskbar and
  # a notification area (the desktop named "shell" has them); the file-system key that every
  # Windows has and Wine does not make (the contiguous-allocation tweak lives there);
  # the Chinese UI fonts mapped to the installed CJK font. (Its blanks and Latin letters are
  # narrower than SimSun's 6 pixels, so text after blanks left for an edit box sits further
  # left than on Windows; the fonts with SimSun's metrics in Debian are far harder to read.)
  local font="WenQuanYi Micro Hei"
  printf '%s\r\n' \
    'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Drivers]' '"Audio"=""' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"="shell"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' "\"shell\"=\"$(screen_size)\"" '' \
    '[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\FileSystem]' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
    "\"SimSun\"=\"$font\"" "\"NSimSun\"=\"$font\"" "\"宋体\"=\"$font\"" "\"新宋体\"=\"$font\"" '' \
    | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$state/settings.reg"
}

# The prefix's programs that are not Wine's own: any program started by its full path from
# outside the Windows folder, by whoever runs in this prefix (its processes carry WINEPREFIX).
# One "PID COMMAND" line each.
leftovers() {
  local environ pid command first
  for environ in $(grep -lzxF "WINEPREFIX=$WINEPREFIX" /proc/[0-9]*/environ 2>/dev/null); do
    pid=${environ#/proc/}; pid=${pid%/environ}
    command=$({ tr '\0' ' ' <"/proc/$pid/cmdline"; } 2>/dev/null) || continue
    first=${command%% *}
    first=${first,,}
    [[ "$first" =~ ^[a-z]:\\ ]] || continue
    [[ "$first" == c:\\windows\\* ]] && continue
    echo "$pid $command"
  done
}

# Waits up to $1 tenths of a second for the leftovers to go; then ends those still there (the
# server lets go of what they held), saying so with the reason $2.
end_leftovers() {
  local tenths=$1 reason=$2 left line
  for _ in $(seq "$tenths"); do
    left=$(leftovers)
    [ -z "$left" ] && return 0
    sleep 0.1
  done
  while read -r line; do
    [ -n "$line" ] || continue
    echo "wine-env: ending ${line#* } (pid ${line%% *}), $reason" >&2
    kill -KILL "${line%% *}" 2>/dev/null || true
  done <<<"$left"
  for _ in $(seq 100); do
    [ -z "$(leftovers)" ] && return 0
    sleep 0.1
  done
  echo "wine-env: programs are still left in the prefix:" >&2
  leftovers >&2
  return 1
}

case "$action" in
  setup|start)
    if [ "$action" = setup ]; then "$0" "$state" "$arch" cleanup >/dev/null 2>&1 || true; fi
    "$0" "$state" "$arch" stop >/dev/null 2>&1 || true
    mkdir -p "$state"
    [ -s "$state/screen" ] || echo "${QUILLET_WINE_SCREEN:-1024x768}" >"$state/screen"
    if [ -n "${WINE_ENV_DISPLAY:-}" ]; then echo "$WINE_ENV_DISPLAY" >"$state/display"; else start_xvfb; fi
    export DISPLAY; DISPLAY=$(cat "$state/display")
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      "$loader" wineboot -i >"$state/wineboot.log" 2>&1
      write_registry
      "$loader" reg import "$state/settings.reg" >>"$state/wineboot.log" 2>&1
      "$wineserver" -w
      cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    fi
    # Keep the server warm between tests, and start the desktop's explorer here, detached from
    # every test's output (a test that started it would hand it its pipes and never finish).
    setsid "$wineserver" -p </dev/null >/dev/null 2>&1
    # A session started with QUILLET_WINE_DPI has its desktop and taskbar at that display scale
    # too (the taskbar keeps the scale it starts with; each run sets and clears it for itself).
    if [ -n "${QUILLET_WINE_DPI:-}" ]; then
      "$loader" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$QUILLET_WINE_DPI" /f >/dev/null 2>&1
    fi
    setsid "$loader" explorer.exe "/desktop=shell,$(screen_size)" </dev/null >/dev/null 2>&1 &
    for _ in $(seq 100); do
      pgrep -f 'explorer.exe /desktop' >/dev/null && break
      sleep 0.1
    done
    echo "wine-env: prefix $WINEPREFIX ready on display $DISPLAY"
    ;;
  run|test)
    [ -s "$state/display" ] || { echo "wine-env: run setup first" >&2; exit 2; }
    if [ "$action" = test ]; then
      end_leftovers 300 "left by an earlier test" || exit 1
    fi
    export DISPLAY; DISPLAY=$(cat "$state/display")
    args=()
    for a in "$@"; do
      if [[ "$a" == /*.exe ]]; then a="Z:${a//\//\\}"; fi
      args+=("$a")
    done
    program=${args[0]}
    if [ -n "${QUILLET_ADDRESS_LIMIT_KB:-}" ]; then ulimit -v "$QUILLET_ADDRESS_LIMIT_KB"; fi
    # Every process the program starts keeps its standard error, Wine's own services too (they
    # live as long as the server): it goes through a file, shown once the program has ended, so
    # that whoever reads this command's output is not kept waiting by them.
    errors=$(mktemp "$state/stderr.XXXXXX")
    appkey=""
    if [ -n "${QUILLET_WINE_VERSION:-}" ]; then
      # The release is set for this program's name only, and removed again however the run
      # ends, so no other test sees it.
      appkey="HKCU\\Software\\Wine\\AppDefaults\\${QUILLET_WINE_VERSION_EXE:-${program##*\\}}"
    fi
    forget_version() {
      if [ -n "$appkey" ]; then "$loader" reg delete "$appkey" /v Version /f >/dev/null 2>&1 || true; fi
    }
    desktop_key='HKCU\Control Panel\Desktop'
    forget_dpi() {
      if [ -n "${QUILLET_WINE_DPI:-}" ]; then "$loader" reg delete "$desktop_key" /v LogPixels /f >/dev/null 2>&1 || true; fi
    }
    finish() {
      # A test's programs do not outlive it: its driver (if it is still there) and what it started.
      if [ "$action" = test ]; then end_leftovers 50 "left running by the test that just ended" || true; fi
      forget_version
      forget_dpi
      cat "$errors" >&2
      rm -f "$errors"
    }
    trap finish EXIT
    trap 'exit 143' TERM INT
    forget_version
    if [ -n "$appkey" ] && [ "$QUILLET_WINE_VERSION" != default ]; then
      "$loader" reg add "$appkey" /v Version /d "$QUILLET_WINE_VERSION" /f >/dev/null 2>>"$errors"
    fi
    if [ -n "${QUILLET_WINE_DPI:-}" ]; then
      "$loader" reg add "$desktop_key" /v LogPixels /t REG_DWORD /d "$QUILLET_WINE_DPI" /f >/dev/null 2>>"$errors"
    fi
    status=0
    "$loader" "$program" "${args[@]:1}" 2>>"$errors" || status=$?
    exit "$status"
    ;;
  stop)
    # Stopped means gone: a start right after must not meet the old server or display.
    if [ -d "$WINEPREFIX" ]; then "$wineserver" -k 2>/dev/null || true; "$wineserver" -w 2>/dev/null || true; fi
    if [ -s "$state/xvfb.pid" ]; then
      pid=$(cat "$state/xvfb.pid")
      kill "$pid" 2>/dev/null || true
      for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    fi
    rm -f "$state/display" "$state/xvfb.pid"
    ;;
  cleanup)
    "$0" "$state" "$arch" stop
    rm -rf "$WINEPREFIX" "$state/screen"
    ;;
  *)
    echo "wine-env: unknown action $action" >&2
    exit 2
    ;;
esac
