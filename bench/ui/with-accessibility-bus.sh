#!/usr/bin/env bash
# Runs a command of the editor with accessibility on as a desktop has it: on the xcb
# platform under Xvfb, with a session bus and at-spi2-core's accessibility bus, and Qt's
# bridge told to stay on without a screen reader (QT_LINUX_ACCESSIBILITY_ALWAYS_ON).
#   bench/ui/with-accessibility-bus.sh build/bench/ui/paste_stall_bench
set -euo pipefail
launcher=/usr/libexec/at-spi-bus-launcher
for tool in xvfb-run dbus-run-session "$launcher"; do
  if ! command -v "$tool" >/dev/null; then
    echo "missing $tool: scripts/install-deps.sh installs xvfb, dbus and at-spi2-core" >&2
    exit 1
  fi
done
exec xvfb-run -a dbus-run-session -- bash -c '
  "$0" --launch-immediately &
  launcher=$!
  trap "kill $launcher" EXIT
  sleep 1
  QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$@"' "$launcher" "$@"
