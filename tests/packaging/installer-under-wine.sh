#!/usr/bin/env bash
# The Windows installer under Wine, used as a user uses it (run inside xvfb-run), in a new
# prefix FOLDER/wineprefix whose documents are a folder of its own (not Wine's link home):
#   - msiexec /i OLD /qn installs the programs, the reading dictionary and the manual, the
#     Start-menu shortcut (its Japanese name, the installed qvbook.exe, the icon) and one
#     entry in the installed-programs list (name, version, publisher, icon);
#   - the installed qvbook.exe passes tests/app/editor-under-wine.sh with PHONEBOOK, and the
#     installed qvbook-cli.exe saves PHONEBOOK into the documents;
#   - NEW over it leaves one entry, of NEW's version; OLD over NEW is refused;
#   - msiexec /x removes programs, folder, shortcut, entry and the installer's registry
#     values, and leaves the saved phonebook as it was.
# usage: installer-under-wine.sh FOLDER OLD.msi NEW.msi PHONEBOOK SCREENSHOT
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/lib/wine-prefix.sh"
folder=$1 old_msi=$2 new_msi=$3 phonebook=$4 shot=$5
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
# No offers to install Mono or Gecko, and no menu entries of the host made from the shortcut.
export WINEPREFIX=$folder/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
product="Velmora-QV 電話帳ソフト"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "installer-under-wine: $*" >&2; exit 1; }

version_of() { msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductVersion\t//p'; }
old_version=$(version_of "$old_msi") new_version=$(version_of "$new_msi")
# Wine never asks for administrator rights; Windows does unless the package is per-user (no
# ALLUSERS) and says it needs no elevation (bit 8 of the word count, msiinfo's "Source").
for msi in "$old_msi" "$new_msi"; do
  ! msiinfo export "$msi" Property | grep -q '^ALLUSERS' &&
    [ $(($(msiinfo suminfo "$msi" | sed -n 's/^Source: \([0-9]*\).*/\1/p') & 8)) = 8 ] ||
    fail "$(basename "$msi") asks for administrator rights"
done

rm -rf "$WINEPREFIX" && mkdir -p "$folder"
"$wine" wineboot -i >/dev/null 2>&1 || true
# One wineserver for the whole run (the caller ends it): a server that exits between two
# steps and a program that starts while it does can lose that program's registry read.
"$(wine_server)" -p 2>/dev/null || true
user_dir=$WINEPREFIX/drive_c/users/$(id -un)
for shell_folder in "$user_dir"/*; do
  if [ -L "$shell_folder" ]; then rm "$shell_folder" && mkdir "$shell_folder"; fi
done
programs=$user_dir/AppData/Local/Programs/Velmora-QV
shortcut="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/$product.lnk"

msiexec() {  # msiexec ARGUMENTS...: the status in msiexec_status, the log in $work/msiexec.log
  msiexec_status=0
  "$wine" msiexec "$@" /qn /l*v "Z:$work/msiexec.log" >/dev/null 2>&1 || msiexec_status=$?
  [ "$msiexec_status" = 0 ] || tail -n 20 "$work/msiexec.log" > "$work/msiexec.tail"
}

# reg_strings KEY: the string values under KEY and its subkeys, "subkey<TAB>name<TAB>value",
# in $work/strings; empty for a key that is not there. A key that is there and could not be
# read ends the test (hence a file, not a subshell's output), so that a failed read never
# passes for a missing entry.
reg_strings() {
  rm -f "$work/export.reg" && : > "$work/strings"
  if ! "$wine" reg export "$1" "Z:$work/export.reg" /y >"$work/reg.err" 2>&1; then
    local parent=${1%\\*} name=${1##*\\}
    "$wine" reg query "$parent" 2>/dev/null | tr -d '\r' > "$work/reg.parent" ||
      fail "reading $1 failed, and so did reading $parent: $(cat "$work/reg.err")"
    ! grep -qix ".*\\\\$name" "$work/reg.parent" || fail "$1 is there but could not be read: $(cat "$work/reg.err")"
    return 0
  fi
  iconv -f UTF-16 -t UTF-8 "$work/export.reg" | tr -d '\r' | awk '
    /^\[/ { key = $0; sub(/^.*\\/, "", key); sub(/\]$/, "", key) }
    /^"[^"]*"=".*"$/ { n = index($0, "\"=\""); value = substr($0, n + 3, length($0) - n - 3)
                       gsub(/\\\\/, "\\", value); print key "\t" substr($0, 2, n - 2) "\t" value }' > "$work/strings"
}

# The installed-programs list, "code|name|version|publisher", in $work/programs, from where
# Windows Installer keeps it: the user's hive (Windows, per-user) or the machine's (Wine).
installed_programs() {
  reg_strings 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall'
  mv "$work/strings" "$work/uninstall"
  reg_strings 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
  cat "$work/strings" >> "$work/uninstall"
  awk -F'\t' '
    { v[$1, $2] = $3; codes[$1] }
    END { for (c in codes) if ((c, "DisplayName") in v)
            print c "|" v[c, "DisplayName"] "|" v[c, "DisplayVersion"] "|" v[c, "Publisher"] }' \
    "$work/uninstall" > "$work/programs"
}

exists_on_windows() { [ -s "$("$wine" winepath -u "$1" 2>/dev/null | tr -d '\r')" ]; }

check_installed() {  # check_installed VERSION
  local entry icon
  for file in qvbook.exe qvbook-cli.exe '*.pdf' dic/sys.dic dic/name-parts.tsv; do
    compgen -G "$programs/$file" >/dev/null || fail "$1: no $file in $programs"
  done
  [ -f "$shortcut" ] || fail "$1: no Start-menu shortcut $shortcut"
  { strings -n 4 "$shortcut"; strings -el -n 4 "$shortcut"; } > "$work/shortcut.txt"
  grep -qF '\AppData\Local\Programs\Velmora-QV\qvbook.exe' "$work/shortcut.txt" ||
    fail "$1: the shortcut does not start the installed qvbook.exe"
  icon=$(grep -m1 -o '[A-Z]:\\.*\.ico$' "$work/shortcut.txt") && exists_on_windows "$icon" ||
    fail "$1: the shortcut's icon is not there (${icon:-none named})"
  installed_programs
  entry=$(grep -F "|$product|" "$work/programs" || true)
  [ "$(grep -c . <<<"$entry")" = 1 ] && [[ $entry == *"|$product|$1|Brightmoor" ]] ||
    fail "$1: the installed-programs list should hold one $product $1 of Brightmoor: ${entry:-none}" \
         "(the list: $(tr '\n' ' ' < "$work/programs")); the installer's log ends:" \
         "$(tr -d '\r' < "$work/msiexec.log" | grep -v '^Property' | tail -n 8)"
  reg_strings 'HKCU\Software\Microsoft\Installer\Products'
  icon=$(awk -F'\t' -v p="$product" '
           $2 == "ProductName" && $3 == p { k = $1 } $2 == "ProductIcon" { i[$1] = $3 } END { print i[k] }' "$work/strings")
  exists_on_windows "$icon" || fail "$1: the installed-programs entry has no icon (${icon:-none named})"
  echo "installer-under-wine: $1 installed: programs, manual, shortcut \"$product\" with its icon," \
       "one entry ${entry%%|*} with its version, publisher and icon"
}

msiexec /i "Z:$old_msi"
[ "$msiexec_status" = 0 ] || fail "installing $old_version ended with status $msiexec_status: $(cat "$work/msiexec.tail")"
check_installed "$old_version"
bash "$here/../app/editor-under-wine.sh" "$programs/qvbook.exe" "$phonebook" "$shot"
saved=$user_dir/Documents/phonebook.csv
"$wine" "$programs/qvbook-cli.exe" convert "Z:$phonebook" "Z:$saved" >/dev/null 2>&1 ||
  fail "the installed qvbook-cli.exe did not save the phonebook into the documents"
sha256sum "$saved" > "$work/saved.sha256"

msiexec /i "Z:$new_msi"
[ "$msiexec_status" = 0 ] || fail "installing $new_version over $old_version ended with status $msiexec_status: $(cat "$work/msiexec.tail")"
check_installed "$new_version"
msiexec /i "Z:$old_msi"
[ "$msiexec_status" != 0 ] && check_installed "$new_version" >/dev/null ||
  fail "$old_version was installed over $new_version"
echo "installer-under-wine: $old_version over $new_version refused (status $msiexec_status)"

msiexec /x "Z:$new_msi"
[ "$msiexec_status" = 0 ] || fail "uninstalling ended with status $msiexec_status: $(cat "$work/msiexec.tail")"
[ ! -e "$programs" ] && [ ! -e "$shortcut" ] || fail "uninstalled, yet $programs or the shortcut is still there"
installed_programs
! grep -qF "|$product|" "$work/programs" || fail "uninstalled, yet $product is still in the installed-programs list"
reg_strings 'HKCU\Software\Brightmoor'
[ ! -s "$work/strings" ] || fail "uninstalled, yet the installer's registry values are there"
sha256sum --quiet -c "$work/saved.sha256" || fail "the phonebook saved in the documents changed with the uninstall"
echo "installer-under-wine: uninstalled: programs, shortcut, entry and registry values gone; the saved phonebook kept"
