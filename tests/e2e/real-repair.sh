#!/bin/sh
# Runs the real-repair test in a prefix of its own: a copy of the test prefix, made
# for this run and removed after it. The test takes classes out of the registry,
# which the tests running beside it share.
#   tests/e2e/real-repair.sh LOADER TEST_PROGRAM
# LOADER is the build's Wine wrapper (tools/wine64-run or tools/wine-run); it runs
# TEST_PROGRAM in the prefix that QUENFIX_WINEPREFIX names.
set -eu
loader=$1
tests=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
template=${QUENFIX_WINEPREFIX:-$root/build/wineprefix}
"$root/tools/wineprefix" "$template" --headless

own=$(mktemp -d "$template-real-repair.XXXXXX")
stop_wine() {
    WINEPREFIX=$own /usr/lib/wine/wineserver -k 2>/dev/null || true
    WINEPREFIX=$own /usr/lib/wine/wineserver -w 2>/dev/null || true
    rm -rf "$own" "$own.lock"
}
trap stop_wine EXIT
# The registry is copied as the template's server last saved it, which holds what
# wineboot registered. Files that tests beside this one remove meanwhile may be
# gone before they are copied; none of them is needed here.
cp -a "$template/." "$own/" 2>/dev/null || true
for needed in .quenfix-ready system.reg; do
    [ -e "$own/$needed" ] || { echo "FAILED: the copy of $template lacks $needed"; exit 1; }
done

# Wine's own regsvr32 in both system directories: the other end-to-end tests put
# their stand-in there, and Wine runs a 32-bit one wherever it lies.
wine_file() {
    for file in /usr/lib/*/wine/"$1"/"$2" /usr/lib/wine/"$1"/"$2" /usr/local/lib/wine/"$1"/"$2"; do
        [ -f "$file" ] && echo "$file" && return 0
    done
    return 1
}
x86_64=$(wine_file x86_64-windows regsvr32.exe) || { echo "FAILED: Wine's own regsvr32.exe is not installed"; exit 1; }
cp "$x86_64" "$own/drive_c/windows/system32/regsvr32.exe"
if i386=$(wine_file i386-windows regsvr32.exe); then
    cp "$i386" "$own/drive_c/windows/syswow64/regsvr32.exe"
fi

# Neither Mono nor Gecko, as the prefix was made.
export QUENFIX_WINEPREFIX="$own" QUENFIX_REAL_REPAIR_PREFIX="$own" WINEDLLOVERRIDES="mscoree,mshtml="
"$loader" "$tests" --gtest_filter='RealRepair.*'
