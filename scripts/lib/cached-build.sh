# For the scripts that build a Windows library once per machine into a cache folder
# (scripts/qt-windows.sh, scripts/mecab-windows.sh):
#   . "$root/scripts/lib/cached-build.sh"
#   claim_cached_build PREFIX [--where]
# When PREFIX/.complete is there, prints PREFIX and ends the script with status 0; with
# --where and no complete build, prints PREFIX and ends it with status 1. Otherwise takes
# the build's lock (a second run waits here, then finds the build complete) and returns.
claim_cached_build() {
  local prefix=$1 mode=${2:-}
  if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
  fi
  if [ "$mode" = --where ]; then
    echo "$prefix"
    exit 1
  fi
  mkdir -p "$(dirname "$prefix")"
  exec 9>"$prefix.lock"
  flock 9
  if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
  fi
}
