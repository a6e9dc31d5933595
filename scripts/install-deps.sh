#!/usr/bin/env bash
# Installs every Debian package the project builds, tests or runs with. Safe to run again: packages
# that are already present are skipped, and apt is only asked when something is missing.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config clang-format
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # device access: hidraw through hidapi, arrival and removal through libudev
  libhidapi-dev libudev-dev
  # the window: Qt 6 Widgets (the layouts are read with Qt Core's XML reader), SVG images
  qt6-base-dev qt6-svg-dev libqt6svg6 fonts-dejavu-core
  # Qt's own texts (file dialogs, standard buttons) in the user's language; the window native on
  # Wayland desktops
  qt6-translations-l10n qt6-wayland
  # end-to-end tests of the window: a virtual display with a notification area, a private
  # session bus with the accessibility bus, and a screen reader's view of the program
  xvfb xauth x11-utils xdotool imagemagick trayer dbus at-spi2-core python3-pyatspi gir1.2-atspi-2.0
  # packaging: icons rendered at build time, the .deb and its dependencies, the install checks
  librsvg2-bin dpkg-dev file desktop-file-utils appstream man-db lintian
  # end-to-end tests: a stand-in for the desktop's notification service on the private bus
  python3-gi
  # scripts/bench.sh: the window on a private display, found once it is mapped
  python3
  # the input hook: X11 and its RECORD extension (libXtst); a private X server, real input and
  # layout switches for its tests
  libx11-dev libxtst-dev x11-xkb-utils xkb-data
  # the notice against a real window manager, and the window on a headless Wayland compositor
  # with XWayland
  openbox sway xwayland
  # fuzzing (scripts/fuzz.sh): clang and its libFuzzer and sanitizer runtimes
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
