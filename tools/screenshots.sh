#!/bin/sh
# Makes the README's pictures of the window under Xvfb, into docs/:
#   window-classic.png, window-themed.png, window-run.png
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tools/install-deps
cmake --preset x64 >/dev/null
cmake --build --preset x64 --target quenfix_screenshot_stage

prefix=$root/build/wineprefix-run
tools/wineprefix "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all
display=:$((90 + $$ % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
stop() {
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
}
trap stop EXIT
export DISPLAY="$display"
mkdir -p docs
for mode in classic themed run; do
    /usr/lib/wine/wine64 build/x64/tools/screenshot-stage/quenfix_screenshot_stage.exe "$mode" >/dev/null 2>&1 &
    tools/screenshot-window "Quenfix - By Tarnwick" "docs/window-$mode.png"
    /usr/lib/wine/wineserver -k
    /usr/lib/wine/wineserver -w
    echo "docs/window-$mode.png"
done
