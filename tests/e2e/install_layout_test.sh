#!/usr/bin/env bash
# `cmake --install` puts the program, its menu entry, its icons, its AppStream data, its manual
# page and its help where a desktop and a presenter find them, in forms their validators accept.
#   install_layout_test.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d "${TMPDIR:-/tmp}/velmora-install-XXXXXX")
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >"$prefix/install.log"

fail() { echo "install: $*" >&2; cat "$prefix/install.log" >&2; exit 1; }

[ -x "$prefix/bin/velmora" ] || fail "no program bin/velmora"
[ "$(head -c 4 "$prefix/bin/velmora" | tail -c 3)" = "ELF" ] || fail "bin/velmora is not a program"
entry="$prefix/share/applications/velmora.desktop"
[ -f "$entry" ] || fail "no menu entry share/applications/velmora.desktop"
grep -qx 'Type=Application' "$entry" || fail "menu entry is not an application"
command=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
[ -x "$prefix/bin/$command" ] || fail "menu entry starts '$command', which was not installed"
desktop-file-validate "$entry" >"$prefix/desktop.log" 2>&1 || fail "desktop-file-validate: $(cat "$prefix/desktop.log")"
# A hint counts too: two main categories put the program twice into a menu.
[ ! -s "$prefix/desktop.log" ] || fail "desktop-file-validate: $(cat "$prefix/desktop.log")"
icon=$(sed -n 's/^Icon=//p' "$entry")
# Menus want 48 pixels and more, software centres 64 and 128; the tray keeps its 32.
for size in 32 48 64 128 256; do
  picture="$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png"
  [ -f "$picture" ] || fail "no icon $picture for the menu entry"
  # PNG signature, then the header's width and height (big-endian) at bytes 16 to 23.
  [ "$(head -c 4 "$picture" | tail -c 3)" = "PNG" ] || fail "the icon $picture is not a PNG"
  [ "$(od -An -tu4 --endian=big -j16 -N8 "$picture" | tr -s ' ')" = " $size $size" ] ||
    fail "the icon $picture is not $size x $size pixels"
done
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" || fail "no scalable icon"
# Software centres find the program through its AppStream data, which names the menu entry.
metainfo=$(find "$prefix/share/metainfo" -name '*.metainfo.xml')
[ "$(wc -l <<<"$metainfo")" = 1 ] && [ -f "$metainfo" ] || fail "not one AppStream file: $metainfo"
id=$(sed -n 's|.*<id>\([^<]*\)</id>.*|\1|p' "$metainfo" | head -n 1)
[ "$(basename "$metainfo")" = "$id.metainfo.xml" ] || fail "AppStream file $metainfo is not named after $id"
grep -q "<launchable type=\"desktop-id\">$(basename "$entry")</launchable>" "$metainfo" ||
  fail "the AppStream data does not name the menu entry $(basename "$entry")"
# Offline: the screenshots' web addresses are where a release publishes them, not here.
appstreamcli validate --pedantic --no-net "$metainfo" >"$prefix/appstream.log" 2>&1 ||
  fail "appstreamcli: $(cat "$prefix/appstream.log")"
# The help the program opens: the README with its pictures, and the pages it links to.
help="$prefix/share/doc/velmora/README.html"
grep -q 'sftp://' "$help" 2>/dev/null || fail "no help $help naming the address forms"
for target in $(grep -o '\(src\|href\)="[^":#]*' "$help" | sed 's/^[a-z]*="//' | sort -u); do
  [ -f "$prefix/share/doc/velmora/$target" ] || fail "the help links to $target, which is missing"
done
manual="$prefix/share/man/man1/velmora.1.gz"
gzip -t "$manual" 2>/dev/null || fail "no manual page share/man/man1/velmora.1.gz"
[[ $(zcat "$manual" | sed -n 1p) == ".TH VELMORA 1 "* ]] || fail "velmora.1.gz is not the manual page"
# The program's helpers for crash reports are installed beside it, where it looks for them.
for helper in $(sed -n 's/^-- Installing: .*\/bin\///p' "$prefix/install.log"); do
  [ -x "$prefix/bin/$helper" ] || fail "helper $helper not executable"
done
echo "install: program, menu entry, icons, AppStream data, manual page and help under $prefix"
