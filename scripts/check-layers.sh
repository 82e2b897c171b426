#!/usr/bin/env bash
# Checks the #include lines of src/ and tools/ against the arrows of the layout: each folder
# may include only its own headers and those of the folders below it; the core (no Qt)
# includes no Qt header; only src/platform tests which system it is built for.
# Prints one line per broken rule, naming the file, the line and the rule, and exits 1.
#   scripts/check-layers.sh [ROOT]        (ROOT: the checkout, default: this one)
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

core="strings platform phonebook files comm readings"
# The folders each part may include, its own included.
declare -A allowed=(
  [strings]="strings"
  [platform]="platform"
  [phonebook]="phonebook platform strings"
  [files]="files phonebook platform strings"
  [comm]="comm phonebook platform strings"
  [readings]="readings phonebook platform strings"
  [cli]="cli $core"
  [handset]="$core"
  [ui]="ui $core"
  [files/ui]="files/ui ui $core"
  [comm/ui]="comm/ui ui $core"
  [doc]="doc comm/ui files/ui ui $core"
  [view]="view doc comm/ui files/ui ui $core"
  [app]="app view doc comm/ui files/ui ui $core"
)
qt_free="strings platform phonebook files comm readings cli handset"

# The part a source file or an included header belongs to: its folder under src/, with
# files/ui and comm/ui parts of their own.
part_of() {
  local path=$1
  path=${path#src/}
  path=${path#tools/}
  case $path in
    files/ui/*) echo files/ui ;;
    comm/ui/*) echo comm/ui ;;
    */*) echo "${path%%/*}" ;;
    *) echo "" ;;
  esac
}

status=0
complain() {
  echo "$1"
  status=1
}

while IFS= read -r file; do
  part=$(part_of "$file")
  [ -n "$part" ] && [ -n "${allowed[$part]+x}" ] || continue
  line_number=0
  while IFS= read -r line; do
    line_number=$((line_number + 1))
    case $line in
      '#include "'*)
        header=${line#\#include \"}
        header=${header%%\"*}
        target=$(part_of "src/$header")
        [ -n "$target" ] && [ -n "${allowed[$target]+x}" ] || continue
        if [[ " ${allowed[$part]} " != *" $target "* ]]; then
          complain "$file:$line_number: includes $header, but $part may include only: ${allowed[$part]}"
        fi ;;
      '#include <Q'*)
        if [[ " $qt_free " == *" $part "* ]]; then
          complain "$file:$line_number: includes a Qt header, but $part is plain C++ without Qt"
        fi ;;
      '#if'*_WIN32*|'#if'*__linux__*|'#if'*__APPLE__*|'#ifdef'*WIN32*)
        if [ "$part" != platform ]; then
          complain "$file:$line_number: tests the system it is built for, which only src/platform does"
        fi ;;
    esac
  done < "$file"
done < <(for folder in src tools; do [ -d "$folder" ] && find "$folder" -name '*.h' -o -name '*.cpp'; done | LC_ALL=C sort)

if [ $status -eq 0 ]; then echo "check-layers: every #include follows the layout"; fi
exit $status
