#!/usr/bin/env bash
# Runs the Windows test programs of a cross build under Wine through CTest.
#   scripts/windows/run-tests.sh [BUILD_FOLDER] [CTEST ARGUMENTS...]   (default build-windows)
# The build's Wine prefix (BUILD_FOLDER/wine-prefix) is made on first use. One persistent
# wineserver serves every test program: without it each program waits about 3 s for the server
# of the one before to go. It is stopped at the end, and only that prefix's server.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build-windows}" && pwd)
shift || true
export WINEPREFIX=$build/wine-prefix WINEDEBUG=-all

# A server left from an earlier run would not be a persistent one.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
"$root/scripts/windows/wine-run.sh" "$WINEPREFIX" --prepare
# The server outlives the run by at most ten minutes should this script be killed.
wineserver -p600
# The first program of a session starts Wine's own services, which keep its output open: started
# here, they do not hold up the first test program's listing.
"$root/scripts/windows/wine-run.sh" "$WINEPREFIX" cmd /c exit >/dev/null 2>&1 </dev/null
trap 'wineserver -k 2>/dev/null || true' EXIT
ctest --test-dir "$build" --output-on-failure -j2 --timeout 300 "$@"
