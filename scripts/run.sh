#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor (arguments go to it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
build=${QVBOOK_BUILD_DIR:-$root/build}
if [ -x "$build/src/app/qvbook" ]; then
  exec "$build/src/app/qvbook" "$@"
fi
exec "$build/src/cli/qvbook-cli" --help
