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

"$root/scripts/windows/wine-run.sh" "$WINEPREFIX" --prepare
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
# The server outlives the run by at most ten minutes should this script be killed.
wineserver -p600
trap 'wineserver -k 2>/dev/null || true' EXIT
ctest --test-dir "$build" --output-on-failure -j2 --timeout 300 "$@"
