#!/usr/bin/env bash
# Installs what is needed, builds Velmora and runs every test: the Linux suite, then the Windows
# suite (cross-built with scripts/build-windows.sh, run under Wine): the Windows test programs,
# then the black-box scenarios of the Windows program, which are Linux test programs (label wine).
#   scripts/test.sh                 both suites; the Linux build in build/
#   scripts/test.sh --linux-only    only the Linux suite
#   scripts/test.sh --windows-only  only the Windows suite, in build-windows/ (the scenarios from
#                                   the Linux build in build/)
#   scripts/test.sh --asan          the Linux suite with AddressSanitizer + UBSan, in build-asan/
#   scripts/test.sh --tsan          the Linux suite with ThreadSanitizer, in build-tsan/
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
options=()
linux=1
windows=1
case "${1:-}" in
  --asan) build=build-asan; windows=0; options+=(-DVELMORA_ASAN=ON -DVELMORA_BENCH=OFF) ;;
  --tsan) build=build-tsan; windows=0; options+=(-DVELMORA_TSAN=ON -DVELMORA_BENCH=OFF) ;;
  --linux-only) windows=0 ;;
  --windows-only) linux=0 ;;
  "") ;;
  *) echo "usage: $0 [--asan|--tsan|--linux-only|--windows-only]" >&2; exit 2 ;;
esac

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

configure_linux() {
  local generator=()
  if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi
  # A build folder made with another generator cannot be reused.
  if [ -f "$build/CMakeCache.txt" ] &&
    ! grep -q "CMAKE_GENERATOR:INTERNAL=${generator[1]:-Unix Makefiles}" "$build/CMakeCache.txt"; then
    rm -rf "$build"
  fi
  cmake -S . -B "$build" "${generator[@]}" "${options[@]}"
}

# Chained: the suites run where a failure must not end the script (set -e does not hold).
linux_suite() {
  configure_linux &&
    cmake --build "$build" -j"$(nproc)" &&
    ctest --test-dir "$build" --output-on-failure -j2 --timeout 600 -LE wine
}

# The Windows test programs, then the scenarios of the Windows program, whatever became of the
# former. The scenarios share one Wine prefix and run one at a time (their resource lock).
windows_suite() {
  bash scripts/build-windows.sh --tests || return 1
  local status=0
  bash scripts/windows/run-tests.sh build-windows || status=1
  { configure_linux && cmake --build "$build" -j"$(nproc)" --target wine_scenarios &&
    VELMORA_WINDOWS_BUILD="$PWD/build-windows" \
      ctest --test-dir "$build" --output-on-failure -j2 --timeout 300 -L wine; } || status=1
  return $status
}

# The Windows suite's scenarios need the Linux build and its servers and browser too.
bash scripts/install-deps.sh
if [ "$linux" = 1 ] && [ -z "${DISPLAY:-}" ]; then
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

# Each suite runs whatever became of the other; the run fails if either did.
failed=()
if [ "$linux" = 1 ]; then
  started=$SECONDS
  linux_suite || failed+=(Linux)
  echo "test: Linux suite finished after $((SECONDS - started)) s"
fi
if [ "$windows" = 1 ]; then
  started=$SECONDS
  windows_suite || failed+=(Windows)
  echo "test: Windows suite finished after $((SECONDS - started)) s"
fi
if [ ${#failed[@]} -gt 0 ]; then
  echo "test: the ${failed[*]} suite failed" >&2
  exit 1
fi
