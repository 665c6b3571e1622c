#!/bin/sh
# The test command: installs what is missing, builds the 32-bit (release) and the
# 64-bit program with warnings as errors, then runs every test on the 64-bit build
# under Wine, in a headless prefix of the project's own (build/wineprefix), and on
# the 32-bit build too where the machine runs 32-bit code.
#   tools/test.sh [extra ctest arguments, e.g. -L gui]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tools/install-deps --wine32

# The prefix is made while the programs build: most of that time Wine waits.
prefix=$root/build/wineprefix
tools/wineprefix "$prefix" --headless &
making_prefix=$!

cmake --preset x86 -DQUENFIX_WERROR=ON
cmake --build --preset x86
cmake --preset x64 -DQUENFIX_WERROR=ON
cmake --build --preset x64

wait $making_prefix
export WINEPREFIX="$prefix" QUENFIX_WINEPREFIX="$prefix" WINEDEBUG=-all
stop_wine() {
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    /usr/lib/wine/wineserver -w 2>/dev/null || true
}
trap stop_wine EXIT
# Start the server, Wine's services and its desktop process before the first test,
# so that each test process starts warm and none waits on a helper that outlives
# it. The desktop process goes a second after the last program on the desktop;
# started by a test, it would hold that test's output open meanwhile, and ctest
# waits for it. A notepad left open keeps the desktop, and so its process, for the
# whole run.
/usr/lib/wine/wineserver -p 2>/dev/null || true  # one may be running already
/usr/lib/wine/wine64 notepad </dev/null >/dev/null 2>&1 &
/usr/lib/wine/wine64 cmd /c exit </dev/null >/dev/null 2>&1 || true

status=0
ctest --preset x64 "$@" || status=$?
# The 32-bit build registers tests only where the machine runs 32-bit code itself.
if ctest --preset x86 -N | grep -q '^Total Tests: [1-9]'; then
    ctest --preset x86 "$@" || status=$?
fi
exit $status
