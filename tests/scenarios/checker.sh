#!/usr/bin/env bash
# The static checker (Kestrova.exe /CHECK script[,report]) on the corpus of
# tests/check: each NAME.kes gives exactly NAME.report (paths shown without
# the corpus folder), its exit code is the number of problems (hints not
# counted), and the report also reaches the console it was started from.
. "$(dirname "$0")/../harness/scenario-lib.sh"
corpus=$(cd "$(dirname "$0")/../check" && pwd)
# The corpus is copied so its INCLUDE lines find lib.txt through CHECKDIR.
cp "$corpus"/* "$S/"
CHECKDIR=$(winpath "$S/x"); export CHECKDIR=${CHECKDIR%\\x}
# The corpus folder, as the messages write it (an INCLUDE name keeps the
# case of the variable that names its folder).
pat=$(printf '%s' "$CHECKDIR" | sed 's/[\\/.]/\\&/g')
for script in "$S"/*.kes; do
  name=$(basename "$script" .kes)
  rm -f "$S/$name.chk"
  run_kes /CHECK "$(winpath "$script"),$(winpath "$S/$name.chk")"
  got=$(content "$S/$name.chk" | sed -e "s/$pat\\\\//g")
  want=$(content "$corpus/$name.report")
  if [ "$got" != "$want" ]; then
    fail "report of $name.kes differs:"
    diff <(printf '%s\n' "$want") <(printf '%s\n' "$got")
  fi
  problems=$(printf '%s\n' "$want" | grep -c -v -e '^$' -e ': hint: ')
  expect_eq "$RC" "$problems" "exit code of $name.kes"
done

# The default report file is the script's name with .chk; the console the
# checker was started from (here its redirected output) gets the same lines.
rm -f "$S/jumps.chk"
timeout -k 5 60 wine "$EXE" /CHECK "$(winpath "$S/jumps.kes")" </dev/null >"$S/console.txt" 2>>"$S/wine.log"
expect_eq "$(content "$S/console.txt")" "$(content "$S/jumps.chk")" "console output"
[ -s "$S/jumps.chk" ] || fail "no default report file jumps.chk"

# A script that is not there is one problem.
run_kes /CHECK "$(winpath "$S/none.kes")"
expect_eq "$RC" 1 "exit code for a missing script"
case "$(content "$S/none.chk")" in
  *"none.kes(0): the script cannot be read") ;;
  *) fail "missing script report: [$(content "$S/none.chk")]" ;;
esac
finish
