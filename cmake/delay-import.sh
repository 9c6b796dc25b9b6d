#!/bin/sh
# Makes a delay-load import library for one system DLL from the toolchain's
# import library: the DLL is then loaded at the first call into it, not when
# the program starts. usage: delay-import.sh NM DLLTOOL IMPORT-LIB OUTPUT
set -e
nm=$1 dlltool=$2 lib=$3 out=$4
dll=$("$dlltool" -I "$lib")
def=${out%.a}.def
# Every function of the import library (its code thunks), by decorated name.
{ echo "LIBRARY $dll"; echo EXPORTS; "$nm" -g --defined-only "$lib" | sed -n 's/^.* T _\(.*\)$/\1/p' | sort -u; } > "$def"
"$dlltool" -d "$def" -D "$dll" -k -y "$out"
