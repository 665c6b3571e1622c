#!/bin/sh
# Builds the progress bar's pure geometry for this machine with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs it through values at the ends of the 32-bit
# range. MinGW-w64 has neither sanitizer for Windows targets; this is the part of
# the program that can have them. Exits 77 (skipped) without a host compiler.
#   run.sh SOURCE_DIR WORK_DIR
set -eu
source_dir=$1
work_dir=$2
compiler=c++
command -v "$compiler" >/dev/null 2>&1 || { echo "no host C++ compiler"; exit 77; }
here=$source_dir/tests/hostile/native
mkdir -p "$work_dir"
"$compiler" -std=c++20 -O1 -g -fno-omit-frame-pointer \
    -fsanitize=address,undefined -fno-sanitize-recover=all \
    -I"$here/shim" -I"$source_dir/progressbar" -I"$source_dir/win32" \
    "$here/GeometryUnderSanitizers.cpp" "$source_dir/progressbar/ProgressGeometry.cpp" \
    -o "$work_dir/geometry_under_sanitizers"
exec "$work_dir/geometry_under_sanitizers"
