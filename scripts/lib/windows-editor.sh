# The Windows editor build: qvbook.exe and what comes with it, cross-built with the Qt for
# Windows of scripts/qt-windows.sh. Sourced by scripts/test-windows-editor.sh and
# scripts/package-windows.sh after they set root (the checkout); sets windows, the folder
# of the Windows builds (build/windows, or under QVBOOK_BUILD_DIR), and jobs.
#
#   find_qt_for_windows [--build-qt]   sets qt_prefix; returns 1 when that Qt is not built
#                                      and --build-qt does not ask for it
#   configure_windows_editor BUILD [CMAKE OPTIONS...]
#   windows_version BUILD              prints the version (x.y.z) BUILD was configured with
#   stage_windows_programs BUILD FOLDER   FOLDER (made anew) gets what a user installs:
#                                      qvbook.exe and qvbook-cli.exe, stripped, the
#                                      reading dictionary "dic", the manual PDF and the
#                                      third-party notices

. "$root/scripts/lib/third-party-notices.sh"

windows=${QVBOOK_BUILD_DIR:-$root/build}/windows
jobs=${QVBOOK_JOBS:-2}

find_qt_for_windows() {
  if qt_prefix=$("$root/scripts/qt-windows.sh" --where); then
    return 0
  fi
  if [ "${1:-}" = --build-qt ]; then
    qt_prefix=$("$root/scripts/qt-windows.sh" | tail -n 1)
    return 0
  fi
  return 1
}

configure_windows_editor() {
  local build=$1
  shift
  "$root/scripts/cross-deps.sh" "$windows/deps"
  install_missing_packages qt6-translations-l10n fonts-ipafont-gothic ninja-build
  cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$qt_prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" \
    -DQVBOOK_WINDOWS_DEPS="$windows/deps/prefix" -DQVBOOK_WINE_RUNNER="$root/scripts/wine-run.sh" \
    -DQVBOOK_GUI=ON -DQVBOOK_BENCH=OFF "$@" >/dev/null
}

windows_version() {
  sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt"
}

stage_windows_programs() {
  local build=$1 folder=$2 manual
  rm -rf "$folder" && mkdir -p "$folder"
  x86_64-w64-mingw32-strip -o "$folder/qvbook.exe" "$build/src/app/qvbook.exe"
  x86_64-w64-mingw32-strip -o "$folder/qvbook-cli.exe" "$build/src/cli/qvbook-cli.exe"
  manual=("$build"/src/app/*.pdf)  # the renderer writes it beside the editor
  if [ ! -f "${manual[0]}" ]; then
    echo "$(basename "$0"): the manual was not rendered in $build" >&2
    return 1
  fi
  cp "${manual[0]}" "$folder/"
  # The reading dictionary, as the build staged it (the programs look for "dic" beside them).
  mkdir -p "$folder/dic" && cp "$build/dic"/* "$folder/dic/"
  write_third_party_notices "$folder/THIRD-PARTY-NOTICES.txt"
}
