#!/usr/bin/env bash
# Checks the rooms under src/ with the includes the compiler resolved: every file lies in a room,
# each room includes only its own headers and those of the rooms below it, platform headers
# (Qt, X11, PipeWire, D-Bus, OpenSSL, POSIX, Linux, Windows) appear only in files named for their
# platform and never in a file named for a platform of the other build, and the velmora_<room>
# targets link exactly the rooms their files include. The Linux build and the Windows cross
# build are each checked with their own compile commands and link graph.
# Prints every offence and exits 1 when there is one. See docs/layout.md.
#   scripts/check-layers.sh [--strict-gui] [BUILD_FOLDER]
#   scripts/check-layers.sh [--strict-gui] --windows LIBRARIES
# Without a build folder it configures build-layers/ (configure only, nothing is compiled); with
# --windows, build-layers-windows/ as a cross build against the Windows libraries' prefix that
# scripts/build-windows.sh keeps (the VELMORA_WINDOWS_LIBS of its build folder).
# --strict-gui: Qt only in qt_ files in gui/ too (see GUI_FILES_NAMED_FOR_TOOLKIT).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

usage() {
  echo "usage: $0 [--strict-gui] [BUILD_FOLDER | --windows LIBRARIES]" >&2
  exit 2
}
checks=()
build=""
windows_libs=""
while [ $# -gt 0 ]; do
  case $1 in
    --strict-gui) checks+=(--strict-gui) ;;
    --windows) [ $# -ge 2 ] || usage; windows_libs=$2; shift ;;
    -*) usage ;;
    *) [ -z "$build" ] || usage; build=$(cd "$1" && pwd) ;;
  esac
  shift
done
[ -z "$build" ] || [ -z "$windows_libs" ] || usage

if [ -z "$build" ]; then
  options=(-DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF)
  build=$root/build-layers
  if [ -n "$windows_libs" ]; then
    build=$root/build-layers-windows
    options+=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"
      -DVELMORA_WINDOWS_LIBS="$windows_libs")
  fi
  if [ ! -f "$build/CMakeCache.txt" ] && command -v ninja >/dev/null 2>&1; then
    options+=(-G Ninja)
  fi
  if ! log=$(cmake -S "$root" -B "$build" "${options[@]}" 2>&1); then
    echo "$log" >&2
    echo "check-layers: cannot configure $build" >&2
    exit 2
  fi
fi
if [ ! -f "$build/compile_commands.json" ]; then
  echo "check-layers: $build has no compile_commands.json (configure it first)" >&2
  exit 2
fi

exec python3 "$root/scripts/tools/check_layers.py" "$root" "$build" \
  --jobs "${LAYER_CHECK_JOBS:-$(nproc)}" "${checks[@]}"
