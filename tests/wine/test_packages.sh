#!/usr/bin/env bash
# The packages end to end, in a Wine prefix of their own made for this run:
#   the zip holds the program folder; the installer, run silently, puts the program, its
#   Start-menu folder, its entry in Add/Remove Programs and (asked for) its Run value in place;
#   the installed program saves a setting in the user's application-data folder and finds it
#   again when started anew; installed again over a running copy, it ends that copy, waits for a
#   program file held a moment and gives up, changing nothing, on one held for good; walked
#   through as a user does, its finish page starts Quillet from the desktop's shell; the
#   uninstaller, run silently, ends a running copy and removes everything but the settings the
#   user keeps, or everything; the zip unpacked anywhere keeps its settings beside the program;
#   its uninstaller removes the Run values that start it however written (quoted with arguments,
#   by the short 8.3 path) and leaves another program's; installed into a folder of another
#   program's files (a loose Quillet.exe among them), Quillet goes into a folder of its own there,
#   and its uninstaller leaves a running portable copy, that copy's Run value and the other
#   program's files alone while it removes the installed copy's Run value of the user; the
#   installer and the uninstaller ask for psapi.dll by its full path in the system folder.
# All of that as on 32-bit Windows, in a 32-bit prefix. Then, in a 64-bit prefix (64-bit Windows):
#   the installer puts the 64-bit program into the 64-bit Program Files, with its uninstall entry
#   and its Run value in the registry's 64-bit view, and its uninstaller finds and removes them;
#   installed over a running 32-bit copy that the 32-bit installer had put in Program Files (x86)
#   (its entry and Run value in the 32-bit view), it ends that copy and replaces it: the settings
#   and the Run values carry over to the 64-bit program, the old files and the old entry go;
#   either build started while the other runs finds it and stays the second copy.
#
#   test_packages.sh STATE ZIP-X86 ZIP-X64 SETUP DRIVER SOURCE-DIR
# Exits 77 when this host cannot run 32-bit Wine (the 64-bit half alone may be skipped, and says so).
set -uo pipefail
state=$1 zip=$2 zip_x64=$3 setup=$4 driver=$5 source=$6
here=$(cd "$(dirname "$0")" && pwd)
wine_env=(bash "$here/../../scripts/wine-env.sh" "$state/win32" win32)
mkdir -p "$state"

failures=0 passes=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then passes=$((passes + 1)); echo "ok   $what"; else failures=$((failures + 1)); echo "FAIL $what"; fi
}
absent() { [ ! -e "$1" ]; }
# Polls the command until it succeeds, for at most the given seconds.
wait_for() {
  local seconds=$1; shift
  local end=$((SECONDS + seconds))
  until "$@"; do
    [ "$SECONDS" -ge "$end" ] && return 1
    sleep 0.5
  done
}
run() { "${wine_env[@]}" run "$@"; }
driver() {  # driver SCENARIO WINDOWS-PATH-OF-QUILLET
  local out status=0
  out=$(run "$driver" "$1" "$2" 2>/dev/null) || status=$?
  echo "$out" | sed 's/^/    /'
  return "$status"
}

# The machine a Windows program file is built for, from its PE header: x86, x64 or what it says.
pe_machine() {
  python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
machine = struct.unpack_from("<H", data, struct.unpack_from("<I", data, 0x3C)[0] + 4)[0]
print({0x14C: "x86", 0x8664: "x64"}.get(machine, hex(machine)))
PY
}

# --- the zips ----------------------------------------------------------------------------------
for arch in x86 x64; do
  [ "$arch" = x86 ] && archive=$zip || archive=$zip_x64
  listing=$(python3 -m zipfile -l "$archive" | awk 'NR > 1 { print $1 }')
  for entry in Quillet/Quillet.exe Quillet/sounds/optimize.wav; do
    check "the $arch zip holds $entry" grep -qx "$entry" <<<"$listing"
  done
  if [ -d "$source/documentation" ]; then
    check "the $arch zip holds Quillet/documentation/index.html" grep -qx Quillet/documentation/index.html <<<"$listing"
  fi
  others=$(grep -vE '^Quillet/(Quillet\.exe|sounds/.*|documentation/.*)$' <<<"$listing")
  check "the $arch zip holds nothing else" test -z "$others"
  unpacked="$state/unpacked-$arch"
  rm -rf "$unpacked" && python3 -m zipfile -e "$archive" "$unpacked"
  check "the $arch zip's Quillet.exe is the $arch program" test "$(pe_machine "$unpacked/Quillet/Quillet.exe")" = "$arch"
done
check "the two zips differ only in Quillet.exe" \
  diff -r --exclude=Quillet.exe "$state/unpacked-x86" "$state/unpacked-x64"

# The texts an NSIS installer or uninstaller holds, read from its compressed header, one a line.
nsis_strings() {
  python3 - "$1" <<'PY'
import lzma, re, struct, sys
data = open(sys.argv[1], "rb").read()
at = data.find(b"\xef\xbe\xad\xdeNullsoftInst")
header_size = struct.unpack_from("<I", data, at + 16)[0]
def header(body):  # one LZMA stream, after its properties
    props, dictionary = body[0], struct.unpack_from("<I", body, 1)[0]
    lzma1 = {"id": lzma.FILTER_LZMA1, "dict_size": dictionary, "lc": props % 9, "lp": props // 9 % 5, "pb": props // 45}
    return lzma.LZMADecompressor(lzma.FORMAT_RAW, filters=[lzma1]).decompress(body[5:], max_length=header_size + 4)
try:
    header = header(data[at + 24:])
except lzma.LZMAError:  # the header as a block of its own, after its size
    header = header(data[at + 28:])
for start in (4, 5):  # the texts are UTF-16, at either byte alignment
    text = header[start:len(header) - (len(header) - start) % 2].decode("utf-16-le", "replace")
    print("\n".join(t for t in re.split("[\x00-\x08]", text) if len(t) > 3))
PY
}
# psapi.dll (which Windows XP needs to tell which program a process runs) taken from the system
# folder by its full path: asked for by name it would be looked for beside the installer first.
loads_psapi_by_path() {
  local texts; texts=$(nsis_strings "$1") || return 1
  ! grep -qi 'psapi::' <<<"$texts" && grep -qiF '\psapi.dll' <<<"$texts"
}
check "the installer loads psapi.dll by its full path, never by name" loads_psapi_by_path "$setup"

# --- a fresh prefix ------------------------------------------------------------------------------
"${wine_env[@]}" setup
status=$?
[ "$status" -eq 77 ] && exit 77
[ "$status" -eq 0 ] || { echo "FAIL the Wine prefix cannot be made"; exit 1; }
trap '"${wine_env[@]}" cleanup >/dev/null 2>&1' EXIT
prefix="$state/win32/prefix"
drive_c="$prefix/drive_c"
program_dir="$drive_c/Program Files/Quillet"
menu_dir="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quillet"
appdata=$(ls -d "$drive_c"/users/*/AppData/Roaming | grep -v /Public/ | head -1)
settings_dir="$appdata/Quillet"
installed='C:\Program Files\Quillet\Quillet.exe'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillet'
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
user_run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
default_user_run_key='HKU\.DEFAULT\Software\Microsoft\Windows\CurrentVersion\Run'

key_exists() { run reg query "$1" >/dev/null 2>&1; }
run_value() {  # run_value [KEY] (reg writes in the Chinese Windows' code page)
  run reg query "${1:-$run_key}" /v Quillet 2>/dev/null | iconv -f GBK -t UTF-8 | tr -d '\r' |
    awk '$1 == "Quillet" { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
# Every file of a folder with its contents' checksum and its time: what an install may not touch.
folder_state() { (cd "$1" && find . -type f -printf '%p %T@\n' | sort && find . -type f -print0 | sort -z | xargs -0 md5sum); }
installed_files_present() {
  [ -f "$program_dir/Quillet.exe" ] && [ -f "$program_dir/sounds/optimize.wav" ] && [ -f "$program_dir/Uninstall.exe" ]
}
all_removed() { [ ! -e "$program_dir" ] && ! key_exists "$uninstall_key"; }

# --- installed silently, with start with Windows -------------------------------------------------
check "the installer runs silently (/S /AUTOSTART)" run "$setup" /S /AUTOSTART
check "the program, its sound and the uninstaller are in Program Files" installed_files_present
check "the installed program is the 32-bit one" test "$(pe_machine "$program_dir/Quillet.exe")" = x86
if [ -d "$source/documentation" ]; then
  check "the documentation is installed" test -f "$program_dir/documentation/index.html"
fi
check "the Start-menu entry is there" test -f "$menu_dir/Quillet.lnk"
check "Add/Remove Programs lists it" key_exists "$uninstall_key"
check "the Run value names the installed program" test "$(run_value)" = "$installed"
check "no settings file yet" absent "$settings_dir/Quillet.ini"
check "its uninstaller loads psapi.dll by its full path, never by name" loads_psapi_by_path "$program_dir/Uninstall.exe"
# The installed program's path in the short 8.3 form, as Windows gives it (Quillet and
# Quillet.exe are short names already).
program_files_short=$(run cmd /c dir /x 'C:\' 2>/dev/null | tr -d '\r' | awk '/<DIR>/ && / Program Files$/ { print $4 }')
short_installed="C:\\$program_files_short\\Quillet\\Quillet.exe"
check "the installed program has a short 8.3 path ($short_installed)" grep -q '~' <<<"$short_installed"

export QUILLET_EXPECT_AUTOSTART=1
check "the installed program saves a changed setting" driver package_save "$installed"
check "the settings file is in the application-data folder" test -f "$settings_dir/Quillet.ini"
check "it holds the change" grep -q '^UseRecoverSound=0' "$settings_dir/Quillet.ini"
check "nothing was written beside the installed program" absent "$program_dir/Quillet.ini"
run reg add "$run_key" /v Quillet /d "$short_installed" /f >/dev/null 2>&1
export QUILLET_EXPECT_AUTOSTART=1
check "started again, the program finds the setting and its Run value in the short form" \
  driver package_kept "$installed"

# --- installed again over the running program ---------------------------------------------------
rm -f "$menu_dir/Quillet.lnk"
export QUILLET_COMMAND="\"Z:${setup//\//\\}\" /S"
check "installed again (/S) while the program runs: it ends the program" driver package_run_while_running "$installed"
check "the Start-menu entry is made again" test -f "$menu_dir/Quillet.lnk"
check "the Run value stays, naming the installed program" test "$(run_value)" = "$installed"
check "the settings stay" grep -q '^UseRecoverSound=0' "$settings_dir/Quillet.ini"

# --- installed again while the program file is held (as Windows may, a moment after the end) -----
export QUILLET_COMMAND="\"Z:${setup//\//\\}\" /S" QUILLET_EXPECT_EXIT=2 QUILLET_HOLD_MS=120000
before=$(folder_state "$program_dir")
check "installed again (/S) while the program file stays held: it gives up" \
  driver package_install_while_locked "$installed"
check "the program folder is left as it was" test "$(folder_state "$program_dir")" = "$before"
export QUILLET_EXPECT_EXIT=0 QUILLET_HOLD_MS=3000
check "installed again (/S) while the program file is held a moment: it waits and installs" \
  driver package_install_while_locked "$installed"
check "the program is there" installed_files_present
unset QUILLET_EXPECT_EXIT QUILLET_HOLD_MS

# --- uninstalled silently while running, keeping the settings ------------------------------------
# The Run values that start the installed program, however written, go; another program's stays,
# though it hands the installed program's path on.
run reg add "$run_key" /v Quillet /d "\"$installed\" /min" /f >/dev/null 2>&1
run reg add "$default_user_run_key" /v Quillet /d "$short_installed" /f >/dev/null 2>&1
others_value="C:\windows\notepad.exe \"$installed\""
run reg add "$user_run_key" /v Quillet /d "$others_value" /f >/dev/null 2>&1
export QUILLET_COMMAND="\"C:\\Program Files\\Quillet\\Uninstall.exe\" /S /KEEPSETTINGS"
check "the uninstaller (/S /KEEPSETTINGS) run while the program runs: it ends the program" \
  driver package_run_while_running "$installed"
check "the program folder and the uninstall entry go" wait_for 180 all_removed
check "the Start-menu entry goes" absent "$menu_dir"
check "the Run value goes, quoted with an argument" test -z "$(run_value)"
check "the default user's Run value goes, in the short form" test -z "$(run_value "$default_user_run_key")"
check "the Run value of another program stays" test "$(run_value "$user_run_key")" = "$others_value"
run reg delete "$user_run_key" /v Quillet /f >/dev/null 2>&1
check "the settings file is kept" grep -q '^UseRecoverSound=0' "$settings_dir/Quillet.ini"

# --- installed again as a user does, without start with Windows; a silent uninstall keeps the
# --- settings ------------------------------------------------------------------------------------
export QUILLET_COMMAND="\"Z:${setup//\//\\}\""
check "installed again through its pages: the finish page starts Quillet from the shell" \
  driver package_finish_run "$setup"
check "the program is there" installed_files_present
check "no Run value this time" test -z "$(run_value)"
export QUILLET_EXPECT_AUTOSTART=0
check "the kept setting is found by the new installation" driver package_kept "$installed"
check "the uninstaller runs silently (/S)" run "$program_dir/Uninstall.exe" /S
check "the program folder and the uninstall entry go" wait_for 180 all_removed
check "the settings file is kept" grep -q '^UseRecoverSound=0' "$settings_dir/Quillet.ini"

# --- installed once more, then uninstalled removing the settings ---------------------------------
check "installed again (/S)" run "$setup" /S
check "the uninstaller runs silently (/S /REMOVESETTINGS)" run "$program_dir/Uninstall.exe" /S /REMOVESETTINGS
check "the program folder and the uninstall entry go" wait_for 180 all_removed
check "the Start-menu entry goes" absent "$menu_dir"
check "the settings file and its folder go" absent "$settings_dir"
check "the Run value stays absent" test -z "$(run_value)"
unset QUILLET_EXPECT_AUTOSTART

# --- the zip unpacked anywhere -------------------------------------------------------------------
portable="$drive_c/便携/工具"
mkdir -p "$portable"
python3 -m zipfile -e "$zip" "$portable"
portable_exe='C:\便携\工具\Quillet\Quillet.exe'
check "the unpacked zip's program saves a changed setting" driver package_save "$portable_exe"
check "its settings file is beside it" grep -q '^UseRecoverSound=0' "$portable/Quillet/Quillet.ini"
check "nothing in the application-data folder" absent "$settings_dir"
check "started again, it finds the setting" driver package_kept "$portable_exe"

# --- installed into a folder of another program; uninstalled beside the running portable copy ----
other="$drive_c/其他程序"
mkdir -p "$other/documentation"
cp "$state/unpacked-x86/Quillet/Quillet.exe" "$other/"  # loose among the tools: no installed Quillet
echo "another program's uninstaller" >"$other/Uninstall.exe"
echo "another program's help" >"$other/documentation/index.html"
others_before=$(folder_state "$other")
check "installed (/S) into a folder of another program's files" run "$setup" /S '/D=C:\其他程序'
check "Quillet is in a folder of its own there" test -f "$other/Quillet/Quillet.exe"
check "the other program's files are untouched" test "$(folder_state "$other" | grep -v '/Quillet/')" = "$others_before"
run reg add "$run_key" /v Quillet /d "$portable_exe" /f >/dev/null 2>&1
run reg add "$user_run_key" /v Quillet /d '"c:\其他程序\QUILLET\quillet.EXE"' /f >/dev/null 2>&1
check "the user's Run value names the installed copy" test -n "$(run_value "$user_run_key")"
export QUILLET_COMMAND='"C:\其他程序\Quillet\Uninstall.exe" /S' QUILLET_WAIT_GONE='C:\其他程序\Quillet\Uninstall.exe'
check "uninstalled (/S) while the portable copy runs: that copy keeps running" \
  driver package_run_beside "$portable_exe"
unset QUILLET_WAIT_GONE
check "the installed copy's folder goes" wait_for 60 absent "$other/Quillet"
check "the other program's files stay" test "$(folder_state "$other")" = "$others_before"
check "the user's Run value naming the installed copy goes" test -z "$(run_value "$user_run_key")"
check "the Run value naming the portable copy stays" test "$(run_value)" = "$portable_exe"

# === 64-bit Windows: a 64-bit prefix, in which the 32-bit installer runs through WoW64 ============
"${wine_env[@]}" cleanup >/dev/null 2>&1
wine_env=(bash "$here/../../scripts/wine-env.sh" "$state/win64" win64)
"${wine_env[@]}" setup
status=$?
if [ "$status" -eq 77 ]; then
  echo "SKIP the 64-bit half: this host runs no 64-bit Wine"
  echo "$passes passed, $failures failed"
  [ "$failures" -eq 0 ] && exit 77
  exit 1
fi
[ "$status" -eq 0 ] || { echo "FAIL the 64-bit Wine prefix cannot be made"; exit 1; }
drive_c="$state/win64/prefix/drive_c"
program_dir="$drive_c/Program Files/Quillet"
old_dir="$drive_c/Program Files (x86)/Quillet"
menu_dir="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quillet"
appdata=$(ls -d "$drive_c"/users/*/AppData/Roaming | grep -v /Public/ | head -1)
settings_dir="$appdata/Quillet"
old_installed='C:\Program Files (x86)\Quillet\Quillet.exe'
# Started by its Windows path, as Add/Remove Programs does: the Run values it removes name the
# program by that path.
uninstaller='C:\Program Files\Quillet\Uninstall.exe'

# The registry as a 64-bit or a 32-bit program sees it: view_key_exists KEY 64|32,
# view_run_value KEY 64|32.
view_key_exists() { run reg query "$1" /reg:"$2" >/dev/null 2>&1; }
view_run_value() {
  run reg query "$1" /v Quillet /reg:"$2" 2>/dev/null | iconv -f GBK -t UTF-8 | tr -d '\r' |
    awk '$1 == "Quillet" { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
install_location() {
  run reg query "$uninstall_key" /v InstallLocation /reg:"$1" 2>/dev/null | tr -d '\r' |
    awk '$1 == "InstallLocation" { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
all_removed() { [ ! -e "$program_dir" ] && ! view_key_exists "$uninstall_key" 64; }

# --- a fresh install: the 64-bit program, its entries in the 64-bit view -------------------------
check "64-bit Windows: the installer runs silently (/S /AUTOSTART)" run "$setup" /S /AUTOSTART
check "the program, its sound and the uninstaller are in the 64-bit Program Files" installed_files_present
check "the installed program is the 64-bit one" test "$(pe_machine "$program_dir/Quillet.exe")" = x64
check "nothing in Program Files (x86)" absent "$old_dir"
check "the uninstall entry is in the 64-bit view, naming the folder" \
  test "$(install_location 64)" = 'C:\Program Files\Quillet'
check "no uninstall entry in the 32-bit view" test -z "$(install_location 32)"
check "the Run value is in the 64-bit view, naming the installed program" \
  test "$(view_run_value "$run_key" 64)" = "$installed"
check "no Run value in the 32-bit view" test -z "$(view_run_value "$run_key" 32)"
check "the uninstaller runs silently (/S)" run "$uninstaller" /S
check "it finds and removes the program folder and the 64-bit uninstall entry" wait_for 180 all_removed
check "the Start-menu entry goes" absent "$menu_dir"
check "the Run value goes from the 64-bit view" test -z "$(view_run_value "$run_key" 64)"

# --- a 32-bit copy as the 32-bit installer left it on 64-bit Windows -----------------------------
mkdir -p "$old_dir" "$menu_dir"
cp -r "$state/unpacked-x86/Quillet/." "$old_dir/"
printf '[Quillet]\r\nSettings=AppData\r\n' >"$old_dir/Quillet.installed"
echo "the 32-bit copy's uninstaller" >"$old_dir/Uninstall.exe"
echo "a shortcut to the 32-bit copy" >"$menu_dir/Quillet.lnk"
run reg add "$uninstall_key" /v InstallLocation /d 'C:\Program Files (x86)\Quillet' /reg:32 /f >/dev/null 2>&1
run reg add "$uninstall_key" /v UninstallString /d '"C:\Program Files (x86)\Quillet\Uninstall.exe"' /reg:32 /f \
  >/dev/null 2>&1
run reg add "$run_key" /v Quillet /d "$old_installed" /reg:32 /f >/dev/null 2>&1
run reg add "$user_run_key" /v Quillet /d "\"$old_installed\" /min" /f >/dev/null 2>&1
check "the 32-bit copy's uninstall entry is in the 32-bit view" test "$(install_location 32)" = 'C:\Program Files (x86)\Quillet'
export QUILLET_EXPECT_AUTOSTART=1
check "the 32-bit copy saves a changed setting" driver package_save "$old_installed"
check "its settings file is in the application-data folder" grep -q '^UseRecoverSound=0' "$settings_dir/Quillet.ini"

# --- replaced by the 64-bit program while it runs ------------------------------------------------
export QUILLET_COMMAND="\"Z:${setup//\//\\}\" /S"
check "installed (/S) while the 32-bit copy runs: it ends that copy" driver package_run_while_running "$old_installed"
check "the 64-bit program is in the 64-bit Program Files" test "$(pe_machine "$program_dir/Quillet.exe")" = x64
check "the 32-bit copy's folder goes" absent "$old_dir"
check "one uninstall entry: the 64-bit view's" test "$(install_location 64)" = 'C:\Program Files\Quillet'
check "the 32-bit view's uninstall entry goes" test -z "$(install_location 32)"
check "the machine's Run value names the 64-bit program, in the 64-bit view" \
  test "$(view_run_value "$run_key" 64)" = "$installed"
check "the 32-bit view's Run value goes" test -z "$(view_run_value "$run_key" 32)"
check "the user's Run value starts the 64-bit program, with its argument" \
  test "$(run_value "$user_run_key")" = "\"$installed\" /min"
check "the Start-menu entry is the installer's" test "$(head -c 4 "$menu_dir/Quillet.lnk" | od -An -tx1 | tr -d ' ')" = 4c000000
check "the settings stay" grep -q '^UseRecoverSound=0' "$settings_dir/Quillet.ini"
check "the 64-bit program finds the setting and its start with Windows" driver package_kept "$installed"
unset QUILLET_EXPECT_AUTOSTART

# --- either build finds the other running ---------------------------------------------------------
portable="$drive_c/便携/32位"
mkdir -p "$portable"
cp -r "$state/unpacked-x86/Quillet" "$portable/"
portable_exe='C:\便携\32位\Quillet\Quillet.exe'
export QUILLET_OTHER_BUILD="$portable_exe"
check "the 32-bit copy started beside the running 64-bit one: the second copy" driver second_copy "$installed"
export QUILLET_OTHER_BUILD="$installed"
check "the 64-bit copy started beside the running 32-bit one: the second copy" driver second_copy "$portable_exe"
unset QUILLET_OTHER_BUILD

# --- uninstalled, removing the settings ------------------------------------------------------------
check "the uninstaller runs silently (/S /REMOVESETTINGS)" run "$uninstaller" /S /REMOVESETTINGS
check "the program folder and the 64-bit uninstall entry go" wait_for 180 all_removed
check "the Run values go" test -z "$(view_run_value "$run_key" 64)$(run_value "$user_run_key")"
check "the settings file and its folder go" absent "$settings_dir"

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ] && [ "$passes" -gt 0 ]
