#!/usr/bin/env bash
# Checks the rooms under src/ with the includes the compiler resolved: every file lies in a room,
# each room includes only its own headers and those of the rooms below it, platform headers
# (Qt, X11, PipeWire, D-Bus, OpenSSL, POSIX, Windows) appear only in files named for their
# platform, and the velmora_<room> targets link exactly the rooms their files include.
# Prints every offence and exits 1 when there is one. See docs/layout.md.
#   scripts/check-layers.sh [BUILD_FOLDER]
# Without a build folder it configures build-layers/ (configure only, nothing is compiled).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ $# -gt 1 ]; then
  echo "usage: $0 [build folder]" >&2
  exit 2
fi
if [ $# -eq 1 ]; then
  build=$(cd "$1" && pwd)
else
  build=$root/build-layers
  generator=()
  if [ ! -f "$build/CMakeCache.txt" ] && command -v ninja >/dev/null 2>&1; then
    generator=(-G Ninja)
  fi
  if ! log=$(cmake -S "$root" -B "$build" "${generator[@]}" -DVELMORA_TESTS=OFF \
    -DVELMORA_BENCH=OFF 2>&1); then
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
  --jobs "${LAYER_CHECK_JOBS:-$(nproc)}"
