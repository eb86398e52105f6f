#!/usr/bin/env bash
# Installs what is missing, builds, registers the Linux stand-ins for this user, and starts Papyrant.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup-deps.sh"
"$root/scripts/build.sh" "$root/build"
bin=$root/build/bin
"$bin/papyrant-platform" setup
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found; run it under a virtual one: xvfb-run -a $bin/papyrant"
    exit 1
fi
exec "$bin/papyrant" "$@"
