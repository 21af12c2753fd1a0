#!/usr/bin/env bash
# Installs what is needed, builds Velmora and runs every test.
#   scripts/test.sh           normal build in build/
#   scripts/test.sh --asan    AddressSanitizer + UBSan build in build-asan/
#   scripts/test.sh --tsan    ThreadSanitizer build in build-tsan/
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
options=()
case "${1:-}" in
  --asan) build=build-asan; options+=(-DVELMORA_ASAN=ON -DVELMORA_BENCH=OFF) ;;
  --tsan) build=build-tsan; options+=(-DVELMORA_TSAN=ON -DVELMORA_BENCH=OFF) ;;
  "") ;;
  *) echo "usage: $0 [--asan|--tsan]" >&2; exit 2 ;;
esac

bash scripts/install-deps.sh

generator=()
if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi
# A build folder made with another generator cannot be reused.
if [ -f "$build/CMakeCache.txt" ] && ! grep -q "CMAKE_GENERATOR:INTERNAL=${generator[1]:-Unix Makefiles}" "$build/CMakeCache.txt"; then
  rm -rf "$build"
fi
cmake -S . -B "$build" "${generator[@]}" "${options[@]}"
cmake --build "$build" -j"$(nproc)"

# Qt wants a private runtime folder; tests that need a screen start their own Xvfb, the rest
# need none, but a display is provided for anything that asks.
runtime=$(mktemp -d)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"
xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$runtime"
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 300 340); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      xvfb_pid=$!
      for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
      export DISPLAY=":$n"
      break
    fi
  done
fi

ctest --test-dir "$build" --output-on-failure -j2 --timeout 600
