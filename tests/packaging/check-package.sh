#!/usr/bin/env bash
# Installs the project into a temporary tree, either with `cmake --install` or by building the
# Debian package and unpacking it, then checks that the tree holds every file a desktop install
# needs, that they validate, and that the installed tools find their plugins from where they lie.
#
# usage: check-package.sh install|deb BUILD_DIR SOURCE_DIR HAS_GUI HAS_HOOK
set -euo pipefail
mode=$1 build=$2 source=$3 has_gui=$4 has_hook=$5

work=$(mktemp -d "${TMPDIR:-/tmp}/veltrix-package.XXXXXX")
emulator=""
cleanup() {
  [ -n "$emulator" ] && { kill "$emulator" 2>/dev/null; wait "$emulator" 2>/dev/null || true; }
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The metainfo's screenshots are taken by a step of their own (the real window on a virtual
# display), which installing and packaging then pick up.
if [ "$has_gui" = 1 ]; then
  cmake --build "$build" --target veltrix_screenshots >"$work/screenshots.log" 2>&1 ||
    fail "the screenshots could not be taken: $(tail -5 "$work/screenshots.log")"
fi

case $mode in
  install)
    cmake --install "$build" --prefix "$work/prefix" >/dev/null
    root=$work/prefix
    ;;
  deb)
    (cd "$build" && cpack -G DEB -B "$work/deb" >/dev/null)
    deb=$(echo "$work"/deb/veltrix-wireless_*.deb)
    [ -f "$deb" ] || { echo "FAIL: no package in $work/deb" >&2; exit 1; }
    field() { dpkg-deb -f "$deb" "$1"; }
    [ "$(field Package)" = veltrix-wireless ] || fail "package name $(field Package)"
    [ "$(field Section)" = utils ] || fail "section $(field Section)"
    for dep in libc6 libstdc++6 libhidapi-hidraw0 libudev1; do
      field Depends | grep -q "\b$dep\b" || fail "Depends lacks $dep: $(field Depends)"
    done
    if [ "$has_gui" = 1 ]; then
      field Depends | grep -q 'libqt6widgets6' || fail "Depends lacks Qt: $(field Depends)"
      # The layouts are read without Qt UiTools, which would bring Qt Quick, QML and OpenGL along.
      ! field Depends | grep -Eq 'libqt6(uitools|qml|quick|opengl)' ||
        fail "Depends holds Qt libraries the window does not use: $(field Depends)"
      field Recommends | grep -q '\bqt6-wayland\b' ||
        fail "Recommends lacks Qt's Wayland platform: $(field Recommends)"
    fi
    # Everything lies under /usr, the prefix of a packaged program.
    outside=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '^\./usr/' | grep -v '^\./$' || true)
    [ -z "$outside" ] || fail "files outside /usr: $outside"
    # Debian's own checks of a package: no error and no warning.
    out=$(lintian --fail-on error,warning --no-tag-display-limit "$deb" 2>&1) ||
      fail "lintian: $out"
    dpkg -x "$deb" "$work/root"
    root=$work/root/usr
    ;;
  *) echo "usage: $0 install|deb BUILD_DIR SOURCE_DIR HAS_GUI HAS_HOOK" >&2; exit 2 ;;
esac

# The layout. Optional parts are expected when what makes them is there.
expected=(
  bin/veltrixctl
  lib/veltrix-wireless/hiddriver_1.so
  lib/veltrix-wireless/hiddriver_2.so
  lib/udev/rules.d/70-veltrix-wireless.rules
  share/applications/io.veltrix.Wireless.desktop
  share/metainfo/io.veltrix.Wireless.metainfo.xml
  share/man/man1/veltrixctl.1.gz
  share/man/man1/veltrix-wireless.1.gz
  share/man/man1/veltrix-mouse-emulator.1.gz
  share/doc/veltrix-wireless/copyright
  share/doc/veltrix-wireless/changelog.gz
)
[ "$has_gui" = 1 ] && expected+=(bin/veltrix-wireless share/veltrix-wireless/screenshots/buttons.png
                                 share/veltrix-wireless/screenshots/dpi.png)
[ "$has_hook" = 1 ] && expected+=(lib/veltrix-wireless/Hook.so)
[ -d "$source/res" ] && expected+=(share/veltrix-wireless/res)
if [ -f "$source/res/images/veltrix-wireless.svg" ]; then
  expected+=(share/icons/hicolor/scalable/apps/veltrix-wireless.svg)
  if command -v rsvg-convert >/dev/null; then
    expected+=(share/icons/hicolor/48x48/apps/veltrix-wireless.png
               share/icons/hicolor/256x256/apps/veltrix-wireless.png)
  fi
fi
for file in "${expected[@]}"; do
  [ -e "$root/$file" ] || fail "missing $file"
done
for size in 48 256; do
  png=$root/share/icons/hicolor/${size}x${size}/apps/veltrix-wireless.png
  [ -f "$png" ] || continue
  file -b "$png" | grep -q "PNG image data, $size x $size" || fail "$png: $(file -b "$png")"
done

# The desktop entry and the metainfo validate; the metainfo launches the desktop entry.
out=$(desktop-file-validate "$root/share/applications/io.veltrix.Wireless.desktop" 2>&1) ||
  fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net "$root/share/metainfo/io.veltrix.Wireless.metainfo.xml" 2>&1) ||
  fail "appstreamcli validate: $out"
grep -q '<launchable type="desktop-id">io.veltrix.Wireless.desktop</launchable>' \
  "$root/share/metainfo/io.veltrix.Wireless.metainfo.xml" || fail "metainfo does not launch the desktop entry"
for id in FA60 FA61; do
  grep -q "<modalias>usb:v1D57p${id}d\*</modalias>" "$root/share/metainfo/io.veltrix.Wireless.metainfo.xml" ||
    fail "metainfo does not provide the modalias of 1d57:$id"
done

# The udev rule: every line parses, and a rule tags the hidraw node of each id for the seat user.
rules=$root/lib/udev/rules.d/70-veltrix-wireless.rules
if command -v udevadm >/dev/null && udevadm verify --help >/dev/null 2>&1; then
  out=$(udevadm verify "$rules" 2>&1) || fail "udevadm verify: $out"
fi
token='[A-Z_]+(\{[A-Za-z0-9_]+\})?(==|!=|=|\+=|-=|:=)"[^"]*"'
while IFS= read -r line; do
  [[ -z $line || $line == \#* ]] && continue
  [[ $line =~ ^$token(,[[:space:]]*$token)*$ ]] || fail "udev rule does not parse: $line"
done <"$rules"
for id in fa60 fa61; do
  grep -qxF "KERNEL==\"hidraw*\", ATTRS{idVendor}==\"1d57\", ATTRS{idProduct}==\"$id\", TAG+=\"uaccess\"" \
    "$rules" || fail "no uaccess rule for 1d57:$id"
done

# The manual pages format without warnings.
for page in "$root"/share/man/man1/*.1.gz; do
  out=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [ -z "$out" ] || fail "$(basename "$page"): $out"
done

# Each manual page names every command its program's --help lists: the commands of the help's
# usage lines and of its indented command lists.
for tool in veltrixctl veltrix-mouse-emulator; do
  page=$root/share/man/man1/$tool.1.gz
  [ -f "$page" ] && [ -x "$root/bin/$tool" ] || continue
  text=$(LC_ALL=C MANWIDTH=200 man -l "$page" 2>/dev/null)
  commands=$("$root/bin/$tool" --help 2>&1 |
    sed -nE -e "s/^(usage:)? +$tool ([a-z][a-z-]*).*/\2/p" -e 's/^  ([a-z][a-z-]*)( .*)?$/\1/p' | sort -u)
  [ -n "$commands" ] || fail "$tool --help lists no commands"
  for command in $commands; do
    grep -qE "(^|[^a-z-])$command([^a-z-]|$)" <<<"$text" || fail "$tool.1 leaves out $command"
  done
done

# Every installed program and plugin is hardened as distributions require: resolved at start-up
# behind a read-only relocation table, and the programs position-independent.
for elf in "$root"/bin/* "$root"/lib/veltrix-wireless/*.so; do
  [ -f "$elf" ] || continue
  dynamic=$(readelf -d "$elf")
  grep -qE '\(BIND_NOW\)|Flags: .*\bNOW\b' <<<"$dynamic" || fail "$(basename "$elf") lacks bind-now"
  readelf -lW "$elf" | grep -q GNU_RELRO || fail "$(basename "$elf") lacks relro"
  if [[ $elf == */bin/* ]]; then
    grep -qE 'Flags: .*\bPIE\b' <<<"$dynamic" || fail "$(basename "$elf") is not position-independent"
  fi
done

# The installed tool reaches the emulated mouse through the installed plugins: none lies beside
# it, so they can only have come from the tree's own library folder.
[ -z "$(find "$root/bin" -name 'hiddriver_*.so')" ] || fail "plugins beside the programs"
socket=$work/mouse.sock
"$build/bin/veltrix-mouse-emulator" serve --socket "$socket" >/dev/null &
emulator=$!
for _ in $(seq 100); do [ -S "$socket" ] && break; sleep 0.1; done
out=$(VELTRIX_EMULATOR=$socket "$root/bin/veltrixctl" status 2>&1) || fail "veltrixctl status: $out"
[[ $out == "receiver: present"* ]] || fail "veltrixctl status: $out"

# The installed window finds its skin and its plugins from where it lies: it starts (without its
# skin it would stop at once), writes the defaults, and then keeps the DPI level that the mouse's
# first status report names (level 1, where the defaults hold level 2).
if [ "$has_gui" = 1 ]; then
  data=$work/data/veltrix-wireless/Data/ms_1/Config_1.data
  mkdir -p "$work/run" && chmod 700 "$work/run"
  QT_QPA_PLATFORM=offscreen XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run \
    XDG_CONFIG_HOME=$work/config VELTRIX_EMULATOR=$socket "$root/bin/veltrix-wireless" \
    >"$work/window.log" 2>&1 &
  window=$!
  level() { od -An -t d4 -j 2356 -N 4 "$data" 2>/dev/null | tr -d ' '; }
  for _ in $(seq 200); do [ "$(level)" = 0 ] && break; kill -0 "$window" 2>/dev/null || break; sleep 0.1; done
  [ "$(level)" = 0 ] || fail "the installed window did not follow the mouse: $(cat "$work/window.log")"
  kill "$window" 2>/dev/null; wait "$window" 2>/dev/null || true
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s) in the $mode tree ($mode)" >&2
  exit 1
fi
echo "the $mode tree holds ${#expected[@]} expected files; all checks pass"
