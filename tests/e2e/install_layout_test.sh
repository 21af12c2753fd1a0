#!/usr/bin/env bash
# `cmake --install` puts the program, its menu entry, its icon, its AppStream data and its manual
# page where a desktop finds them.
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
icon=$(sed -n 's/^Icon=//p' "$entry")
picture="$prefix/share/icons/hicolor/32x32/apps/$icon.png"
[ -f "$picture" ] || fail "no icon $picture for the menu entry"
# PNG signature, then the header's width and height (big-endian) at bytes 16 to 23.
[ "$(head -c 4 "$picture" | tail -c 3)" = "PNG" ] || fail "the icon is not a PNG"
[ "$(od -An -tu1 -j16 -N8 "$picture" | tr -s ' ')" = " 0 0 0 32 0 0 0 32" ] ||
  fail "the icon is not 32 x 32 pixels"
# Software centres find the program through its AppStream data, which names the menu entry.
metainfo="$prefix/share/metainfo/velmora.metainfo.xml"
[ -f "$metainfo" ] || fail "no AppStream data share/metainfo/velmora.metainfo.xml"
grep -q "<launchable type=\"desktop-id\">$(basename "$entry")</launchable>" "$metainfo" ||
  fail "the AppStream data does not name the menu entry $(basename "$entry")"
manual="$prefix/share/man/man1/velmora.1.gz"
gzip -t "$manual" 2>/dev/null || fail "no manual page share/man/man1/velmora.1.gz"
[[ $(zcat "$manual" | sed -n 1p) == ".TH VELMORA 1 "* ]] || fail "velmora.1.gz is not the manual page"
# The program's helpers for crash reports are installed beside it, where it looks for them.
for helper in $(sed -n 's/^-- Installing: .*\/bin\///p' "$prefix/install.log"); do
  [ -x "$prefix/bin/$helper" ] || fail "helper $helper not executable"
done
echo "install: program, menu entry, icon, AppStream data and manual page under $prefix"
