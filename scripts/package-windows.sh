#!/usr/bin/env bash
# Makes the Windows downloads in build/windows:
#   qvbook-<version>-windows-x64.zip   one folder holding qvbook.exe, qvbook-cli.exe (both
#                                      linked statically: no DLLs), the Japanese manual PDF,
#                                      the reading dictionary ("dic": IPADIC and the name
#                                      parts the Linux build learned, so the Linux build
#                                      comes first) and a short Japanese read-me, for use
#                                      without installing;
#   qvbook-<version>-windows-x64.msi   the installer of the same programs, dictionary and
#                                      manual (scripts/windows-msi.sh).
# The editor is cross-built with the Qt for Windows of scripts/qt-windows.sh, and the
# manual is rendered by the Windows build's own renderer under Wine. With a certificate in
# the environment, the programs and the installer are signed (scripts/sign-windows.sh says
# which variables); without one they are left unsigned.
#
# usage: scripts/package-windows.sh [--build-qt]     (QVBOOK_BUILD_DIR moves build/)
#        --build-qt builds that Qt first when it is not cached (about 25 minutes)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib/apt-install.sh"
. "$root/scripts/lib/wine-prefix.sh"
. "$root/scripts/lib/windows-editor.sh"
build=$windows/release

if ! find_qt_for_windows "$@"; then
  echo "package-windows: no Qt for Windows in $qt_prefix; scripts/package-windows.sh" \
       "--build-qt builds it first (once per machine)" >&2
  exit 1
fi
install_missing_packages python3 binutils-mingw-w64-x86-64
parts=${QVBOOK_BUILD_DIR:-$root/build}/data/name-parts.tsv
[ -f "$parts" ] || { echo "package-windows: no $parts: build for Linux first (scripts/build.sh)" >&2; exit 1; }
configure_windows_editor "$build" -DCMAKE_BUILD_TYPE=Release -DQVBOOK_TESTS=OFF \
  -DQVBOOK_NAME_PARTS="$parts"
start_wine_prefix "$windows/wineprefix"  # the manual is rendered under Wine
cmake --build "$build" -j"$jobs"

version=$(windows_version "$build")
name=qvbook-$version-windows-x64
stage=$windows/package/$name
rm -rf "$windows/package"
stage_windows_programs "$build" "$stage"
"$root/scripts/sign-windows.sh" "$stage/qvbook.exe" "$stage/qvbook-cli.exe"
# The read-me as Notepad reads it best: UTF-8 with a byte order mark, CRLF line ends.
{ printf '\xef\xbb\xbf'; sed -e "s/@VERSION@/$version/" -e 's/$/\r/' \
    "$root/packaging/windows/readme-ja.txt"; } > "$stage/お読みください.txt"

# Python's zipfile marks the Japanese file names as UTF-8, which Windows' Explorer honours.
zip=$windows/$name.zip
rm -f "$zip"
(cd "$windows/package" && python3 - "$zip" "$name" <<'EOF'
import os, sys, zipfile
archive, folder = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as out:
    for top, folders, files in os.walk(folder):
        folders.sort()
        for name in sorted(files):
            path = os.path.join(top, name)
            out.write(path, path.replace(os.sep, "/"))
EOF
)
echo "package-windows: $zip ($(du -h "$zip" | cut -f1)):"
python3 -m zipfile -l "$zip"

msi=$windows/$name.msi
"$root/scripts/windows-msi.sh" "$stage" "$msi" "$version"
"$root/scripts/sign-windows.sh" "$msi"
