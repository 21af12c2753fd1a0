# The third-party libraries of the Windows build, cross-built from Debian's source packages into
# one prefix. Sourced by scripts/build-windows.sh, which hashes this file into the cache key: a
# change of any recipe here rebuilds them all.
#   windows_library_packages            the source packages, in build order
#   build_windows_libraries SRC PREFIX  builds each from SRC/<package>/ into PREFIX
# Everything is static (the program and its tests run without DLLs beside them) except the image
# library, which the program loads at run time by name, as IMAGE.DLL.

windows_library_packages="mbedtls libssh2 curl libpng1.6 freeimage googletest"

_mingw_root=/usr/x86_64-w64-mingw32
_zlib=(-DZLIB_LIBRARY=$_mingw_root/lib/libz.a -DZLIB_INCLUDE_DIR=$_mingw_root/include)

# The one folder apt-get source unpacked for package $1 under $2.
_unpacked() {
  local dir
  for dir in "$2/$1"/*/; do
    [ -f "$dir/debian/control" ] && { echo "${dir%/}"; return; }
  done
  echo "build-windows: no unpacked source of $1 in $2/$1" >&2
  return 1
}

# _cmake_library NAME SOURCE PREFIX OPTIONS...: configure, build and install one CMake project.
_cmake_library() {
  local name=$1 source=$2 prefix=$3 build=$_work/$1
  shift 3
  rm -rf "$build"
  cmake -S "$source" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$_toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DVELMORA_WINDOWS_LIBS="$prefix" \
    -DBUILD_SHARED_LIBS=OFF "$@" >"$_work/$name-configure.log" 2>&1 ||
    { tail -30 "$_work/$name-configure.log" >&2; return 1; }
  cmake --build "$build" -j"$_jobs" >"$_work/$name-build.log" 2>&1 ||
    { tail -30 "$_work/$name-build.log" >&2; return 1; }
  cmake --install "$build" >/dev/null
}

_build_mbedtls() {
  _cmake_library mbedtls "$1" "$2" -DENABLE_PROGRAMS=OFF -DENABLE_TESTING=OFF \
    -DUSE_SHARED_MBEDTLS_LIBRARY=OFF -DUSE_STATIC_MBEDTLS_LIBRARY=ON -DMBEDTLS_FATAL_WARNINGS=OFF
}

# libssh2 on mbedTLS: its Windows CNG backend cannot do any key exchange under Wine 8.
_build_libssh2() {
  _cmake_library libssh2 "$1" "$2" -DCRYPTO_BACKEND=mbedTLS -DMBEDTLS_INCLUDE_DIR="$2/include" \
    -DMBEDTLS_LIBRARY="$2/lib/libmbedtls.a" -DMBEDCRYPTO_LIBRARY="$2/lib/libmbedcrypto.a" \
    -DMBEDX509_LIBRARY="$2/lib/libmbedx509.a" -DENABLE_ZLIB_COMPRESSION=OFF \
    -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF
}

# curl on mbedTLS rather than Schannel: Wine's Schannel accepts any certificate, so the checks
# must be mbedTLS's, libcurl's and the program's own. No CA list is compiled in (a cross build
# cannot know the presenter's); FTP, FTPS and SFTP are what the program speaks.
_build_curl() {
  _cmake_library curl "$1" "$2" -DCURL_STATICLIB=ON -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF \
    -DENABLE_MANUAL=OFF -DCURL_USE_MBEDTLS=ON -DCURL_USE_SCHANNEL=OFF -DCURL_USE_OPENSSL=OFF \
    -DMBEDTLS_INCLUDE_DIRS="$2/include" -DMBEDTLS_LIBRARY="$2/lib/libmbedtls.a" \
    -DMBEDX509_LIBRARY="$2/lib/libmbedx509.a" -DMBEDCRYPTO_LIBRARY="$2/lib/libmbedcrypto.a" \
    -DCURL_USE_LIBSSH2=ON -DLIBSSH2_INCLUDE_DIR="$2/include" \
    -DLIBSSH2_LIBRARY="$2/lib/libssh2.a" -DCURL_ZLIB=OFF -DUSE_LIBIDN2=OFF -DCURL_USE_LIBPSL=OFF \
    -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF -DUSE_NGHTTP2=OFF -DCURL_CA_BUNDLE=none -DCURL_CA_PATH=none \
    -DCURL_DISABLE_LDAP=ON -DCURL_DISABLE_DICT=ON -DCURL_DISABLE_TELNET=ON \
    -DCURL_DISABLE_TFTP=ON -DCURL_DISABLE_POP3=ON -DCURL_DISABLE_IMAP=ON -DCURL_DISABLE_SMTP=ON \
    -DCURL_DISABLE_RTSP=ON -DCURL_DISABLE_MQTT=ON -DCURL_DISABLE_GOPHER=ON -DCURL_DISABLE_SMB=ON
}

_build_libpng1.6() {
  _cmake_library libpng "$1" "$2" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF "${_zlib[@]}"
}

_build_googletest() {
  _cmake_library googletest "$1" "$2" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON
}

# FreeImage as the program's image library, with libpng and zlib inside. Debian removed the
# bundled codec libraries, so the plugins that need one are registered without load and save
# (freeimage_plugin_stubs.cpp), which keeps every format's number where FreeImage documents it.
_build_freeimage() {
  local source=$1/Source prefix=$2 objects=$_work/freeimage
  local skip='PluginJPEG|PluginTIFF|PluginG3|PluginEXR|PluginJ2K|PluginJP2|J2KHelper|PluginRAW|PluginWebP|PluginJXR|XTIFF'
  rm -rf "$objects"
  mkdir -p "$objects" "$prefix/bin"
  local flags="-O2 -fexceptions -DNDEBUG -DFREEIMAGE_EXPORTS -DWINVER=0x0601 -DDISABLE_PERF_MEASUREMENT"
  flags+=" -I$source -I$source/Metadata -I$source/FreeImageToolkit -I$prefix/include"
  export FREEIMAGE_FLAGS=$flags FREEIMAGE_OBJECTS=$objects
  {
    ls "$source"/FreeImage/*.cpp "$source"/FreeImage/*.c "$source"/FreeImageToolkit/*.cpp \
      "$source"/Metadata/*.cpp | grep -vE "/($skip)\.cpp\$"
    echo "$_recipes/freeimage_plugin_stubs.cpp"
  } | xargs -P"$_jobs" -I{} sh -c '
      f={}; o=$FREEIMAGE_OBJECTS/$(basename "${f%.*}").o
      case $f in
        *.c) exec x86_64-w64-mingw32-gcc-posix $FREEIMAGE_FLAGS -c "$f" -o "$o" ;;
        *) exec x86_64-w64-mingw32-g++-posix -std=c++14 -include stdexcept \
             -Wno-deprecated-declarations $FREEIMAGE_FLAGS -c "$f" -o "$o" ;;
      esac' >"$_work/freeimage-build.log" 2>&1 ||
    { grep -m20 error "$_work/freeimage-build.log" >&2; return 1; }
  x86_64-w64-mingw32-g++-posix -shared -static -s -o "$prefix/bin/IMAGE.DLL" "$objects"/*.o \
    "$prefix/lib/libpng16.a" "$_mingw_root/lib/libz.a" -lws2_32 >>"$_work/freeimage-build.log" 2>&1 ||
    { tail -20 "$_work/freeimage-build.log" >&2; return 1; }
}

# build_windows_libraries SOURCES PREFIX WORK JOBS TOOLCHAIN
build_windows_libraries() {
  local sources=$1 prefix=$2 package started
  _work=$3 _jobs=$4 _toolchain=$5
  _recipes=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
  for package in $windows_library_packages; do
    started=$SECONDS
    "_build_$package" "$(_unpacked "$package" "$sources")" "$prefix" ||
      { echo "build-windows: $package failed (logs in $_work)" >&2; return 1; }
    echo "build-windows: $package built in $((SECONDS - started)) s"
  done
}
