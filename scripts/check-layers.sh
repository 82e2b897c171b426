#!/usr/bin/env bash
# Checks the #include lines of src/ and tools/ against the arrows of the layout: each folder
# may include only its own headers and those of the folders below it; the core (no Qt)
# includes no Qt header; only src/platform tests which system it is built for. The
# document shows no dialog (no files/ui, no comm/ui: its view provides them), and the
# helpers of src/ui know no file format. Headers are
# named from src/ ("doc/UtilityDoc.h"): a relative path is refused, and checked where it
# leads. A directive is read however it is indented or spaced after its "#".
# Prints one line per broken rule, naming the file, the line and the rule, and exits 1.
#   scripts/check-layers.sh [ROOT]        (ROOT: the checkout, default: this one)
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

core="strings platform phonebook files comm readings backup"
# The folders each part may include, its own included.
declare -A allowed=(
  [strings]="strings"
  [platform]="platform"
  [phonebook]="phonebook platform strings"
  [files]="files phonebook platform strings"
  [comm]="comm phonebook platform strings"
  [readings]="readings phonebook platform strings"
  [backup]="backup files phonebook platform strings"
  [cli]="cli $core"
  [handset]="$core"
  [ui]="ui strings platform phonebook comm readings"
  [files/ui]="files/ui ui $core"
  [comm/ui]="comm/ui ui $core"
  [backup/ui]="backup/ui ui $core"
  [doc]="doc ui $core"
  [view]="view doc comm/ui files/ui backup/ui ui $core"
  [app]="app view doc comm/ui files/ui backup/ui ui $core"
)
qt_free="strings platform phonebook files comm readings backup cli handset"

# The part a source file or an included header belongs to: its folder under src/, with
# files/ui, comm/ui and backup/ui parts of their own.
part_of() {
  local path=$1
  path=${path#src/}
  path=${path#tools/}
  case $path in
    files/ui/*) echo files/ui ;;
    comm/ui/*) echo comm/ui ;;
    backup/ui/*) echo backup/ui ;;
    */*) echo "${path%%/*}" ;;
    *) echo "" ;;
  esac
}

# The path `header`, included by `file`, made whole from the file's folder ("src/doc" and
# "../app/MainFrame.h" give "src/app/MainFrame.h").
resolve() {
  local path="${1%/*}/$2" part
  local -a parts=()
  IFS=/ read -ra pieces <<< "$path"
  for part in "${pieces[@]}"; do
    case $part in
      ''|.) ;;
      ..) [ ${#parts[@]} -eq 0 ] || parts=("${parts[@]:0:${#parts[@]}-1}") ;;
      *) parts+=("$part") ;;
    esac
  done
  (IFS=/; echo "${parts[*]}")
}

status=0
complain() {
  echo "$1"
  status=1
}

# A directive however it is spaced: "#include", "  #include", "#  include".
directive='^[[:space:]]*#[[:space:]]*([a-z]+)[[:space:]]*(.*)$'
while IFS= read -r file; do
  part=$(part_of "$file")
  [ -n "$part" ] && [ -n "${allowed[$part]+x}" ] || continue
  line_number=0
  while IFS= read -r line; do
    line_number=$((line_number + 1))
    [[ $line == *'#'* && $line =~ $directive ]] || continue
    keyword=${BASH_REMATCH[1]}
    rest=${BASH_REMATCH[2]}
    case $keyword in
      include)
        if [[ $rest =~ ^\"([^\"]*)\" ]]; then
          header=${BASH_REMATCH[1]}
          if [[ /$header == */./* || /$header == */../* ]]; then
            header=$(resolve "$file" "$header")
            complain "$file:$line_number: names a header by a relative path; write it from src/: ${header#src/}"
          else
            header=src/$header
          fi
          target=$(part_of "$header")
          if [ -n "$target" ] && [ -n "${allowed[$target]+x}" ] &&
             [[ " ${allowed[$part]} " != *" $target "* ]]; then
            complain "$file:$line_number: includes ${header#src/}, but $part may include only: ${allowed[$part]}"
          fi
        elif [[ $rest == '<Q'* && " $qt_free " == *" $part "* ]]; then
          complain "$file:$line_number: includes a Qt header, but $part is plain C++ without Qt"
        fi ;;
      if|ifdef|ifndef|elif)
        if [[ $rest == *WIN32* || $rest == *__linux__* || $rest == *__APPLE__* ]] &&
           [ "$part" != platform ]; then
          complain "$file:$line_number: tests the system it is built for, which only src/platform does"
        fi ;;
    esac
  done < "$file"
done < <(for folder in src tools; do [ -d "$folder" ] && find "$folder" -name '*.h' -o -name '*.cpp'; done | LC_ALL=C sort)

if [ $status -eq 0 ]; then echo "check-layers: every #include follows the layout"; fi
exit $status
