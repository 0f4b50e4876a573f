#!/usr/bin/env bash
# imports-test.sh OBJDUMP EXE: the program needs nothing beside it, so it may
# import only DLLs that every Windows has; TLS comes from the system's own
# (Secur32, Crypt32), not from a library of its own. Prints the import table
# and fails on any other DLL, or when the table cannot be read.
set -u
objdump=$1 exe=$2
allowed=" advapi32.dll comctl32.dll comdlg32.dll crypt32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll "
allowed+="secur32.dll shell32.dll user32.dll ws2_32.dll "
dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$dlls" ] || { echo "no import table read from $exe" >&2; exit 1; }
status=0
for dll in $dlls; do
    case $allowed in
    *" $dll "*) echo "imports $dll" ;;
    *) echo "imports $dll, which not every Windows has" >&2; status=1 ;;
    esac
done
exit $status
