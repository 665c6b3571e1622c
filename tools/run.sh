#!/bin/sh
# The run command: installs what is missing, builds Quenfix and starts it under Wine
# in a prefix of the project's own (build/wineprefix-run).
# With an X display it opens the window. Without one it starts Xvfb, takes a
# screenshot of the window to build/screenshot.png and prints its path.
# Wine's output of the run goes to build/run.log; when the program ends before its
# window appears, or no window comes, the command fails and prints the program's
# exit status and the log's last lines.
# The 64-bit build runs here, since not every machine runs 32-bit code itself.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tools/install-deps --display

# The prefix is made while the program builds: most of that time Wine waits.
prefix=$root/build/wineprefix-run
[ -f "$prefix/.quenfix-ready" ] || echo "run.sh: making the Wine prefix $prefix (once)" >&2
tools/wineprefix "$prefix" &
making_prefix=$!
cmake --preset x64 >/dev/null
cmake --build --preset x64 --target quenfix
wait $making_prefix

exe=$root/build/x64/app/quenfix.exe
# Wine's error messages stay on (Debian's wrapper's default): the log must say,
# for example, that no display driver could be loaded.
export WINEPREFIX="$prefix" WINEDEBUG=fixme-all
log=$root/build/run.log
title="Quenfix - By Tarnwick"
# The first start after the prefix is made, on a cold and busy machine, reads
# Wine's libraries from disk and starts its services; give it time. A program
# that ends early is reported at once whatever the limit.
limit=180

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec tools/run-window --timeout "$limit" "$log" "$title" /usr/lib/wine/wine64 "$exe"
fi

shot=$root/build/screenshot.png
rm -f "$shot"
tools/under-xvfb tools/run-window --shot "$shot" --timeout "$limit" "$log" "$title" /usr/lib/wine/wine64 "$exe"
echo "$shot"
