#!/usr/bin/env bash
# Installs what is missing, builds the release configuration and starts the window, passing on
# its arguments. When no Veltrix receiver or cable is plugged in, the emulated mouse stands in for
# it for the length of the run. Where no display exists (a server, a container), the window runs
# on a virtual display for a few seconds; a screenshot of it is saved and its path printed, with
# what the mouse was sent.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default

pids=()
cleanup() {
  # In reverse order, each waited for: the program saves and finishes sending on SIGTERM, and
  # needs its display and its mouse until it has.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
}
trap cleanup EXIT

# The kernel lists a plugged-in receiver (1d57:fa60) or cable (1d57:fa61) among its HID devices.
emulated=""
if [ -z "${VELTRIX_EMULATOR:-}" ] &&
   ! grep -qsiE '^HID_ID=[0-9a-f]+:0*1D57:0*FA6[01]$' /sys/bus/hid/devices/*/uevent; then
  socket="$(mktemp -u "${TMPDIR:-/tmp}/veltrix-mouse.XXXXXX")"
  build/bin/veltrix-mouse-emulator serve --socket "$socket" >/dev/null &
  pids+=($!)
  for _ in $(seq 50); do [ -S "$socket" ] && break; sleep 0.1; done
  export VELTRIX_EMULATOR="$socket"
  emulated="$socket"
  echo "No Veltrix mouse is plugged in: using the emulated mouse ($socket)." >&2
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  build/bin/veltrix-wireless "$@"
  exit 0
fi

# No display: show it on a virtual one and take its picture.
exec {displayfd}<> <(:)
Xvfb -displayfd "$displayfd" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
read -r -t 10 number <&"$displayfd"
export DISPLAY=":$number" QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
build/bin/veltrix-wireless "$@" &
pids+=($!)
sleep 5
shot="${TMPDIR:-/tmp}/veltrix-wireless-$(date +%Y%m%d-%H%M%S).png"
import -window root "$shot"
echo "There is no display here, so the window ran on a virtual one (DISPLAY=$DISPLAY) for 5 s."
echo "Screenshot: $shot"
if [ -n "$emulated" ]; then
  echo "Feature reports the emulated mouse received:"
  received="$(build/bin/veltrix-mouse-emulator ctl --socket "$emulated" log)"
  echo "${received:-(none: the window sends settings when they are changed)}" | sed 's/^/  /'
  echo "What the emulated mouse reports:"
  build/bin/veltrix-mouse-emulator ctl --socket "$emulated" state |
    grep -E '"(receiver_plugged|cable_plugged|awake|battery_bars|current_profile|bad_frames)"' |
    sed 's/^ */  /'
fi
