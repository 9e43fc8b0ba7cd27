#!/usr/bin/env bash
# Installs what is missing, builds and starts Quillon.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/tools/install-deps.sh"
bash "$here/tools/build.sh" -DQUILLON_BUILD_TESTS=OFF -DQUILLON_BUILD_BENCH=OFF
program="${QUILLON_BUILD_DIR:-$here/build}/bin/quillon"
if [ ! -x "$program" ]; then
  echo "The build did not produce $program." >&2
  exit 1
fi
exec "$program"
