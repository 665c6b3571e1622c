#!/bin/sh
# The test command: installs what is missing, builds the 32-bit (release) and the
# 64-bit program with warnings as errors, then runs every test on the 64-bit build
# under Wine, in a headless prefix of the project's own (build/wineprefix), and on
# the 32-bit build too where Wine's 32-bit loader is installed and the machine runs
# 32-bit code.
#   tools/test.sh [extra ctest arguments, e.g. -L gui]
# Its last lines say what ran: each suite's tests and how many passed, or why the
# suite did not run, and how the emulated smoke test of the release ended. It fails
# when a build or a test failed; a suite that cannot run on this machine is said,
# not failed.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tools/install-deps --wine32

# The prefix is made while the programs build: most of that time Wine waits.
prefix=$root/build/wineprefix
tools/wineprefix "$prefix" --headless &
making_prefix=$!

# A build that fails is reported at the end, and the other build's suite still runs.
build() { cmake --preset "$1" -DQUENFIX_WERROR=ON && cmake --build --preset "$1"; }
x86_built=true x64_built=true
build x86 || x86_built=false
build x64 || x64_built=false

wait $making_prefix
export WINEPREFIX="$prefix" QUENFIX_WINEPREFIX="$prefix" WINEDEBUG=-all
results=$(mktemp -d)
stop_wine() {
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    /usr/lib/wine/wineserver -w 2>/dev/null || true
    rm -rf "$results"
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
# Runs the suite of build $1 with the command's ctest arguments; its results go to
# $results/$1.xml, and ctest's exit status to $results/$1.status.
run_suite() {
    build=$1
    shift
    suite_status=0
    ctest --preset "$build" --output-junit "$results/$build.xml" "$@" || suite_status=$?
    echo "$suite_status" >"$results/$build.status"
    [ "$suite_status" = 0 ] || status=1
}
$x64_built && run_suite x64 "$@"
# The 32-bit build registers tests only where the machine runs 32-bit code itself.
if $x86_built && ctest --preset x86 -N | grep -q '^Total Tests: [1-9]'; then
    run_suite x86 "$@"
fi
$x86_built && $x64_built || status=1

# What ctest wrote of each test case, one "status name" line each: status run
# (passed), fail, notrun (skipped) or disabled.
cases() {
    sed -n 's/.*<testcase name="\([^"]*\)".* status="\([a-z]*\)".*/\2 \1/p' "$results/$1.xml" >"$results/$1.cases"
}
count() { grep -c -E "^($1) " "$results/$2.cases" || true; }
# "130 tests, 129 passed, 1 skipped (Name)", led by FAILED when ctest failed; or
# why the suite did not run.
suite() {
    [ -f "$results/$1.status" ] || { echo "not run: $2"; return; }
    ctest_status=$(cat "$results/$1.status")
    [ -f "$results/$1.xml" ] || { echo "FAILED: ctest ended with exit status $ctest_status and wrote no results"; return; }
    cases "$1"
    total=$(count 'run|fail|notrun|disabled' "$1")
    failed=$(count fail "$1")
    skipped=$(grep -E '^(notrun|disabled) ' "$results/$1.cases" | cut -d ' ' -f 2- | paste -s -d ' ' -)
    line="$total tests, $(count run "$1") passed"
    [ "$failed" = 0 ] || line="$line, $failed failed"
    [ -z "$skipped" ] || line="$line, $(count 'notrun|disabled' "$1") skipped ($skipped)"
    [ "$total" != 0 ] || line="no test selected by the arguments"
    [ "$ctest_status" = 0 ] || line="FAILED: $line (ctest's exit status $ctest_status)"
    echo "$line"
}
x86_not_run() {
    $x86_built || { echo "the 32-bit build failed (above)"; return; }
    reason=$(sed -n 's/^QUENFIX_X86_TESTS_NOT_RUN:INTERNAL=//p' build/x86/CMakeCache.txt)
    echo "${reason:-the 32-bit build registered no tests}"
}
# The smoke test of the release gives its reason to skip on a line of its own.
smoke() {
    [ -f "$results/x64.cases" ] || { echo "no result (see the 64-bit suite)"; return; }
    case $(sed -n 's/^\([a-z]*\) x86_emulated_smoke$/\1/p' "$results/x64.cases") in
    run) echo "passed" ;;
    fail) echo "FAILED (above)" ;;
    notrun)
        echo "skipped: $(awk '/<testcase name="x86_emulated_smoke"/ { on = 1 }
            on && sub(/.*SKIPPED: /, "") { print; exit }' "$results/x64.xml" |
            sed 's/&lt;/</g; s/&gt;/>/g; s/&amp;/\&/g')" ;;
    *) echo "not selected by the arguments" ;;
    esac
}

echo
echo "Summary:"
echo "  64-bit suite: $(suite x64 "the 64-bit build failed (above)")"
echo "  32-bit suite: $(suite x86 "$(x86_not_run)")"
echo "  emulated smoke test of the release: $(smoke)"
exit $status
