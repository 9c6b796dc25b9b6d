#!/bin/sh
# Builds the host tool kesreference from the command table and runs it:
#   make-reference.sh <c++ compiler> <source folder> <work folder> <output>
# It writes the editor grammar editors/vscode/syntaxes/kestrova.tmLanguage.json
# too (the command words of the table).
# The table names every handler; the tool only needs their addresses, so a
# stand-in is made for each undefined Cmd... symbol of the table's object,
# with its name (the reference shows it).
set -eu
cxx=$1 src=$2 work=$3 out=$4
mkdir -p "$work"
"$cxx" -std=c++20 -O1 -I"$src/src" -c "$src/src/interp/command_table.cpp" -o "$work/table.o"
{
  echo '#include "interp/dispatcher.h"'
  echo 'struct HandlerName { kes::Handler handler; const char* name; };'
  nm -u "$work/table.o" | awk '$2 ~ /^_ZN3kes[0-9]+Cmd[A-Za-z0-9]*ERNS_6InterpERNS_3CtxE$/ { print $2 }' | sort -u > "$work/handlers.txt"
  n=0
  while read -r sym; do
    echo "void stub$n(kes::Interp&, kes::Ctx&) __asm__(\"$sym\");"
    echo "void stub$n(kes::Interp&, kes::Ctx&) {}"
    n=$((n + 1))
  done < "$work/handlers.txt"
  echo 'extern const HandlerName kHandlerNames[] = {'
  n=0
  while read -r sym; do
    name=$(echo "$sym" | sed -E 's/^_ZN3kes[0-9]+(Cmd[A-Za-z0-9]*)ERNS_6InterpERNS_3CtxE$/\1/')
    echo "  {stub$n, \"$name\"},"
    n=$((n + 1))
  done < "$work/handlers.txt"
  echo '  {nullptr, nullptr}};'
  echo "extern const size_t kHandlerNameCount = $n;"
} > "$work/stubs.cpp"
"$cxx" -std=c++20 -O1 -I"$src/src" -o "$work/kesreference" "$src/src/tools/kesreference.cpp" "$work/stubs.cpp" "$work/table.o"
"$work/kesreference" "$src/tests/scripts/reference" "$out" \
  "$src/editors/vscode/kestrova.tmLanguage.template.json" "$src/editors/vscode/syntaxes/kestrova.tmLanguage.json"
