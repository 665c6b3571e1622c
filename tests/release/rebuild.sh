#!/bin/sh
# Builds the 32-bit program again, later and from a copy of the sources in another
# directory, and fails unless it has the same bytes as the x86 build's program:
# neither the time nor the place of a build may reach the program.
#   rebuild.sh SOURCE_DIR X86_BUILD_DIR WORK_DIR
set -eu
source_dir=$1
built=$2/app/quenfix.exe
work=$3
if [ ! -f "$built" ]; then
    echo "$built does not exist: build the x86 preset first"
    exit 1
fi
rm -rf "$work"
mkdir -p "$work/src"
tar -C "$source_dir" --exclude=./.git --exclude=./build --exclude=./dist -cf - . | tar -C "$work/src" -xf -
cd "$work/src"
cmake --preset x86 -DBUILD_TESTING=OFF >"$work/build.log"
cmake --build --preset x86 --target quenfix >>"$work/build.log"
rebuilt=$work/src/build/x86/app/quenfix.exe
if ! cmp -s "$built" "$rebuilt"; then
    echo "$built and $rebuilt differ in $(cmp -l "$built" "$rebuilt" | wc -l) bytes (offset, octal values):"
    cmp -l "$built" "$rebuilt" | head -20
    exit 1
fi
echo "same program: $(sha256sum <"$rebuilt")"
