#!/bin/bash
# The console program from outside: Quorvane.com runs under Wine from a folder of its own with an
# empty config.xml, on the current user's RunOnce key of the test prefix, and every command is
# checked by its output, its exit code and what it left in the registry and config.xml.
#   tests/console_test.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
source "$(dirname "$0")/../scripts/wine-env.sh"
qv_wine_env "$build/wineprefix"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\RunOnce'
loc='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\RunOnce'
work=$(mktemp -d)
failures=0
journal_dll=$(winepath -w "$build/journal/ChronivexLog.dll" 2>/dev/null)
cleanup() {
  wine reg delete "$key" /f >/dev/null 2>&1
  wine regsvr32 /u /s "$journal_dll" >/dev/null 2>&1
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cp "$build/app/Quorvane.com" "$build/app/Quorvane.language" "$work/"
cp "$(dirname "$0")/../res/config.xml" "$work/config.xml"
wine reg delete "$key" /f >/dev/null 2>&1
# The journal component, registered as an installation does, so changes are journalled.
wine regsvr32 /s "$journal_dll" >/dev/null 2>&1 || fail "regsvr32 ChronivexLog.dll"

# qv ARGS...: runs the program; its exit code in $rc, output in $work/out, errors in $work/err.
qv() {
  (cd "$work" && wine ./Quorvane.com "$@" >"$work/out" 2>"$work/err")
  rc=$?
}
# expect CODE WHAT: the last run's exit code.
expect() {
  [ "$rc" = "$1" ] || fail "$2: exit code $rc, not $1 (stderr: $(cat "$work/err"))"
}
# json EXPRESSION: evaluates a Python expression over the last output parsed as JSON (d).
json() {
  python3 -c "import json,sys; d=json.load(open(sys.argv[1],encoding='utf-8')); print($1)" "$work/out"
}

odd='Comma, "quote" and
line'
umlaut='Grüße 東京'
wine reg add "$key" /v Plain /d 'C:\windows\system32\notepad.exe /p' /f >/dev/null 2>&1
wine reg add "$key" /v Expand /t REG_EXPAND_SZ /d '%SystemRoot%\system32\cmd.exe /c rem' /f >/dev/null 2>&1

# --- usage and help -----------------------------------------------------------------------------
qv --version; expect 0 "--version"
grep -q '^Quorvane [0-9]' "$work/out" || fail "--version prints $(cat "$work/out")"
qv --help; expect 0 "--help"
grep -q 'compare BASELINE' "$work/out" || fail "--help lists no compare"
for args in "frobnicate" "list --format xml" "list --state maybe" "list --bogus" "enable --name X" \
            "add --location $loc --name X" "export" "compare" "list --format"; do
  # shellcheck disable=SC2086
  qv $args; expect 2 "usage error '$args'"
  grep -q 'not understood' "$work/err" || fail "'$args' says nothing on stderr"
  [ -s "$work/out" ] && fail "'$args' wrote to stdout"
done

# --- add, with names and commands that need quoting ------------------------------------------------
qv add --location "$loc" --name "$odd" --command 'C:\Tools\odd.exe "a, b"'; expect 0 "add odd"
qv add --location "$loc" --name "$umlaut" --command 'C:\Tools\grüße.exe'; expect 0 "add umlaut"
qv add --location "$loc" --name Plain --command 'C:\other.exe'; expect 2 "add over an existing value"
grep -q -- '--replace' "$work/err" || fail "add over an existing value does not mention --replace"
qv add --location 'HKEY_CURRENT_USER\Software\Nowhere' --name X --command x.exe; expect 2 "add to unknown location"
grep -q 'Nowhere' "$work/err" || fail "unknown location not named: $(cat "$work/err")"

# --- list in every form -----------------------------------------------------------------------------
qv list --location "$loc" --format json --hash; expect 0 "list json"
[ "$(head -c 3 "$work/out" | od -An -tx1 | tr -d ' ')" = "efbbbf" ] && fail "json output starts with a BOM"
[ "$(json 'sorted(d.keys())')" = "['computer', 'entries', 'time', 'user']" ] || fail "json top level: $(json 'list(d.keys())')"
json 'd["time"]' | grep -Eq '^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}Z$' || fail "time is not ISO 8601 UTC"
fields="['command', 'company', 'description', 'kind', 'location', 'name', 'program', 'programExists', 'sha256', 'signature', 'signer', 'state', 'valueType', 'version']"
[ "$(json 'sorted(set(tuple(sorted(e)) for e in d["entries"]))')" = "[($(echo "$fields" | tr -d '[]'))]" ] ||
  fail "entry fields: $(json 'sorted(d["entries"][0])')"
[ "$(json 'len(d["entries"])')" = 4 ] || fail "json lists $(json "[(e[\"name\"],e[\"state\"]) for e in d[\"entries\"]]"), not 4 entries"
[ "$(json '[e["valueType"] for e in d["entries"] if e["name"]=="Expand"][0]')" = REG_EXPAND_SZ ] || fail "Expand is no REG_EXPAND_SZ"
[ "$(json '[e["programExists"] for e in d["entries"] if e["name"]=="Plain"][0]')" = True ] || fail "notepad not found"
[ "$(json '[e["sha256"] for e in d["entries"] if e["name"]=="Plain"][0]')" = "$(sha256sum "$build/wineprefix/drive_c/windows/system32/notepad.exe" | cut -d' ' -f1)" ] ||
  fail "notepad's sha256 differs from sha256sum"
[ "$(json '[e["program"] for e in d["entries"] if e["name"]=="Grüße 東京"][0]')" = 'C:\Tools\grüße.exe' ] || fail "non-ASCII program path"
[ "$(json '[e["programExists"] for e in d["entries"] if e["name"]=="Grüße 東京"][0]')" = False ] || fail "missing program found"
json '[e["name"] for e in d["entries"]]' | grep -q "'Grüße 東京'" || fail "non-ASCII name lost: $(json '[e["name"] for e in d["entries"]]')"

qv list --location "$loc" --format csv; expect 0 "list csv"
python3 - "$work/out" "$odd" <<'PY' || fail "csv"
import csv, sys
raw = open(sys.argv[1], 'rb').read()
assert b'\r\n' in raw and not raw.startswith(b'\xef\xbb\xbf'), 'CRLF records, no BOM'
rows = list(csv.reader(open(sys.argv[1], encoding='utf-8', newline='')))
assert rows[0][:6] == ['kind', 'location', 'name', 'command', 'valueType', 'state'], rows[0]
assert 'sha256' not in rows[0], 'sha256 without --hash'
names = {r[2]: r for r in rows[1:]}
assert sys.argv[2] in names, names.keys()
assert names[sys.argv[2]][3] == 'C:\\Tools\\odd.exe "a, b"', names[sys.argv[2]]
assert 'Grüße 東京' in names
assert all(len(r) == len(rows[0]) for r in rows), 'ragged rows'
PY
qv list --location "$loc"; expect 0 "list text"
head -1 "$work/out" | grep -q '^State  *Location  *Name  *Command' || fail "text header: $(head -1 "$work/out")"
# The Name column starts at the same character on every line.
python3 - "$work/out" <<'PY' || fail "text columns are not aligned"
import sys
lines = open(sys.argv[1], encoding='utf-8').read().splitlines()
starts = {l.index('Grüße') if 'Grüße' in l else l.index('Plain') if 'Plain' in l else None for l in lines[1:]}
starts.discard(None)
assert len(starts) == 1 and lines[0].index('Name') in starts, (starts, lines)
PY
qv list --location 'hkey_current_user\software\microsoft\windows\currentversion\runonce' --format csv
expect 0 "list by a location in other case"
[ "$(grep -c 'RunOnce' "$work/out")" -ge 4 ] || fail "location in other case lists nothing"
qv list --location 'HKEY_CURRENT_USER\Software\Nowhere'; expect 1 "list of an unknown location"

# The whole list walks each location once: no entry appears twice.
qv list --format json; expect 0 "list everything"
[ "$(json 'len(d["entries"]) == len({(e["location"],e["name"],e["state"]) for e in d["entries"]})')" = True ] ||
  fail "an entry is listed twice"
[ "$(json 'sum(1 for e in d["entries"] if e["name"]=="Plain")')" = 1 ] || fail "Plain is not listed exactly once"

# --- disable and enable give every entry back byte-exact ------------------------------------------
before=$(wine reg query "$key" 2>/dev/null | tr -d '\r' | sort)
qv export "$work/baseline.json"; expect 0 "export"
for name in Plain Expand "$umlaut" "$odd"; do
  qv disable --location "$loc" --name "$name"; expect 0 "disable $name"
done
qv list --location "$loc" --state on --format json; expect 0 "list --state on"
[ "$(json 'len(d["entries"])')" = 0 ] || fail "entries on after disabling all"
qv list --location "$loc" --state off --format json
[ "$(json 'sorted(e["state"] for e in d["entries"])')" = "['kept', 'kept', 'kept', 'kept']" ] || fail "states after disable"
grep -q 'valuetype="REG_EXPAND_SZ"' "$work/config.xml" || fail "config.xml lost the value type"
qv compare "$work/baseline.json"; expect 1 "compare after disabling"
grep -q 'state: on -> kept' "$work/out" || fail "compare text: $(cat "$work/out")"
qv disable --location "$loc" --name Plain; expect 1 "disable of a disabled entry"
for name in Plain Expand "$umlaut" "$odd"; do
  qv enable --location "$loc" --name "$name"; expect 0 "enable $name"
done
after=$(wine reg query "$key" 2>/dev/null | tr -d '\r' | sort)
[ "$before" = "$after" ] || fail "disable and enable changed the key: $before / $after"
grep -q 'disabled' "$work/config.xml" && fail "records left in config.xml: $(cat "$work/config.xml")"
# Every change went to the journal beside the program, as the window's do.
journalled=$(cat "$work"/Log/Data/* 2>/dev/null | tr -d '\0')
for name in Plain Expand; do
  [ "$(grep -c "$name" <<<"$journalled")" -ge 2 ] || fail "the journal lacks the disable and enable of $name: $journalled"
done
qv compare "$work/baseline.json"; expect 0 "compare after nothing changed"
[ -s "$work/out" ] && fail "compare without differences printed $(cat "$work/out")"

# --- compare after adding, removing and changing ---------------------------------------------------
qv add --location "$loc" --name Newcomer --command 'C:\new.exe'; expect 0 "add Newcomer"
qv remove --location "$loc" --name Expand; expect 0 "remove Expand"
qv add --location "$loc" --name Plain --command 'C:\windows\system32\notepad.exe /changed' --replace
expect 0 "add --replace"
qv compare "$work/baseline.json" --format json; expect 1 "compare json"
[ "$(json '[e["name"] for e in d["added"]]')" = "['Newcomer']" ] || fail "added: $(json 'd["added"]')"
[ "$(json '[e["name"] for e in d["removed"]]')" = "['Expand']" ] || fail "removed: $(json 'd["removed"]')"
[ "$(json '[(e["name"], [c["field"] for c in e["changes"]]) for e in d["changed"]]')" = "[('Plain', ['command'])]" ] ||
  fail "changed: $(json 'd["changed"]')"
echo 'not json' >"$work/broken.json"
qv compare "$work/broken.json"; expect 2 "compare with a broken baseline"
qv compare "$work/missing.json"; expect 2 "compare with a missing baseline"
grep -qi 'not found\|cannot find' "$work/err" || fail "no system reason for the missing baseline: $(cat "$work/err")"

# --- --data picks one of several equal names ------------------------------------------------------
qv disable --location "$loc" --name Plain; expect 0 "disable Plain"
qv add --location "$loc" --name Plain --command 'C:\second.exe'; expect 0 "a second Plain"
qv remove --location "$loc" --name Plain; expect 1 "remove of two equal names"
grep -q -- '--data' "$work/err" || fail "several matches do not mention --data"
qv remove --location "$loc" --name Plain --data 'C:\second.exe'; expect 0 "remove --data"
qv list --location "$loc" --format json
[ "$(json '[(e["command"], e["state"]) for e in d["entries"] if e["name"]=="Plain"]')" = \
  "[('C:\\\\windows\\\\system32\\\\notepad.exe /changed', 'kept')]" ] || fail "the other Plain: $(cat "$work/out")"
qv remove --location "$loc" --name Nobody; expect 1 "remove of no entry"

# --- two scripts disabling at the same moment lose no record ---------------------------------------
{
  printf 'REGEDIT4\r\n\r\n[%s]\r\n' "$loc"
  for i in $(seq 1 20); do printf '"Race%d"="C:\\\\race%d.exe"\r\n' "$i" "$i"; done
} >"$work/race.reg"
wine regedit /S "$(winepath -w "$work/race.reg")" >/dev/null 2>&1
# disable_range FIRST LAST: disables RaceFIRST..RaceLAST one run at a time; the failures' count
# is its exit code.
disable_range() {
  local bad=0
  for i in $(seq "$1" "$2"); do
    (cd "$work" && wine ./Quorvane.com disable --location "$loc" --name "Race$i" >/dev/null 2>&1) ||
      bad=$((bad + 1))
  done
  return "$bad"
}
disable_range 1 10 & first=$!
disable_range 11 20 & second=$!
wait "$first" || fail "$? disables of the first script failed"
wait "$second" || fail "$? disables of the second script failed"
kept=$(grep -o 'valuename="Race[0-9]*"' "$work/config.xml" | sort -u | wc -l)
[ "$kept" = 20 ] || fail "config.xml holds $kept of the 20 disabled entries"
wine reg query "$key" 2>/dev/null | grep -q 'Race' && fail "a disabled Race value is still in the key"
qv list --location "$loc" --state off --format json
[ "$(json 'sum(1 for e in d["entries"] if e["name"].startswith("Race"))')" = 20 ] ||
  fail "list --state off shows $(json 'sum(1 for e in d["entries"] if e["name"].startswith("Race"))') Race entries"

# --- failures carry the system's reason --------------------------------------------------------------
# A folder where config.xml should be: the store cannot be written (the prefix runs with every
# right, so a write-protected file would not stop it).
rm "$work/config.xml"; mkdir "$work/config.xml"
qv disable --location "$loc" --name Newcomer; expect 2 "disable with an unwritable config.xml"
grep -q 'so it was left enabled\. [A-Z]' "$work/err" || fail "no system reason: $(cat "$work/err")"
rmdir "$work/config.xml"; cp "$(dirname "$0")/../res/config.xml" "$work/config.xml"
wine reg query "$key" /v Newcomer >/dev/null 2>&1 || fail "a refused disable lost the entry"
qv export 'Z:\nonexistent-folder\x.json'; expect 2 "export into a missing folder"
grep -q 'could not be written' "$work/err" || fail "export failure: $(cat "$work/err")"

[ "$failures" = 0 ] && echo "console test passed"
exit $((failures > 0))
