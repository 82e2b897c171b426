#!/usr/bin/env bash
# Builds the Windows installer from packaging/windows/qvbook.wxs with wixl (Debian's
# msitools): a per-user MSI of the programs in FOLDER (qvbook.exe, qvbook-cli.exe, the
# reading dictionary "dic", the manual PDF and THIRD-PARTY-NOTICES.txt, as
# scripts/package-windows.sh lays them out), with the icon of packaging/icons/qvbook.ico. VERSION (x.y.z, each at most 255.255.65535) is the
# installer's product version; a newer one replaces an older one when installed.
#
# usage: scripts/windows-msi.sh FOLDER OUT.msi VERSION
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib/apt-install.sh"
folder=$(cd "$1" && pwd) msi=$(realpath -m "$2") version=$3

fail() { echo "windows-msi: $*" >&2; exit 1; }

[[ $version =~ ^([0-9]+)\.([0-9]+)\.([0-9]+)$ ]] &&
  [ "${BASH_REMATCH[1]}" -le 255 ] && [ "${BASH_REMATCH[2]}" -le 255 ] && [ "${BASH_REMATCH[3]}" -le 65535 ] ||
  fail "the version $version is not x.y.z with x, y <= 255 and z <= 65535, as Windows Installer needs"
manual=("$folder"/*.pdf)
[ ${#manual[@]} -eq 1 ] && [ -f "${manual[0]}" ] || fail "$folder holds no manual PDF, or more than one"
for program in qvbook.exe qvbook-cli.exe dic/sys.dic THIRD-PARTY-NOTICES.txt; do
  [ -f "$folder/$program" ] || fail "$folder holds no $program"
done
install_missing_packages wixl msitools

# wixl reads the files from the folder it runs in; the names of this build come from an
# include file, since wixl takes only ASCII on its command line.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$folder/qvbook.exe" "$folder/qvbook-cli.exe" "$folder/dic" "$folder/THIRD-PARTY-NOTICES.txt" "${manual[0]}" "$root/packaging/icons/qvbook.ico" \
  "$work/"
cat > "$work/payload.wxi" <<EOF
<?xml version="1.0" encoding="utf-8"?>
<Include>
  <?define Version="$version"?>
  <?define Manual="$(basename "${manual[0]}")"?>
</Include>
EOF
# The dictionary's files, whichever the build staged, in one component of their own.
{
  echo '<?xml version="1.0" encoding="utf-8"?>'
  echo '<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi"><Fragment>'
  echo '  <DirectoryRef Id="INSTALLDIR"><Directory Id="DictionaryFolder" Name="dic">'
  echo '    <Component Id="Dictionary" Guid="*" Win64="yes">'
  n=0
  for file in "$folder"/dic/*; do
    name=$(basename "$file") n=$((n + 1))
    # A short name for the 8.3 table where the long one is not one already.
    short="DIC$n.DAT|"
    [[ $name =~ ^[A-Za-z0-9_]{1,8}(\.[A-Za-z0-9_]{1,3})?$ ]] && short=
    echo "      <File Id=\"dic$n\" Name=\"$short$name\" Source=\"dic/$name\"/>"
  done
  echo '      <RegistryValue Root="HKCU" Key="Software\Brightmoor\Velmora-QV\Installed"'
  echo '                     Name="Dictionary" Type="integer" Value="1" KeyPath="yes"/>'
  echo '      <RemoveFolder Id="RemoveDictionaryFolder" On="uninstall"/>'
  echo '    </Component>'
  echo '  </Directory></DirectoryRef>'
  echo '</Fragment></Wix>'
} > "$work/dictionary.wxs"

# Japanese text in the installer's tables. wixl writes strings in the code page of the
# build machine's Windows language (WINDOWS_LANGUAGE, read by libgsf; without it strings
# that code page 1252 cannot hold crash wixl) and marks the tables "neutral". A
# _ForceCodepage import then marks them as code page 932, so that every Windows shows the
# names as written, whatever its own language. The summary's language, fixed at 1033 by
# wixl, becomes Japanese (1041) too.
export WINDOWS_LANGUAGE=ja LC_ALL=C.UTF-8
(cd "$work" && wixl --arch x64 -I "$work" -o "$work/qvbook.msi" "$root/packaging/windows/qvbook.wxs" \
  "$work/dictionary.wxs")
printf '\r\n\r\n932\t_ForceCodepage\r\n' > "$work/_ForceCodepage.idt"
msibuild "$work/qvbook.msi" -i "$work/_ForceCodepage.idt"
summary=$(msiinfo suminfo "$work/qvbook.msi")
field() { sed -n "s/^$1: //p" <<<"$summary"; }
msibuild "$work/qvbook.msi" -s "$(field Subject)" "$(field Author)" "x64;1041" "$(field 'Revision number (UUID)')"

# Read back without the build machine's language: the tables must say 932, and every
# string must be one that code page 932 holds. (Exporting a table writes its binary
# streams into the current folder, hence the work folder.)
unset WINDOWS_LANGUAGE
cd "$work"
[ "$(msiinfo export "$work/qvbook.msi" _ForceCodepage | sed -n 3p | cut -f1)" = 932 ] ||
  fail "the installer's tables are not marked as code page 932"
for table in $(msiinfo tables "$work/qvbook.msi"); do
  msiinfo export "$work/qvbook.msi" "$table" >/dev/null 2>"$work/export.err" || true
  if grep -q "iconv failed" "$work/export.err"; then
    fail "the installer's $table table holds text that code page 932 does not"
  fi
done
mkdir -p "$(dirname "$msi")"
mv "$work/qvbook.msi" "$msi"
echo "windows-msi: $msi ($version, $(du -h "$msi" | cut -f1))"
