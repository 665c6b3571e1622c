#!/bin/sh
# Smoke test of the 32-bit quenfix.exe: starts it under Wine's 32-bit loader, lets a
# 64-bit probe find its window, check the texts and close it, and checks that the
# process ends.
#   tests/x86/smoke.sh QUENFIX_EXE PROBE_EXE
# Where the machine cannot run 32-bit code itself, the loader runs under qemu's i386
# user-mode emulator, registered with binfmt_misc inside a private user and mount
# namespace only: nothing outside this test sees the registration.
# The Wine prefix is QUENFIX_WOW64_PREFIX, or build/wineprefix-wow64 beside the
# sources; it needs its 32-bit half, which is filled by running the 32-bit side of
# wineboot, so it is made once (several minutes under the emulator) and kept.
# Exit codes: 0 passed, 1 failed, 77 skipped (no way to run 32-bit code here).
set -eu

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }
say() { echo "[$(($(date +%s) - started)) s] $*"; }

WINE32=/usr/lib/wine/wine
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
QEMU=/usr/bin/qemu-i386-static
BINFMT=/proc/sys/fs/binfmt_misc
# ELF, 32-bit, little-endian, executable or shared object, machine i386.
I386_ELF=':quenfix-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

runs_32bit() { "$WINE32" --version >/dev/null 2>&1; }

# Inside the private namespace: mount a binfmt_misc of its own and send i386 ELF
# files to the emulator. The F flag opens the emulator now, so it is found from
# any mount namespace the processes may later be in.
register_emulator() {
    mount -t binfmt_misc binfmt_misc "$BINFMT" 2>/dev/null ||
        skip "binfmt_misc cannot be mounted in a user namespace (needs Linux 6.7 or later)"
    printf '%s' "$I386_ELF:$QEMU:F" >"$BINFMT/register" 2>/dev/null ||
        skip "the i386 emulator cannot be registered with binfmt_misc"
    runs_32bit || skip "Wine's 32-bit loader does not start under $QEMU"
}

# Makes the prefix on first use; the wineboot inside runs both halves of Wine.
prepare_prefix() {
    root=$(cd "$(dirname "$0")/../.." && pwd)
    prefix=${QUENFIX_WOW64_PREFIX:-$root/build/wineprefix-wow64}
    [ -f "$prefix/.quenfix-ready" ] || say "making the prefix $prefix (several minutes under the emulator)"
    "$root/tools/wineprefix" "$prefix" --headless
    [ -f "$prefix/drive_c/windows/syswow64/kernel32.dll" ] ||
        fail "$prefix has no 32-bit half; remove it so that it is made again"
    export WINEPREFIX="$prefix" WINEDEBUG=-all
}

stop_wine() {
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w 2>/dev/null || true
}

# Waits up to $2 seconds for the process $1 to end.
ended_within() {
    waited=0
    while kill -0 "$1" 2>/dev/null; do
        [ "$waited" -lt "$2" ] || return 1
        sleep 1
        waited=$((waited + 1))
    done
}

run_smoke() {
    exe=$1 probe=$2
    prepare_prefix
    trap stop_wine EXIT
    # The server and Wine's services start from the 64-bit side before the program,
    # so that only the program itself runs emulated. The server outlives its last
    # client by a minute at most, should this script be killed before stop_wine.
    "$WINESERVER" -p60
    "$WINE64" cmd /c exit </dev/null >/dev/null 2>&1 || true
    say "starting $exe"
    "$WINE32" "$exe" </dev/null &
    program=$!
    if ! "$WINE64" "$probe"; then
        kill "$program" 2>/dev/null || true
        fail "the probe found a fault (above)"
    fi
    if ! ended_within "$program" 60; then
        kill "$program" 2>/dev/null || true
        fail "Wine's loader of the program is still running after the window closed"
    fi
    say "passed"
}

started=$(date +%s)
case "${1:-}" in
--in-namespace)
    shift
    register_emulator
    run_smoke "$@"
    ;;
*)
    [ $# -eq 2 ] || fail "usage: $0 QUENFIX_EXE PROBE_EXE"
    [ -f "$1" ] || fail "$1 does not exist. Build the x86 preset first: cmake --preset x86 && cmake --build --preset x86"
    [ -f "$2" ] || fail "$2 does not exist"
    [ -x "$WINE32" ] || skip "Wine's 32-bit loader is not installed (package wine32:i386)"
    if runs_32bit; then
        run_smoke "$@"
        exit 0
    fi
    [ -x "$QEMU" ] || skip "this machine cannot run 32-bit code and $QEMU is missing (package qemu-user-static)"
    command -v unshare >/dev/null || skip "unshare is missing (package util-linux)"
    unshare --user --map-root-user --mount true 2>/dev/null ||
        skip "user namespaces are not allowed here (unshare --user --map-root-user --mount failed)"
    exec unshare --user --map-root-user --mount sh "$0" --in-namespace "$@"
    ;;
esac
