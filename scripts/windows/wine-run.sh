#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix, quietly and unattended: the emulator
# through which CTest runs the Windows test programs.
#   scripts/windows/wine-run.sh PREFIX PROGRAM.exe [ARGUMENTS...]
#   scripts/windows/wine-run.sh PREFIX --prepare   only make the prefix
# The first call makes the prefix (a few seconds); calls made at the same time wait for it. A
# crash must never open Wine's modal debugger box, which would wait for a click forever: the
# crashed program ends with the exception code as its exit status instead.
set -euo pipefail
export WINEPREFIX=$1
shift
export WINEDEBUG=-all
# No Mono or Gecko installer prompts when the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ ! -f "$WINEPREFIX/.velmora-ready" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/.velmora-ready" ]; then
    wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null
    wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f \
      >/dev/null 2>&1 || true
    # The registry reaches the disk only when the server ends; a prefix whose server was killed
    # before is brought up to date again at the next start, which takes half a minute.
    wineserver -w
    touch "$WINEPREFIX/.velmora-ready"
  fi
  exec 9>&-
fi
[ "${1:-}" = --prepare ] && exit 0
exec wine "$@"
