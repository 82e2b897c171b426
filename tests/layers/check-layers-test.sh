#!/usr/bin/env bash
# scripts/check-layers.sh over a small tree of its own: an include up the arrows, a Qt
# header in the core and a system test outside src/platform each give a line naming the
# file and the rule and exit 1, also when the include is indented, spaced after its "#" or
# written as a relative path (which is refused in itself); so does a dialog included by the
# document and a file format by the ui helpers; includes along the arrows pass.
set -euo pipefail
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree"/src/{view,doc,phonebook,files,app,ui}
printf '#include "doc/UtilityDoc.h"\n#include "ui/QtText.h"\n#include "files/ui/ImportSelectDialog.h"\n' \
  > "$tree/src/view/Good.cpp"
printf '#include "comm/ui/WaitNotice.h"\n#include "files/ui/ImportSelectDialog.h"\n#include "files/CsvFile.h"\n' \
  > "$tree/src/doc/Dialogs.cpp"
printf '#include "files/FailureText.h"\n#include "phonebook/DbPhoneCtrl.h"\n' > "$tree/src/ui/Formats.cpp"
printf '#include "phonebook/DbPhoneCtrl.h"\n' > "$tree/src/files/Good.cpp"
printf '#include "app/MainFrame.h"\n' > "$tree/src/doc/UpTheArrows.cpp"
printf '// store\n#include "../app/MainFrame.h"\n' > "$tree/src/doc/Relative.cpp"
printf '#ifdef QVBOOK_CHECK\n  #include "view/UtilityView.h"\n#endif\n' > "$tree/src/doc/Indented.cpp"
printf '#include "files/CsvFile.h"\n' > "$tree/src/phonebook/SideWays.cpp"
printf '// store\n#include <QString>\n' > "$tree/src/phonebook/Qt.h"
printf '#  include <QString>\n' > "$tree/src/phonebook/Spaced.h"
printf '#ifdef _WIN32\n#endif\n' > "$tree/src/app/System.cpp"

doc_may="doc ui strings platform phonebook files comm readings backup"
expected="src/app/System.cpp:1: tests the system it is built for, which only src/platform does
src/doc/Dialogs.cpp:1: includes comm/ui/WaitNotice.h, but doc may include only: $doc_may
src/doc/Dialogs.cpp:2: includes files/ui/ImportSelectDialog.h, but doc may include only: $doc_may
src/doc/Indented.cpp:2: includes view/UtilityView.h, but doc may include only: $doc_may
src/doc/Relative.cpp:2: names a header by a relative path; write it from src/: app/MainFrame.h
src/doc/Relative.cpp:2: includes app/MainFrame.h, but doc may include only: $doc_may
src/doc/UpTheArrows.cpp:1: includes app/MainFrame.h, but doc may include only: $doc_may
src/phonebook/Qt.h:2: includes a Qt header, but phonebook is plain C++ without Qt
src/phonebook/SideWays.cpp:1: includes files/CsvFile.h, but phonebook may include only: phonebook platform strings
src/phonebook/Spaced.h:1: includes a Qt header, but phonebook is plain C++ without Qt
src/ui/Formats.cpp:1: includes files/FailureText.h, but ui may include only: ui strings platform phonebook comm readings"
status=0
actual=$(bash "$check" "$tree") || status=$?
if [ "$status" -ne 1 ] || [ "$actual" != "$expected" ]; then
  echo "exit $status; expected 1 and:"
  echo "$expected"
  echo "got:"
  echo "$actual"
  exit 1
fi
echo "the check refused each include against the layout"
