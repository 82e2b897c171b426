#!/usr/bin/env bash
# Checks a built package: lintian finds no error, it holds exactly the files an
# installation holds, its dependencies come from the binaries, and it recommends the
# Japanese Qt translations and a Japanese font.
#   scripts/check-package.sh qvbook_*.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deb=$1

lintian --fail-on error "$deb"

contents=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./||' | LC_ALL=C sort)
expected=$(LC_ALL=C sort "$root/tests/packaging/installed-files.txt")
if [ "$contents" != "$expected" ]; then
  echo "package contents differ from tests/packaging/installed-files.txt (< expected, > package):"
  diff <(echo "$expected") <(echo "$contents") || true
  exit 1
fi

depends=$(dpkg-deb -f "$deb" Depends)
recommends=$(dpkg-deb -f "$deb" Recommends)
for library in libqt6widgets6 libsqlite3 libicu; do
  grep -q "$library" <<< "$depends" || { echo "Depends lacks $library: $depends"; exit 1; }
done
for package in qt6-translations-l10n fonts-ipafont-gothic; do
  grep -q "$package" <<< "$recommends" || { echo "Recommends lacks $package: $recommends"; exit 1; }
done
echo "package checked: $(wc -l <<< "$contents") files; Depends: $depends"
