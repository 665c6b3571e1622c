#!/bin/sh
# The benchmark command: installs what is missing, builds the 64-bit program and its
# benchmarks (and the 32-bit release, whose size is one of the figures), then prints
# every figure beside its reference and its goal. Figures only: it never fails on them.
# Runs under Wine in a headless prefix of its own (build/wineprefix-bench), with a
# stand-in regsvr32.exe that exits at once, so that a repair run costs only the
# starting and ending of its child processes.
#   tools/bench.sh [footprint] [paint] [run] [startup] [size]   (default: all)
# QUENFIX_BENCH_X64_DIR and QUENFIX_BENCH_X86_DIR choose other build directories than
# the presets' build/x64 and build/x86.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tools/install-deps

x64=${QUENFIX_BENCH_X64_DIR:-$root/build/x64}
x86=${QUENFIX_BENCH_X86_DIR:-$root/build/x86}
cmake --preset x64 -B "$x64" >/dev/null
cmake --build "$x64" -j2 --target quenfix_bench regsvr32_standin
cmake --preset x86 -B "$x86" >/dev/null
cmake --build "$x86" -j2 --target quenfix

prefix=$root/build/wineprefix-bench
tools/wineprefix "$prefix" --headless
# Wine runs its own regsvr32 from system32 unless told to prefer a native one there.
cp "$x64/tests/standin/regsvr32.exe" "$prefix/drive_c/windows/system32/regsvr32.exe"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES=regsvr32.exe=n
stop_wine() {
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    /usr/lib/wine/wineserver -w 2>/dev/null || true
}
trap stop_wine EXIT
# A server and Wine's services running before the first figure, so that no figure
# pays for starting them (a server already running for the prefix is kept).
/usr/lib/wine/wineserver -p 2>/dev/null || true
/usr/lib/wine/wine64 cmd /c exit </dev/null >/dev/null 2>&1 || true

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
echo "Machine: $(nproc) cores, ${cpu:-unknown CPU}, $(/usr/lib/wine/wine64 --version)"
/usr/lib/wine/wine64 "$x64/bench/quenfix_bench.exe" --x86 "Z:$x86/app/quenfix.exe" "$@"
