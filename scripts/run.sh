#!/usr/bin/env bash
# Installs what is missing, builds the release configuration and runs the command-line tool with
# the given arguments (`status` when there are none). When no Veltrix receiver or cable is plugged
# in, the emulated mouse stands in for it for the length of the run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
[ $# -eq 0 ] && set -- status

# The kernel lists a plugged-in receiver (1d57:fa60) or cable (1d57:fa61) among its HID devices.
if [ -z "${VELTRIX_EMULATOR:-}" ] &&
   ! grep -qsiE '^HID_ID=[0-9a-f]+:0*1D57:0*FA6[01]$' /sys/bus/hid/devices/*/uevent; then
  socket="$(mktemp -u "${TMPDIR:-/tmp}/veltrix-mouse.XXXXXX")"
  build/bin/veltrix-mouse-emulator serve --socket "$socket" >/dev/null &
  emulator=$!
  trap 'kill "$emulator" 2>/dev/null; wait "$emulator" 2>/dev/null || true' EXIT
  for _ in $(seq 50); do [ -S "$socket" ] && break; sleep 0.1; done
  export VELTRIX_EMULATOR="$socket"
  echo "No Veltrix mouse is plugged in: using the emulated mouse ($socket)." >&2
fi
build/bin/veltrixctl "$@"
