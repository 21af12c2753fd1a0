#!/usr/bin/env bash
# Builds the Debian package of Velmora and prints its path as the last line.
#   scripts/package.sh [BUILD_DIR]     build folder, default build-package/
# The build leaves out tests and benchmarks. Install the result with
#   sudo apt install ./build-package/velmora_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build-package}
for tool in cmake cpack dpkg-buildflags dpkg-shlibdeps g++; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "package: $tool is missing; scripts/install-deps.sh installs what the build needs" >&2
    exit 1
  fi
done

generator=()
if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi
# A build folder made with another generator cannot be reused.
if [ -f "$build/CMakeCache.txt" ] && ! grep -q "CMAKE_GENERATOR:INTERNAL=${generator[1]:-Unix Makefiles}" "$build/CMakeCache.txt"; then
  rm -rf "$build"
fi
# Debian's hardening flags (stack protector, fortified functions, read-only relocations), as a
# package built by Debian itself would have them.
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
cflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S . -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF -DVELMORA_ASAN=OFF -DVELMORA_TSAN=OFF \
  "-DCMAKE_CXX_FLAGS=$cxxflags" "-DCMAKE_C_FLAGS=$cflags" "-DCMAKE_EXE_LINKER_FLAGS=$ldflags" >&2
cmake --build "$build" -j"$(nproc)" >&2

# A package of an earlier version must not be mistaken for this one.
rm -f "$build"/velmora_*.deb
(cd "$build" && cpack -G DEB) >&2
package=$(find "$(cd "$build" && pwd)" -maxdepth 1 -name 'velmora_*.deb' -print -quit)
if [ -z "$package" ]; then
  echo "package: cpack made no velmora_*.deb in $build" >&2
  exit 1
fi
echo "$package"
