# Fetches and unpacks Debian source packages through a private sources list, so that the
# machine's apt configuration stays untouched. The deb-src lines are made from the Debian
# archives the machine already installs from (its release's suites in
# /etc/apt/sources.list.d/*.sources and /etc/apt/sources.list); nothing else is assumed.
#
# Sourced by the scripts that build Windows libraries from Debian's own sources:
#   . "$root/scripts/lib/debian-source.sh"
#   fetch_debian_source PACKAGE[=VERSION] WORK     unpacks into WORK/src

# The release's codename (bookworm): only its suites (bookworm, bookworm-updates,
# bookworm-security) are Debian archives that carry this release's sources.
debian_codename() {
  (. /etc/os-release && echo "${VERSION_CODENAME:-}")
}

# One "deb-src [signed-by=KEY] URI SUITE main" line per archive and suite of this release
# that the machine's apt configuration names for binary packages.
debian_source_lines() {
  local codename
  codename=$(debian_codename)
  [ -n "$codename" ] || return 0
  local etc=${QVBOOK_APT_ETC:-/etc/apt}  # another folder only to try this out
  local deb822=("$etc"/sources.list.d/*.sources) one_line=("$etc"/sources.list "$etc"/sources.list.d/*.list)
  # deb822 stanzas: blank lines separate them; keys are case-insensitive; an inline key
  # block (Signed-By followed by indented lines) is left to apt's own keyrings.
  for file in "${deb822[@]}"; do
    [ -f "$file" ] || continue
    awk -v codename="$codename" '
      function flush(   n, u, s, i, j, uris, suites, key) {
        if (types ~ /(^| )deb( |$)/ && comps ~ /(^| )main( |$)/ && enabled != "no") {
          key = signed ~ /^\// ? "[signed-by=" signed "] " : ""
          n = split(uri_list, uris, " "); s = split(suite_list, suites, " ")
          for (i = 1; i <= n; i++) for (j = 1; j <= s; j++)
            if (suites[j] == codename || index(suites[j], codename "-") == 1)
              print "deb-src " key uris[i] " " suites[j] " main"
        }
        types = uri_list = suite_list = comps = signed = enabled = ""
      }
      /^[ \t]*$/ { flush(); next }
      /^#/ || /^[ \t]/ { next }
      {
        field = tolower($1); sub(/:$/, "", field); value = $0; sub(/^[^:]*:[ \t]*/, "", value)
        if (field == "types") types = value
        else if (field == "uris") uri_list = value
        else if (field == "suites") suite_list = value
        else if (field == "components") comps = value
        else if (field == "signed-by") signed = value
        else if (field == "enabled") enabled = tolower(value)
      }
      END { flush() }' "$file"
  done
  # One-line form: deb [options] URI SUITE COMPONENT...
  for file in "${one_line[@]}"; do
    [ -f "$file" ] || continue
    awk -v codename="$codename" '
      $1 == "deb" {
        i = 2; key = ""
        if ($i ~ /^\[/) {
          for (; i <= NF; i++) {
            if (match($i, /signed-by=[^] ]+/)) key = "[" substr($i, RSTART, RLENGTH) "] "
            if ($i ~ /\]$/) { i++; break }
          }
        }
        uri = $i; suite = $(i + 1); main = 0
        for (j = i + 2; j <= NF; j++) if ($j == "main") main = 1
        if (main && (suite == codename || index(suite, codename "-") == 1))
          print "deb-src " key uri " " suite " main"
      }' "$file"
  done
}

# Downloads PACKAGE (optionally =VERSION) and unpacks it with Debian's patches applied into
# WORK/src; does nothing when WORK/src is there. apt checks the downloaded files against
# the archive's signed index.
fetch_debian_source() {
  local package=$1 work=$2
  [ -d "$work/src" ] && return 0
  local lines
  lines=$(debian_source_lines | sort -u)
  if [ -z "$lines" ]; then
    local etc=${QVBOOK_APT_ETC:-/etc/apt}
    echo "no Debian archive for release '$(debian_codename)' is named in $etc/sources.list" \
         "or $etc/sources.list.d/*.sources (main component): add the archive apt installs" \
         "from there, then run this again" >&2
    return 1
  fi
  echo "$(basename "$0"): fetching Debian's $package source package"
  mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial" "$work/download"
  echo "$lines" > "$work/apt/sources.list"
  local apt_private=(-o "Dir::Etc::SourceList=$work/apt/sources.list" -o "Dir::Etc::SourceParts=/dev/null"
                     -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache"
                     -o "APT::Sandbox::User=root")
  apt-get -qq "${apt_private[@]}" update
  (cd "$work/download" && apt-get -qq "${apt_private[@]}" source --download-only "$package")
  rm -rf "$work/src.partial"
  local dsc
  dsc=$(ls "$work"/download/"${package%%=*}"_*.dsc | head -n1)
  dpkg-source --no-check -x "$dsc" "$work/src.partial" >/dev/null
  mv "$work/src.partial" "$work/src"
}
