# The notices of what the Windows programs carry besides our own code: Qt and the
# libraries it bundles (linked statically), SQLite and MeCab (cross-built from Debian's
# sources, linked statically), the MinGW-w64 runtime, the IPADIC dictionary in "dic", and
# the dictionaries the learned name tables come from (IPADIC, JUMAN's dictionary,
# ENAMDICT). Each is the Debian package's own copyright file, as installed on this machine.
# Sourced by scripts/lib/windows-editor.sh.
#
#   write_third_party_notices OUT    writes them, with a heading each, to OUT (CRLF lines)

third_party_packages=(libqt6core6 libsqlite3-0 libmecab2 mingw-w64-x86-64-dev mecab-ipadic
                      mecab-jumandic-utf8 enamdict)

write_third_party_notices() {
  local out=$1 package file
  {
    echo "Velmora-QV 電話帳ソフト: third-party software and data"
    echo
    echo "The programs contain the software below, and the folder \"dic\" holds the IPADIC"
    echo "dictionary and tables of name readings learned from IPADIC, from JUMAN's dictionary"
    echo "and from ENAMDICT. ENAMDICT is the property of the Electronic Dictionary Research and"
    echo "Development Group (EDRDG) and is used in conformance with the Group's licence, whose"
    echo "statement stands in the enamdict notice below; the table dic/name-readings.tsv, which"
    echo "incorporates data from it, is available under the same Creative Commons"
    echo "Attribution-ShareAlike licence. Each notice below is the copyright statement of the"
    echo "Debian package that the component was built or taken from."
    for package in "${third_party_packages[@]}"; do
      file=/usr/share/doc/$package/copyright
      if [ ! -f "$file" ]; then
        echo "third-party-notices: no $file (install $package)" >&2
        return 1
      fi
      echo
      echo "=============================================================================="
      echo "$package ($(dpkg-query -W -f='${Version}' "$package"))"
      echo "=============================================================================="
      cat "$file"
    done
  } | sed 's/\r*$/\r/' > "$out"
}
