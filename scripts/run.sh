#!/usr/bin/env bash
# Installs what is missing, builds the release configuration and runs the command-line tool with
# the given arguments (its help when there are none).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
if [ $# -eq 0 ]; then
  set -- --help
fi
exec build/bin/veltrixctl "$@"
