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
  # the input hook: X11 and its RECORD extension (libXtst); a private X server, real input and
  # layout switches for its tests
  libx11-dev libxtst-dev xvfb x11-xkb-utils xkb-data
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
