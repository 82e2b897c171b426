#!/usr/bin/env bash
# Installs the build into a scratch folder (DESTDIR, prefix /usr) and checks that exactly
# the expected files land there, that the programs run from there, and that the desktop
# entry and the software-centre description validate where they were installed.
#   check-install.sh BUILD_DIR EXPECTED_LIST
set -euo pipefail
build=$1
expected=$2
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

DESTDIR=$stage cmake --install "$build" --prefix /usr > "$stage.log" 2>&1 || { cat "$stage.log"; rm -f "$stage.log"; exit 1; }
rm -f "$stage.log"

actual=$(cd "$stage" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
wanted=$(LC_ALL=C sort "$expected")
if [ "$actual" != "$wanted" ]; then
  echo "installed files differ from $expected (< expected, > installed):"
  diff <(echo "$wanted") <(echo "$actual") || true
  exit 1
fi

for program in qvbook qvbook-cli qvbook-handset; do
  [ -x "$stage/usr/bin/$program" ] || { echo "$program is not executable"; exit 1; }
done
"$stage/usr/bin/qvbook-cli" --help | grep -q 'qvbook-cli download' || { echo "installed qvbook-cli does not run"; exit 1; }
"$stage/usr/bin/qvbook-handset" --help | grep -q 'usage: qvbook-handset' || { echo "installed qvbook-handset does not run"; exit 1; }

# The handset's rule must come before systemd's 73-seat-late.rules, which applies uaccess.
rule=$(basename "$stage"/usr/lib/udev/rules.d/*.rules)
if [[ ! "$rule" < "73-seat-late.rules" ]]; then
  echo "$rule sorts after 73-seat-late.rules: uaccess would never be applied"
  exit 1
fi

desktop-file-validate "$stage"/usr/share/applications/*.desktop
appstreamcli validate --no-net --pedantic "$stage"/usr/share/metainfo/*.metainfo.xml > /dev/null
# The desktop entry's icon must exist in every installed size.
icon=$(sed -n 's/^Icon=//p' "$stage"/usr/share/applications/*.desktop)
[ -n "$(find "$stage/usr/share/icons/hicolor" -name "$icon.*")" ] || { echo "icon $icon is not installed"; exit 1; }
echo "installation complete: $(echo "$actual" | wc -l) files"
