#!/bin/sh
# The release command: builds the 32-bit program from the commit alone (its files
# exported into a new directory, so that nothing uncommitted or left from another
# build takes part) and writes the download and its checksums:
#   OUTDIR/quenfix-<version>.zip   quenfix.exe, README.txt and LICENSE
#   OUTDIR/SHA256SUMS              a line for quenfix.exe and one for the zip
# The program's time stamp and the zip's entry times are the commit's time, so that
# every build of one commit gives the same bytes, wherever and whenever it runs.
#   tools/release.sh [--verify] [OUTDIR]      (OUTDIR: dist/ by default)
# --verify then builds and packs the same commit again, in another directory, and
# fails unless the program, the zip and SHA256SUMS are the same bytes and the sums
# hold for the files in the zip.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
verify=false
if [ "${1:-}" = --verify ]; then
    verify=true
    shift
fi
mkdir -p "${1:-$root/dist}"
out=$(cd "${1:-$root/dist}" && pwd)
cd "$root"
tools/install-deps

if ! git diff --quiet HEAD --; then
    echo "release: commit or stash the changes first; the release is built from the commit" >&2
    exit 1
fi
commit=$(git rev-parse HEAD)
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct "$commit")
# zip stores local times: in UTC, the entry times depend on the commit alone.
export SOURCE_DATE_EPOCH TZ=UTC
mkdir -p build
work=$(mktemp -d "$root/build/release.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Builds the commit's program in DIR/src/build/x86.
build() {
    mkdir "$1/src"
    git archive "$commit" | tar -x -C "$1/src"
    (cd "$1/src" && cmake --preset x86 -DBUILD_TESTING=OFF && cmake --build --preset x86 --target quenfix)
}

# The program that is zipped must be as hardened as the build asks: its data pages
# never executable (NX_COMPAT) and its load address random (DYNAMIC_BASE), with the
# relocations that such a move needs.
check_hardening() {
    header=$(i686-w64-mingw32-objdump -p "$1")
    for flag in NX_COMPAT DYNAMIC_BASE; do
        echo "$header" | grep -qw "$flag" || { echo "release: $1 is not $flag" >&2; exit 1; }
    done
    relocations=$(echo "$header" | awk '/Base Relocation Directory/ { print $3 }')
    if echo "$header" | grep -q 'relocations stripped' || [ "${relocations:-0}" = 00000000 ] ||
        [ -z "$relocations" ]; then
        echo "release: $1 has no relocations" >&2
        exit 1
    fi
}

crlf() {
    sed "s/\$/$(printf '\r')/"
}

# Packs the program built in DIR/src into DEST: the zip's entries in a fixed order,
# with fixed permissions and the commit's time, and text files with Windows' line ends.
pack() {
    src=$1/src
    stage=$1/stage
    version=$(sed -n 's/^#define QUENFIX_VERSION_TEXT "\(.*\)"$/\1/p' "$src/build/x86/resources/version.h")
    zip=quenfix-$version.zip
    mkdir -p "$stage" "$2"
    cp "$src/build/x86/app/quenfix.exe" "$stage/"
    check_hardening "$stage/quenfix.exe"
    sed -e "s/@VERSION@/$version/" -e "s/@COMMIT@/$commit/" "$src/resources/release/README.txt" | crlf >"$stage/README.txt"
    crlf <"$src/LICENSE" >"$stage/LICENSE"
    find "$stage" -type f -exec chmod 0644 {} +
    chmod 0755 "$stage/quenfix.exe"
    find "$stage" -exec touch -d "@$SOURCE_DATE_EPOCH" {} +
    rm -f "$2/$zip"
    # -X leaves out the owner and the extra time fields, -D the directory entries.
    (cd "$stage" && zip -q -X -D -9 "$2/$zip" quenfix.exe README.txt LICENSE)
    (cd "$stage" && sha256sum quenfix.exe) >"$2/SHA256SUMS"
    (cd "$2" && sha256sum "$zip") >>"$2/SHA256SUMS"
}

# The sums must hold for the zip and for the program as the zip gives it back.
check_sums() {
    mkdir "$work/unzipped"
    unzip -q -d "$work/unzipped" "$out/$zip"
    cp "$out/$zip" "$work/unzipped/"
    (cd "$work/unzipped" && sha256sum -c "$out/SHA256SUMS")
}

mkdir "$work/first"
build "$work/first"
pack "$work/first" "$out"
if $verify; then
    mkdir "$work/again"
    build "$work/again"
    pack "$work/again" "$work/again/dist"
    cmp "$work/first/src/build/x86/app/quenfix.exe" "$work/again/src/build/x86/app/quenfix.exe"
    cmp "$out/$zip" "$work/again/dist/$zip"
    cmp "$out/SHA256SUMS" "$work/again/dist/SHA256SUMS"
    check_sums
    echo "release: a second build in another directory gave the same program and zip"
fi
echo "release: $out/$zip"
cat "$out/SHA256SUMS"
