# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix thread model: std::thread,
# std::mutex and <filesystem> need it). scripts/build-windows.sh passes VELMORA_WINDOWS_LIBS, the
# cached prefix of the libraries built from Debian's sources.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# try_compile() projects read this file again: hand the prefix on to them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VELMORA_WINDOWS_LIBS)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${VELMORA_WINDOWS_LIBS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Static libraries only: the programs must run without DLLs beside them. Wine puts a zlib1.dll
# into every prefix, Windows does not, so a program linked to zlib's import library would run
# here and fail on the presenter's computer.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
set(ZLIB_LIBRARY /usr/x86_64-w64-mingw32/lib/libz.a CACHE FILEPATH "zlib, linked statically")
set(ZLIB_INCLUDE_DIR /usr/x86_64-w64-mingw32/include CACHE PATH "zlib's headers")
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
