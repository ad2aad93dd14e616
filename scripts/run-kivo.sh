#!/usr/bin/env bash
# Sets up a fresh machine, builds, and starts kivo on its built-in defaults. Without a display it runs
# on Qt's offscreen platform. Extra arguments go to kivo.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh -DORVIA_TESTS=OFF -DORVIA_BENCH=OFF
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
fi
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR=$(mktemp -d)
fi
# kivo reads lang.dbl, and keeps its update files, beside its executable, whatever the current directory.
cd build/bin
exec ./kivo "$@"
