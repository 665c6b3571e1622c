#!/bin/sh
# Makes the pictures of the window for the README and docs/ARCHITECTURE.md under Xvfb, into docs/:
#   window-classic.png, window-themed.png, window-run.png
# Each mode's Wine output goes to build/screenshot-<mode>.log.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tools/install-deps --display
cmake --preset x64 >/dev/null
cmake --build --preset x64 --target quenfix_screenshot_stage

prefix=$root/build/wineprefix-run
tools/wineprefix "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=fixme-all
mkdir -p docs
for mode in classic themed run; do
    tools/under-xvfb tools/run-window --shot "docs/window-$mode.png" --timeout 180 \
        "build/screenshot-$mode.log" "Quenfix - By Tarnwick" \
        /usr/lib/wine/wine64 build/x64/tools/screenshot-stage/quenfix_screenshot_stage.exe "$mode"
    /usr/lib/wine/wineserver -w
    echo "docs/window-$mode.png"
done
