#!/usr/bin/env bash
# Cross-builds Velmora for 64-bit Windows with mingw-w64 on Debian.
#   scripts/build-windows.sh              the libraries (cached), velmora.exe, and from them
#                                         build-windows/Velmora-<version>-win64.exe and .zip
#   scripts/build-windows.sh --tests      the same and the test programs (ctest runs them under Wine)
#   scripts/build-windows.sh --libs-only  only the libraries
# Installs the packages it needs. The third-party libraries come from Debian's source packages
# and are built once into a cache outside the checkout,
#   ${VELMORA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velmora-windows}/<key>/,
# where the key follows the source packages' versions, the compiler and the recipes
# (scripts/windows/, cmake/mingw-w64-x86_64.cmake): they are built again only when one changes.
# See docs/windows-build.md.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

libs_only=0
tests=OFF
for arg in "$@"; do
  case $arg in
    --libs-only) libs_only=1 ;;
    --tests) tests=ON ;;
    *) echo "usage: $0 [--tests] [--libs-only]" >&2; exit 2 ;;
  esac
done

build=$root/build-windows
toolchain=$root/cmake/mingw-w64-x86_64.cmake
cache=${VELMORA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velmora-windows}
jobs=$(nproc)
started=$SECONDS
. "$root/scripts/windows/libraries.sh"

# --- Packages ---------------------------------------------------------------------------------
packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  libz-mingw-w64-dev wine wine64 cmake ninja-build dpkg-dev nsis ca-certificates
  python3 python3-markdown)
# The tests' own servers and certificates on this side of Wine.
if [ "$tests" = ON ]; then packages+=(python3-pyftpdlib python3-openssl openssl); fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "build-windows: installing ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -o DPkg::Lock::Timeout=600 -qq
  $SUDO apt-get install -y -qq -o DPkg::Lock::Timeout=600 "${missing[@]}" >/dev/null
fi

# --- Debian's source packages, through a list of our own --------------------------------------
# The machine's apt lists stay as they are: the deb-src list, its downloaded indexes and the
# source packages all live in the cache.
apt_dir=$cache/apt
mkdir -p "$apt_dir/lists/partial"
suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
# The sources come from the archive this machine's own apt configuration names for its release.
archive=$(apt-get indextargets --format '$(RELEASE) $(REPO_URI)' 'Created-By: Packages' 2>/dev/null |
  awk -v suite="$suite" '$1 == suite { print $2; exit }')
if [ -z "$archive" ]; then
  echo "build-windows: the apt configuration names no archive for $suite" >&2
  exit 1
fi
echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]" \
  "$archive $suite main" >"$apt_dir/sources.list"
apt_private=(-o APT::Sandbox::User=root -o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts=/nonexistent
  -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=
  -o DPkg::Lock::Timeout=600)
# Fresh indexes at most once a day; without a network the last ones will do.
if [ -z "$(find "$apt_dir/lists" -maxdepth 1 -name '*Sources*' -mtime -1 2>/dev/null)" ]; then
  apt-get "${apt_private[@]}" update -qq ||
    echo "build-windows: cannot refresh the source indexes, using the ones at hand" >&2
fi
versions=""
for package in $windows_library_packages; do
  version=$(apt-cache "${apt_private[@]}" showsrc "$package" 2>/dev/null |
    sed -n 's/^Version: //p' | sort -V | tail -1)
  [ -n "$version" ] || { echo "build-windows: no source package $package" >&2; exit 1; }
  versions+="$package=$version "
done

key=$( {
  echo "$versions"
  x86_64-w64-mingw32-g++-posix --version | head -1
  cat "$root/scripts/windows/libraries.sh" "$root/scripts/windows/freeimage_plugin_stubs.cpp" \
    "$toolchain"
} | sha256sum | cut -c1-16)
libs=$cache/$key

# --- The libraries ----------------------------------------------------------------------------
if [ -f "$libs/.complete" ]; then
  echo "build-windows: libraries from the cache ($libs)"
else
  echo "build-windows: building the libraries into $libs ($versions)"
  sources=$cache/sources/$key
  rm -rf "$libs" "$sources"
  mkdir -p "$sources" "$libs"
  for package in $windows_library_packages; do
    mkdir -p "$sources/$package"
    (cd "$sources/$package" && apt-get "${apt_private[@]}" source -qq "$package" >/dev/null 2>&1) ||
      { echo "build-windows: apt-get source $package failed" >&2; exit 1; }
  done
  work=$cache/work
  rm -rf "$work"
  mkdir -p "$work"
  build_windows_libraries "$sources" "$libs" "$work" "$jobs" "$toolchain"
  rm -rf "$work" "$sources"
  echo "$versions" >"$libs/.complete"
  # Older builds of the libraries are never used again.
  find "$cache" -mindepth 1 -maxdepth 1 -type d -regextype egrep -regex '.*/[0-9a-f]{16}' \
    ! -name "$key" -exec rm -rf {} +
fi
echo "build-windows: libraries ready after $((SECONDS - started)) s"
[ "$libs_only" = 1 ] && exit 0

# --- The program's rooms (and with --tests, their test programs) ------------------------------
mkdir -p "$build"
# Libraries found in another prefix stay in CMake's cache: with new libraries, configure anew.
if [ "$(cat "$build/.libraries" 2>/dev/null)" != "$libs" ]; then
  rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles"
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_WINDOWS_LIBS="$libs" \
  -DVELMORA_TESTS="$tests" -DVELMORA_BENCH=OFF >"$build/configure.log" 2>&1 ||
  { cat "$build/configure.log" >&2; exit 1; }
echo "$libs" >"$build/.libraries"
cmake --build "$build" -j"$jobs"
echo "build-windows: rooms built after $((SECONDS - started)) s"

# --- The installer and the zip ----------------------------------------------------------------
# CPack stages the program folder (velmora.exe stripped down to its line tables, IMAGE.DLL,
# cacert.pem, doc/) and packs it with makensis and as a zip (cmake/windows_packaging.cmake).
packed=$SECONDS
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
rm -f "$build/Velmora-$version-win64.exe" "$build/Velmora-$version-win64.zip"
(cd "$build" && cpack -G "NSIS;ZIP" >"$build/package.log" 2>&1) ||
  { cat "$build/package.log" >&2; exit 1; }
for made in "$build/Velmora-$version-win64.exe" "$build/Velmora-$version-win64.zip"; do
  [ -f "$made" ] || { echo "build-windows: $made was not made" >&2; exit 1; }
  echo "build-windows: $made"
done
echo "build-windows: packed in $((SECONDS - packed)) s, done after $((SECONDS - started)) s"
