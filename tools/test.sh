#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/tools/install-deps.sh"
bash "$here/tools/build.sh" -DQUILLON_BUILD_TESTS=ON
build="${QUILLON_BUILD_DIR:-$here/build}"
export QT_QPA_PLATFORM=offscreen
cd "$build"
# A private session bus for the tests that talk D-Bus.
exec dbus-run-session -- ctest --output-on-failure --parallel "$(nproc)" --timeout 600
