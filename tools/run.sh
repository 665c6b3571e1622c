#!/bin/sh
# The run command: installs what is missing, builds Quenfix and starts it under Wine
# in a prefix of the project's own (build/wineprefix-run).
# With an X display it opens the window. Without one it starts Xvfb, takes a
# screenshot of the window to build/screenshot.png and prints its path.
# The 64-bit build runs here, since not every machine runs 32-bit code itself.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tools/install-deps --display
cmake --preset x64 >/dev/null
cmake --build --preset x64 --target quenfix

exe=$root/build/x64/app/quenfix.exe
prefix=$root/build/wineprefix-run
tools/wineprefix "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec /usr/lib/wine/wine64 "$exe"
fi

shot=$root/build/screenshot.png
tools/under-xvfb sh -c '/usr/lib/wine/wine64 "$1" >/dev/null 2>&1 &
                        tools/screenshot-window "Quenfix - By Tarnwick" "$2"' sh "$exe" "$shot"
echo "$shot"
