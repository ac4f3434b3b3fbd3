#!/usr/bin/env bash
# Checks the release zip that tools/release.sh packed from this tree, as a
# user gets it: dist/quillmoor-<version>.zip, the version the top
# CMakeLists.txt sets, holding exactly quillmoor.exe, quillmoor-guide.txt and
# LICENSE.txt; the exe a 32-bit GUI program with the committed imports
# (check_imports.sh), its version resource and manifest as they must read;
# the guide and the licence Windows text (CR LF), the guide of this version.
#
#   check_release.sh [ROOT]      (ROOT: the top of the tree, by default this one's)
set -u
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
here=$root/tests/e2e
objdump=i686-w64-mingw32-objdump windres=i686-w64-mingw32-windres
version=$(sed -n 's/^project(quillmoor VERSION \([0-9][0-9.]*\)[ )].*/\1/p' "$root/CMakeLists.txt")
if [ -z "$version" ]; then echo "no project version in $root/CMakeLists.txt"; exit 1; fi
zip=$root/dist/quillmoor-$version.zip
if [ ! -f "$zip" ]; then echo "no $zip: tools/release.sh makes it"; exit 1; fi
echo "checking $zip"
status=0
fail() { echo "$*"; status=1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
names=$(cmake -E tar tf "$zip" | sort | tr '\n' ' ')
[ "$names" = "LICENSE.txt quillmoor-guide.txt quillmoor.exe " ] || fail "the zip holds: $names"
(cd "$work" && cmake -E tar xf "$zip") || { echo "cannot unpack $zip"; exit 1; }
exe=$work/quillmoor.exe

bash "$here/check_imports.sh" "$objdump" "$here/imports-i686.txt" "$exe" || status=1

# The resources as windres reads them back, as resource-script text.
rc=$("$windres" -i "$exe" -O rc 2>&1) || fail "windres cannot read the resources: $rc"
dotted=$version.0
commas=$(tr . , <<< "$dotted" | sed 's/,/, /g')
for line in "FILEVERSION $commas" "PRODUCTVERSION $commas" \
            "VALUE \"FileVersion\", \"$dotted\"" "VALUE \"ProductVersion\", \"$dotted\"" \
            'VALUE "ProductName", "quillmoor idle"' 'VALUE "OriginalFilename", "quillmoor.exe"' \
            'VALUE "LegalCopyright", "Copyright (c) 2026 the quillmoor idle developers; MIT licence"'; do
  grep -qxF "$line" <(sed 's/^ *//' <<< "$rc") || fail "the version resource lacks: $line"
done
grep -q '^ *VALUE "FileDescription", "..*"$' <<< "$rc" || fail "the version resource has no FileDescription"

# The manifest: resource 1 of type 24, its quoted lines joined and unescaped.
manifest=$(awk '/^1 24 /{on=1; next} on && /^END/{exit} on' <<< "$rc" |
           sed -n 's/^ *"\(.*\)"$/\1/p' | sed -e 's/""/"/g' -e 's/\\n$//')
[ -n "$manifest" ] || fail "no manifest (resource 1 of type 24)"
flat=$(tr -s ' \n' ' ' <<< "$manifest")
for want in '<requestedExecutionLevel level="asInvoker" uiAccess="false"/>' \
            "<assemblyIdentity type=\"win32\" name=\"quillmoor.idle\" version=\"$dotted\" processorArchitecture=\"x86\"/>" \
            '<supportedOS Id="{e2011457-1546-43c5-a5fe-008deee3d3f0}"/>' \
            '<supportedOS Id="{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"/>' \
            '<supportedOS Id="{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"/>' \
            '<supportedOS Id="{1f676c76-80e1-4239-95bb-83d0f6d0da78}"/>' \
            '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>' \
            '<dpiAware>true</dpiAware>'; do
  grep -qF "$want" <<< "$flat" || fail "the manifest lacks: $want"
done
# Common controls 6 would restyle the system-drawn prompt and the editor's list.
! grep -q 'Microsoft.Windows.Common-Controls' <<< "$flat" || fail "the manifest asks for common controls 6"

# Windows text: every line ends in CR LF, no bare LF.
for name in quillmoor-guide.txt LICENSE.txt; do
  f=$work/$name
  if [ ! -s "$f" ]; then fail "$name is missing or empty"; continue; fi
  lf=$(tr -cd '\n' < "$f" | wc -c)
  crlf=$(grep -c $'\r$' "$f")
  [ "$lf" -gt 0 ] && [ "$lf" = "$crlf" ] || fail "$name is not CR LF text ($crlf of $lf lines end in CR LF)"
  [ "$(tail -c 2 "$f" | od -An -c | tr -d ' ')" = '\r\n' ] || fail "$name does not end with CR LF"
done
grep -qF "$version" "$work/quillmoor-guide.txt" || fail "the guide does not name version $version"
! grep -qF '@VERSION@' "$work/quillmoor-guide.txt" || fail "the guide still holds @VERSION@"
grep -qF 'Copyright (c) 2026 the quillmoor idle developers' "$work/LICENSE.txt" || fail "LICENSE.txt lacks the copyright line"
grep -qF 'MIT License' "$work/LICENSE.txt" || fail "LICENSE.txt is not the MIT licence"

[ $status -eq 0 ] && echo "ok: $(basename "$zip"), $(stat -c %s "$exe") bytes of quillmoor.exe, version $version"
exit $status
