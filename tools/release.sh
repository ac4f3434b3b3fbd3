#!/usr/bin/env bash
# Builds the release and packs it: the 32-bit quillmoor.exe in release mode,
# stripped (preset windows-release, built in build/windows-release), with the
# user guide and the licence as Windows text files (CR LF), in
# dist/quillmoor-<version>.zip.  The version is the project's, set in the top
# CMakeLists.txt; it also goes into the exe's version resource and manifest,
# and into the guide in place of @VERSION@ (or on a line of its own at the
# top when the guide names none).  Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh

# Only quillmoor.exe: the build preset names that one target.
cmake --preset windows-release >/dev/null
cmake --build --preset windows-release
build=build/windows-release

# The version as CMake wrote it for the resource: what the exe says it is.
version=$(sed -n 's/^#define QM_VERSION_TEXT "\(.*\)"$/\1/p' "$build/exe/quillmoor_version.h")
if [ -z "$version" ]; then echo "no version in $build/exe/quillmoor_version.h"; exit 1; fi

stage=$build/dist
rm -rf "$stage"
mkdir -p "$stage"
cp "$build/exe/quillmoor.exe" "$stage/quillmoor.exe"
crlf() { sed -e 's/\r$//' -e 's/$/\r/'; }
if grep -q '@VERSION@' docs/user-guide.md; then
  sed "s/@VERSION@/$version/g" docs/user-guide.md | crlf > "$stage/quillmoor-guide.txt"
else
  { echo "quillmoor idle $version"; echo; cat docs/user-guide.md; } | crlf > "$stage/quillmoor-guide.txt"
fi
crlf < LICENSE > "$stage/LICENSE.txt"

mkdir -p dist
zip=$PWD/dist/quillmoor-$version.zip
rm -f "$zip"
# cmake writes the zip: nothing more to install.
(cd "$stage" && cmake -E tar cf "$zip" --format=zip quillmoor.exe quillmoor-guide.txt LICENSE.txt)
echo "$(stat -c %s "$stage/quillmoor.exe") bytes: quillmoor.exe"
echo "dist/quillmoor-$version.zip"
