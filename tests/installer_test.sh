#!/bin/bash
# The setup program (nsis) or the MSI (msi) from outside, in a Wine prefix of its own made anew:
# silent installs for one user and for everyone, the files, shortcut, uninstall entry and the
# journal's registration they leave, the installed program at work, silent uninstalls that
# remove what was installed but keep config.xml while it holds a disabled entry, and installs
# over a folder that already holds one.
#   tests/installer_test.sh BUILD_DIR nsis|msi PACKAGES_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
kind=$2
packages=$(cd "$3" && pwd)
source "$(dirname "$0")/../scripts/wine-env.sh"
prefix="$build/installer-prefix-$kind"
rm -rf "$prefix"
qv_wine_env "$prefix"
version=$(sed -n 's/^PackageVersion: //p' "$packages/winget/Quorvane.Quorvane.yaml")
release="$packages/Quorvane"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
xvfb_pid=
cleanup() {
  wineserver -k 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

qv_wine_prefix "$prefix"
run_key='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall'
clsid='{8A15D7A3-A664-48EF-AEF1-098ED8EB2649}'
win_path() { wine cmd /c "echo $1" 2>/dev/null | tr -d '\r'; }
unix_path() { winepath -u "$1" 2>/dev/null; }
local_programs=$(unix_path "$(win_path '%LOCALAPPDATA%')\\Programs\\Quorvane")
program_files=$(unix_path 'C:\Program Files\Quorvane')
user_menu=$(unix_path "$(win_path '%APPDATA%')\\Microsoft\\Windows\\Start Menu\\Programs")
common_menu=$(unix_path "$(win_path '%ProgramData%')\\Microsoft\\Windows\\Start Menu\\Programs")

# settle: waits until every process of the prefix has ended, which also saves its registry.
settle() { wineserver -w; }
# regval HKLM|HKCU KEY NAME: prints a value of the saved registry ("@" for the default value);
# fails when it is not there. With NAME "" it only tells whether the key is there.
regval() {
  local hive=system.reg
  [ "$1" = HKCU ] && hive=user.reg
  python3 - "$prefix/$hive" "$2" "$3" <<'PY'
import re, sys
path, want_key, want_name = sys.argv[1], sys.argv[2].lower(), sys.argv[3].lower()
key = None
for line in open(path, encoding='utf-8', errors='replace'):
    line = line.rstrip('\n')
    if line.startswith('['):
        key = line[1:line.index(']')].replace('\\\\', '\\').lower()
        if key == want_key and not want_name:
            sys.exit(0)
        continue
    if key != want_key:
        continue
    m = re.match(r'(@|"((?:[^"\\]|\\.)*)")=(.*)', line)
    if not m or (m.group(2) or '@').replace('\\\\', '\\').lower() != want_name:
        continue
    value = m.group(3)
    if value.startswith('"'):
        value = value[1:-1].replace('\\"', '"').replace('\\\\', '\\')
    print(value)
    sys.exit(0)
sys.exit(1)
PY
}
# expect_value HIVE KEY NAME WANTED
expect_value() {
  local got
  got=$(regval "$1" "$2" "$3") || { fail "$1\\$2 has no value $3"; return; }
  [ "$got" = "$4" ] || fail "$1\\$2 $3 is '$got', not '$4'"
}
# qv DIR ARGS...: the installed console program; output in $work/out.
work=$(mktemp -d)
qv() {
  local dir=$1
  shift
  wine "$dir/Quorvane.com" "$@" >"$work/out" 2>&1
}
# disable NAME DIR: a new value of the current user's Run key, switched off by the program in DIR.
disable() {
  wine reg add "$run_key" /v "$1" /d "C:\\Tools\\$1.exe /tray" /f >/dev/null 2>&1
  qv "$2" disable --location "$run_key" --name "$1" || fail "disable $1: $(cat "$work/out")"
  grep -q "valuename=\"$1\"" "$2/config.xml" || fail "config.xml in $2 holds no record of $1"
}
# expect_kept NAME DIR: the installed program lists NAME as switched off.
expect_kept() {
  qv "$2" list --state off || fail "list --state off in $2: $(cat "$work/out")"
  grep -q "$1" "$work/out" || fail "$1 is not listed as off in $2: $(cat "$work/out")"
}
# expect_files DIR: the release's files (and, for the setup program, its uninstaller) in DIR,
# the same as the release's.
expect_files() {
  local file
  for file in Quorvane.exe Quorvane.com ChronivexLog.dll Quorvane.chm README.txt \
              languages/en/Quorvane.language languages/de/Quorvane.language; do
    cmp -s "$release/$file" "$1/$file" || fail "$1/$file is not the release's"
  done
  [ -s "$1/Quorvane.language" ] && [ -s "$1/config.xml" ] || fail "no language file or config.xml in $1"
  [ "$kind" = msi ] || [ -f "$1/uninstall.exe" ] || fail "no uninstall.exe in $1"
}
# expect_left DIR FILES...: after an uninstall DIR holds these files and no other.
expect_left() {
  local dir=$1 left
  shift
  left=$(cd "$dir" && find . -type f | sort | tr '\n' ' ')
  [ "$left" = "$* " ] || fail "left in $dir after uninstall: $left; expected $*"
}
# expect_journal_class HIVE DLL: the journal's class registered for DLL.
expect_journal_class() {
  expect_value "$1" 'Software\Classes\Chronivex.Log\CLSID' @ "$clsid"
  expect_value "$1" "Software\\Classes\\CLSID\\$clsid\\InprocServer32" @ "$2"
  expect_value "$1" "Software\\Classes\\CLSID\\$clsid\\InprocServer32" ThreadingModel Apartment
}
expect_no_journal_class() {
  regval "$1" 'Software\Classes\Chronivex.Log' '' && fail "the ProgID is still registered in $1"
  regval "$1" "Software\\Classes\\CLSID\\$clsid" '' && fail "the class is still registered in $1"
}

# An earlier portable installation: its config.xml holds a disabled entry, its language file is
# an older German one, chosen from its languages folder.
old_installation() {
  mkdir -p "$1/languages"
  cp -r "$release"/* "$1/"
  printf '%s\n' '<?xml version="1.0" encoding="UTF-8"?>' \
    "<config><toolquorvane><disabledregistryitem path=\"$run_key\" valuedata=\"C:\\Tools\\old.exe\" valuename=\"QvOldRecord\"/></toolquorvane></config>" \
    >"$1/config.xml"
  echo '; from an earlier version' >>"$1/languages/de/Quorvane.language"
  cp "$1/languages/de/Quorvane.language" "$1/Quorvane.language"
  cp "$1/config.xml" "$work/old-config.xml"
}

# start_window DIR: the installed Quorvane.exe shows its main window; Escape ends it with 2.
start_window() {
  qv_start_xvfb
  xvfb_pid=$qv_xvfb_pid
  DISPLAY=$qv_xvfb_display wine "$1/Quorvane.exe" >/dev/null 2>&1 &
  local pid=$! window= _
  for _ in $(seq 300); do
    window=$(DISPLAY=$qv_xvfb_display xdotool search --name '^Quorvane \(' 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.2
  done
  if [ -z "$window" ]; then
    fail "the installed program's main window did not appear"
    kill "$pid" 2>/dev/null
    return
  fi
  DISPLAY=$qv_xvfb_display xdotool key --window "$window" Escape
  wait "$pid"
  local code=$?
  [ "$code" = 2 ] || fail "the installed program ended with $code, not 2"
}

# quiet_uninstall HIVE: runs the uninstall entry's QuietUninstallString as Windows would.
quiet_uninstall() {
  local command
  command=$(regval "$1" "$uninstall_key\\Quorvane" QuietUninstallString) || { fail "no QuietUninstallString"; return; }
  local exe=${command#\"}
  local args=${exe#*\" }
  exe=${exe%%\"*}
  # shellcheck disable=SC2086
  wine "$exe" $args
  settle  # the uninstaller runs again from a copy in %TEMP% and returns at once
}

setup_exe="$packages/Quorvane-$version-setup.exe"
msi=$(winepath -w "$packages/Quorvane-$version.msi" 2>/dev/null)

if [ "$kind" = nsis ]; then
  # --- for the current user ----------------------------------------------------------------------
  wine "$setup_exe" /S || fail "setup /S exited with $?"
  settle
  expect_files "$local_programs"
  cmp -s "$local_programs/Quorvane.language" "$release/languages/en/Quorvane.language" ||
    fail "a first installation's language file is not English"
  [ -f "$user_menu/Quorvane.lnk" ] || fail "no Start menu shortcut in $user_menu"
  key="$uninstall_key\\Quorvane"
  installed=$(winepath -w "$local_programs")
  expect_value HKCU "$key" DisplayName Quorvane
  expect_value HKCU "$key" DisplayVersion "$version"
  expect_value HKCU "$key" Publisher 'Quorvane Software'
  expect_value HKCU "$key" DisplayIcon "$installed\\Quorvane.exe,0"
  expect_value HKCU "$key" InstallLocation "$installed"
  expect_value HKCU "$key" UninstallString "\"$installed\\uninstall.exe\""
  expect_value HKCU "$key" QuietUninstallString "\"$installed\\uninstall.exe\" /S"
  expect_value HKCU "$key" NoModify dword:00000001
  expect_value HKCU "$key" NoRepair dword:00000001
  size=$(regval HKCU "$key" EstimatedSize)
  [ $((16#${size#dword:})) -gt 1000 ] || fail "EstimatedSize $size KB"
  regval HKLM "$key" '' && fail "a per-user installation wrote HKLM's uninstall entry"
  expect_journal_class HKCU "$installed\\ChronivexLog.dll"
  expect_no_journal_class HKLM

  start_window "$local_programs"
  # Wine's HKEY_CLASSES_ROOT does not take in HKEY_CURRENT_USER\Software\Classes, so under Wine
  # a per-user registration writes its keys (checked above) but the program finds no journal.
  disable QvSetupTest "$local_programs"
  cp "$local_programs/config.xml" "$work/config.xml"

  quiet_uninstall HKCU
  expect_left "$local_programs" ./config.xml
  cmp -s "$local_programs/config.xml" "$work/config.xml" || fail "the uninstaller changed config.xml"
  [ -e "$user_menu/Quorvane.lnk" ] && fail "the shortcut is still there"
  regval HKCU "$key" '' && fail "the uninstall entry is still there"
  expect_no_journal_class HKCU

  wine "$setup_exe" /S
  settle
  cmp -s "$local_programs/config.xml" "$work/config.xml" || fail "installing again changed config.xml"
  expect_kept QvSetupTest "$local_programs"

  # --- for everyone, over an earlier portable copy in Program Files ------------------------------
  old_installation "$program_files"
  wine "$setup_exe" /S /AllUsers || fail "setup /S /AllUsers exited with $?"
  settle
  expect_files "$program_files"
  cmp -s "$program_files/config.xml" "$work/old-config.xml" || fail "the installation replaced config.xml"
  cmp -s "$program_files/Quorvane.language" "$release/languages/de/Quorvane.language" ||
    fail "the German language chosen before is not the new German file"
  [ -f "$common_menu/Quorvane.lnk" ] || fail "no Start menu shortcut in $common_menu"
  installed='C:\Program Files\Quorvane'
  expect_value HKLM "$key" DisplayVersion "$version"
  expect_value HKLM "$key" InstallLocation "$installed"
  expect_value HKLM "$key" QuietUninstallString "\"$installed\\uninstall.exe\" /AllUsers /S"
  expect_journal_class HKLM "$installed\\ChronivexLog.dll"
  expect_kept QvOldRecord "$program_files"
  disable QvAllUsersTest "$program_files"
  [ -s "$program_files/Log/Data/journal.txt" ] || fail "the all-users registration journals nothing"
  cp "$program_files/config.xml" "$work/config.xml"

  quiet_uninstall HKLM
  expect_left "$program_files" ./Log/Data/journal.txt ./config.xml
  cmp -s "$program_files/config.xml" "$work/config.xml" || fail "the uninstaller changed config.xml"
  [ -e "$common_menu/Quorvane.lnk" ] && fail "the all-users shortcut is still there"
  regval HKLM "$key" '' && fail "the all-users uninstall entry is still there"
  expect_no_journal_class HKLM
  # The per-user installation is untouched by the other one's uninstall.
  expect_journal_class HKCU "$(winepath -w "$local_programs")\\ChronivexLog.dll"
else
  # --- the MSI, over an earlier portable copy in Program Files -----------------------------------
  old_installation "$program_files"
  wine msiexec /i "$msi" /qn || fail "msiexec /i exited with $?"
  settle
  expect_files "$program_files"
  cmp -s "$program_files/config.xml" "$work/old-config.xml" || fail "the MSI replaced config.xml"
  # Wine's msiexec puts ProgramMenuFolder in the user's Start menu also for a per-machine
  # installation (Windows: the common one): either will do here.
  [ -f "$common_menu/Quorvane.lnk" ] || [ -f "$user_menu/Quorvane.lnk" ] || fail "no Start menu shortcut"
  product=
  for candidate in $(grep -o '^\[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\{[0-9A-F-]*}\]' \
                       "$prefix/system.reg" | sed 's/^\[//; s/\]$//; s/\\\\/\\/g'); do
    [ "$(regval HKLM "$candidate" DisplayName)" = Quorvane ] && product=$candidate
  done
  [ -n "$product" ] || fail "no uninstall entry of the MSI"
  expect_value HKLM "$product" DisplayName Quorvane
  expect_value HKLM "$product" DisplayVersion "$version"
  expect_journal_class HKLM 'C:\Program Files\Quorvane\ChronivexLog.dll'
  expect_kept QvOldRecord "$program_files"
  disable QvMsiTest "$program_files"
  [ -s "$program_files/Log/Data/journal.txt" ] || fail "the MSI's registration journals nothing"
  cp "$program_files/config.xml" "$work/config.xml"

  wine msiexec /x "$msi" /qn || fail "msiexec /x exited with $?"
  settle
  expect_left "$program_files" ./Log/Data/journal.txt ./config.xml
  cmp -s "$program_files/config.xml" "$work/config.xml" || fail "the MSI's uninstall changed config.xml"
  [ -e "$common_menu/Quorvane.lnk" ] || [ -e "$user_menu/Quorvane.lnk" ] && fail "the shortcut is still there"
  regval HKLM "$product" '' && fail "the MSI's uninstall entry is still there"
  expect_no_journal_class HKLM

  wine msiexec /i "$msi" /qn
  settle
  cmp -s "$program_files/config.xml" "$work/config.xml" || fail "installing again changed config.xml"
  expect_kept QvMsiTest "$program_files"
  expect_kept QvOldRecord "$program_files"
fi

rm -rf "$work"
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
if [ "$failures" = 0 ]; then
  rm -rf "$prefix" "$prefix.lock"
  echo "installer test ($kind) passed"
else
  echo "installer test ($kind): $failures failures; the prefix stays in $prefix"
  exit 1
fi
