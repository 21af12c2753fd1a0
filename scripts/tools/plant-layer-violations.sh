#!/usr/bin/env bash
# Plants layering faults, one at a time, in a copy of the tree and tells which of them
# scripts/check-layers.sh catches: a fault counts as caught when the check fails with a new
# offence of the expected rule naming the planted file. The real tree is never touched.
#   scripts/tools/plant-layer-violations.sh                      on a Linux build of the copy
#   scripts/tools/plant-layer-violations.sh --windows LIBRARIES  on a Windows cross build of the
#                                     copy, against the libraries' prefix of scripts/build-windows.sh
# Exits 1 when a fault goes unseen.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
platform=linux
# The check that configures the copy's build folder, and the one that only reads it again.
check=(bash scripts/check-layers.sh)
again=(bash scripts/check-layers.sh build-layers)
case "${1:-}" in
  --windows)
    [ $# -eq 2 ] || { echo "usage: $0 [--windows LIBRARIES]" >&2; exit 2; }
    platform=windows
    check+=(--windows "$2")
    again=(bash scripts/check-layers.sh build-layers-windows)
    ;;
  "") ;;
  *) echo "usage: $0 [--windows LIBRARIES]" >&2; exit 2 ;;
esac
work=$(mktemp -d "${TMPDIR:-/tmp}/layer-plants.XXXXXX")
trap 'rm -rf "$work"' EXIT
tree=$work/tree
mkdir "$tree"
tar -C "$root" --exclude='./build*' --exclude=./.git --exclude=./.cache -cf - . |
  tar -C "$tree" -xf -
cd "$tree"

# A plain source of a room: compiled by the room's CMakeLists, not named for a platform.
host() {
  local file
  for file in "src/$1"/*.cpp; do
    local name=${file##*/}
    case $name in
      qt_* | portal_* | pipewire_* | x11_* | posix_* | linux_* | openssl_* | mbedtls_* | win32_* | *main.cpp)
        continue
        ;;
    esac
    if grep -q "^ *$name\$" "src/$1/CMakeLists.txt"; then
      echo "$file"
      return
    fi
  done
  echo "no plain source in src/$1" >&2
  exit 2
}
# A header of a room, preferably one without library or toolkit headers of its own.
header_of() {
  local file
  for file in "src/$1"/*.h; do
    if ! grep -qE '^\s*#\s*include\s*<[^>]*[./]' "$file"; then
      echo "${file#src/}"
      return
    fi
  done
  file=$(find "src/$1" -maxdepth 1 -name "*.h" | sort | head -1)
  echo "${file#src/}"
}

restore=()
created=()
# Puts a line at the top of a file, keeping the original to put back.
plant_line() {
  cp "$1" "$work/original.$((${#restore[@]}))"
  restore+=("$1")
  { printf '%s\n' "$2"; cat "$work/original.$((${#restore[@]} - 1))"; } >"$1"
}
plant_file() {
  mkdir -p "$(dirname "$1")"
  printf '%s\n' "$2" >"$1"
  created+=("$1")
}
undo() {
  local i
  for i in "${!restore[@]}"; do cp "$work/original.$i" "${restore[$i]}"; done
  for i in "${created[@]}"; do rm -f "$i"; done
  rmdir src/extras 2>/dev/null || true
  restore=()
  created=()
}

# A file of a room named for a platform, found by its prefix.
named() {
  local file
  file=$(find "src/$1" -maxdepth 1 -name "$2*.cpp" | sort | head -1)
  [ -n "$file" ] || { echo "no $2 source in src/$1" >&2; exit 2; }
  echo "$file"
}

echo "Layer check of the $platform build on the unchanged copy:"
set +e
"${check[@]}" >"$work/baseline" 2>&1
echo "  exit $?, $(grep -c '\[' "$work/baseline") offences"
set -e

core=$(host core)
settings=$(host settings)
screen=$(host screen)
capture=$(host capture)
publish=$(host publish)
app_header=$(header_of app)
publish_header=$(header_of publish)
win32_gui=$(named gui win32_)
qt_gui=$(named gui qt_)
posix_core=$(named core posix_)

missed=0
planted=0
configure=0
# plant <name> <expected rule> <file the offence names> <planting command...>
plant() {
  local name=$1 rule=$2 subject=$3
  shift 3
  planted=$((planted + 1))
  "$@"
  local status=0
  # Only a changed CMakeLists.txt needs the build folder configured anew, and the plant after it
  # as well, to see the original again.
  if [ "$configure" = 1 ] || printf '%s\n' "${restore[@]}" | grep -q 'CMakeLists.txt$'; then
    configure=0
    if printf '%s\n' "${restore[@]}" | grep -q 'CMakeLists.txt$'; then configure=1; fi
    "${check[@]}" >"$work/out" 2>&1 || status=$?
  else
    "${again[@]}" >"$work/out" 2>&1 || status=$?
  fi
  undo
  local new
  new=$(grep -Fxv -f "$work/baseline" "$work/out" | grep -F "$subject" | grep -F "[$rule]" || true)
  if [ $status -eq 1 ] && [ -n "$new" ]; then
    echo "caught  $name"
    printf '%s\n' "$new" | sed 's/^/          /'
  else
    echo "MISSED  $name (exit $status)"
    grep -Fxv -f "$work/baseline" "$work/out" | sed 's/^/          /' || true
    missed=$((missed + 1))
  fi
}

# Appends lines to a CMakeLists.txt, keeping the original to put back.
plant_cmake() {
  local file=$1
  shift
  cp "$file" "$work/original.${#restore[@]}"
  restore+=("$file")
  printf '%s\n' "$@" >>"$file"
}
dbus_in_publish() {
  plant_line "$publish" '#include <QDBusConnection>'
  # The Windows build has no Qt to link: there the include stands alone.
  if [ "$platform" = linux ]; then
    plant_cmake src/publish/CMakeLists.txt 'find_package(Qt6 REQUIRED COMPONENTS DBus)' \
      'target_link_libraries(velmora_publish PRIVATE Qt6::DBus)'
  fi
}
# A source this build would compile, left out of every CMakeLists.txt.
if [ "$platform" = windows ]; then
  unbuilt=src/core/win32_planted_helper.cpp
else
  unbuilt=src/core/planted_helper.cpp
fi

echo "Planted one at a time:"
plant '# include "app/..." in core' direction "$core" plant_line "$core" "# include \"$app_header\""
plant 'indented #include "publish/..." in settings' direction "$settings" \
  plant_line "$settings" "    #include \"$publish_header\""
plant '#include <app/...> in core' direction "$core" plant_line "$core" "#include <$app_header>"
plant '#include "../app/..." in core' direction "$core" plant_line "$core" "#include \"../$app_header\""
plant '<QDBusConnection> in publish (linked to Qt6::DBus)' platform "$publish" dbus_in_publish
plant '<QtWidgets/qwidget.h> in capture' platform "$capture" \
  plant_line "$capture" '#include <QtWidgets/qwidget.h>'
plant 'a source in a new folder src/extras' rooms src/extras/extra_helper.cpp \
  plant_file src/extras/extra_helper.cpp '#include "core/clock.h"'
plant 'a .hpp in core' rooms src/core/number_format.hpp \
  plant_file src/core/number_format.hpp '#pragma once'
plant 'indented POSIX <unistd.h> in core' platform "$core" \
  plant_line "$core" '   #  include <unistd.h>'
plant 'POSIX <sys/socket.h> outside a posix_ file' platform "$settings" \
  plant_line "$settings" '#include <sys/socket.h>'
plant 'indented X11 <X11/Xlib.h> in screen' platform "$screen" \
  plant_line "$screen" '  #include <X11/Xlib.h>'
plant 'X11 "X11/Xutil.h" outside an x11_ file' platform "$publish" \
  plant_line "$publish" '#include "X11/Xutil.h"'
plant '<QWidget> in a win32_ file of gui' platform "$win32_gui" \
  plant_line "$win32_gui" '#include <QWidget>'
plant '<windows.h> in a qt_ file of gui' platform "$qt_gui" \
  plant_line "$qt_gui" '#include <windows.h>'
plant 'Linux-only <sys/epoll.h> in a posix_ file' platform "$posix_core" \
  plant_line "$posix_core" '#include <sys/epoll.h>'
plant 'Linux-only "/proc/self/exe" in a posix_ file' platform "$posix_core" \
  plant_line "$posix_core" 'static const char* const planted = "/proc/self/exe";'
plant 'velmora_png links velmora_settings, which it does not include' links velmora_png \
  plant_cmake src/png/CMakeLists.txt 'target_link_libraries(velmora_png PUBLIC velmora_settings)'
plant "a source no target of the $platform build compiles" rooms "$unbuilt" \
  plant_file "$unbuilt" '#include "core/clock.h"'

if [ $missed -gt 0 ]; then
  echo "$missed of $planted faults went unseen"
  exit 1
fi
echo "all $planted faults caught"
