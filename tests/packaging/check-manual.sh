#!/usr/bin/env bash
# Checks the rendered manual: that every font is embedded, and that its text comes back
# out with the Japanese chapter headings intact, each opening a page. The page count itself
# follows the text and the fonts, so it is only checked against the number of chapters.
#   check-manual.sh MANUAL.pdf MANUAL.md
set -euo pipefail
pdf=$1
source=$2

pages=$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')
chapters=$(grep -c '^# ' "$source")
if [ "${pages:-0}" -lt "$chapters" ]; then
  echo "the manual has ${pages:-no} pages for $chapters chapters"
  exit 1
fi

if pdffonts "$pdf" | tail -n +3 | awk '{ if ($(NF-4) != "yes") bad = 1 } END { exit !bad }'; then
  echo "fonts not embedded:"
  pdffonts "$pdf"
  exit 1
fi

# The first line of every page, and the chapter headings of the source.
# Each page's text is taken whole before its first line is picked: a reader that stops early
# would leave the writer to die of SIGPIPE, which pipefail turns into a failed check.
page_tops=$(for ((p = 1; p <= pages; p++)); do
  page=$(pdftotext -enc UTF-8 -f "$p" -l "$p" "$pdf" -)
  awk 'NF { print; exit }' <<< "$page"
done)
status=0
while IFS= read -r heading; do
  if ! grep -qxF "$heading" <<< "$page_tops"; then
    echo "chapter heading missing or not at the top of a page: $heading"
    status=1
  fi
done < <(sed -n 's/^# //p' "$source")
[ "$status" = 0 ] && echo "manual: $pages pages, all chapter headings found"
exit "$status"
