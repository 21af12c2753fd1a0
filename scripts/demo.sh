#!/usr/bin/env bash
# Runs a presentation on this machine: a local FTP server and a web server on 127.0.0.1, a
# private preference file pointing at them, and Velmora started with the presentation running.
# Spectators open the printed address in any browser. Everything stops when Velmora ends.
#
#   scripts/demo.sh           present this display (a virtual one when there is none) until Exit
#   scripts/demo.sh --check   present a virtual display for about half a minute with a window of a
#                             known colour on it, take a spectator's screenshot with headless
#                             Chromium, stop everything, and print the screenshot's path as the
#                             last line; exit code 0 only when the view shows the presenter's screen
#   --yes                     install missing Debian packages without asking
# Missing packages are listed first; at a terminal the demo asks before installing them, and
# without one (CI, --check) it installs them without asking.
# VELMORA_BINARY names another build of the program (the tests check their own build this way).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
binary="${VELMORA_BINARY:-$root/build/velmora}"

check=0
ask=1
for argument in "$@"; do
  case $argument in
    --check) check=1; ask=0 ;;
    --yes) ask=0 ;;
    *) echo "usage: $0 [--check] [--yes]" >&2; exit 2 ;;
  esac
done
[ -t 0 ] && [ -t 1 ] || ask=0

# Tools of the demo itself; a fresh machine gets them with the build dependencies.
missing_tools() {
  [ -x "$binary" ] || return 0
  /usr/bin/python3 -c 'import pyftpdlib' 2>/dev/null || return 0
  if [ "$check" = 1 ] || [ -z "${DISPLAY:-}" ]; then command -v Xvfb >/dev/null || return 0; fi
  if [ "$check" = 1 ]; then
    for tool in chromium import display; do command -v "$tool" >/dev/null || return 0; done
  fi
  return 1
}
if missing_tools; then
  groups=(demo)
  [ -x "$binary" ] || groups+=(build)
  [ "$check" = 0 ] || groups+=(check)
  needed=$(bash "$root/scripts/install-deps.sh" --list "${groups[@]}")
  if [ -n "$needed" ]; then
    count=$(wc -w <<<"$needed")
    echo "demo: the demo needs $count Debian packages that are not installed; apt-get (with sudo"
    echo "      when you are not root) would install them and what they depend on:"
    fold -s -w 90 <<<"$needed" | sed 's/^/        /'
    if [ "$ask" = 1 ]; then
      read -r -p "demo: install them now? [y/N] " answer
      case $answer in
        [yYjJ]*) ;;
        *) echo "demo: nothing installed; scripts/demo.sh --yes installs without asking" >&2; exit 1 ;;
      esac
    fi
    bash "$root/scripts/install-deps.sh" "${groups[@]}"
  fi
fi
if [ ! -x "$binary" ]; then
  if [ -n "${VELMORA_BINARY:-}" ]; then echo "demo: no program $binary" >&2; exit 1; fi
  echo "demo: building Velmora first, in $root/build (a few minutes)"
  generator=()
  if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi
  cmake -S "$root" -B "$root/build" "${generator[@]}" -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF
  cmake --build "$root/build" -j"$(nproc)" --target velmora
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-demo-XXXXXX")
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

source "$root/scripts/local_site.sh"

mkdir -p "$work/www/demo" "$work/config/Velmora" "$work/tmp" "$work/runtime" "$work/browser"
chmod 700 "$work/runtime"

start_local_site "$root"
# Anonymous login: no user name and no password are stored.
write_local_preferences

start_virtual_display() {
  # Xvfb picks a free display number itself and writes it to descriptor 3.
  Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  if [ ! -s "$work/display" ]; then echo "demo: Xvfb did not start" >&2; return 1; fi
  export DISPLAY=":$(head -n 1 "$work/display")"
}

viewer="http://127.0.0.1:$http_port/demo/index.htm"
# Only ever run in the background: the exec makes the background job the program itself, so
# that the pid the cleanup stops is Velmora's own.
run_velmora() {
  XDG_CONFIG_HOME="$work/config" TMPDIR="$work/tmp" XDG_RUNTIME_DIR="$work/runtime" exec "$binary"
}

if [ "$check" = 0 ]; then
  if [ -z "${DISPLAY:-}" ]; then
    start_virtual_display
    echo "demo: no display found, presenting the virtual display $DISPLAY"
  fi
  echo "demo: FTP server  ftp://127.0.0.1:$ftp_port/ (anonymous), files in $work/www"
  echo "demo: spectators open  $viewer"
  echo "demo: close Velmora (Exit) to stop the demo"
  # In the background and waited for: a stop signal to this script then ends the demo at once
  # (the shell would hold its trap back until a program in the foreground had ended).
  run_velmora &
  pids+=($!)
  wait "$!" || true
  exit 0
fi

# --check: the same presentation on a virtual display, watched by a headless spectator.
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
start_virtual_display
colour=20b040
display -title "demo colour" -geometry +60+540 -size 300x180 "xc:#$colour" >/dev/null 2>&1 &
pids+=($!)
run_velmora >"$work/velmora.log" 2>&1 &
velmora_pid=$!
pids+=($velmora_pid)
started=$SECONDS
echo "demo: presenting the virtual display $DISPLAY; spectators open $viewer"

for _ in $(seq 400); do
  [ -s "$work/www/demo/Velmora.htm" ] && break
  kill -0 "$velmora_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -s "$work/www/demo/Velmora.htm" ]; then
  echo "demo: first picture on the server after $((SECONDS - started)) s"
else
  echo "demo: no picture reached the server; Velmora said: $(cat "$work/velmora.log")"
fi
# Let the presentation run for about half a minute, as a spectator would watch it.
while [ $((SECONDS - started)) -lt 25 ]; do sleep 1; done

out=$(mktemp -d "${TMPDIR:-/tmp}/velmora-demo-view-XXXXXX")
import -window root -depth 8 "$out/presenter-screen.ppm"
HOME="$work/browser" XDG_CONFIG_HOME="$work/browser/config" XDG_CACHE_HOME="$work/browser/cache" \
  DISPLAY= timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync --hide-scrollbars \
  --user-data-dir="$work/browser/profile" '--host-resolver-rules=MAP * ~NOTFOUND , EXCLUDE 127.0.0.1' \
  --window-size=1100,850 --virtual-time-budget=8000 --screenshot="$out/viewer-page.png" \
  "$viewer" >"$work/browser.log" 2>&1 || true

status=1
if [ -s "$out/viewer-page.png" ]; then
  if /usr/bin/python3 "$root/scripts/tools/compare_view.py" "$out/viewer-page.png" \
    "$out/presenter-screen.ppm" "$colour"; then
    status=0
    # The screen's picture is kept only to look into a failed check.
    rm -f "$out/presenter-screen.ppm"
  fi
else
  echo "demo: the browser made no screenshot: $(tail -n 5 "$work/browser.log")"
fi
cleanup
trap - EXIT INT TERM
if [ "$status" = 0 ]; then
  echo "demo: check passed, the spectator sees the presenter's screen (after $((SECONDS - started)) s)"
else
  echo "demo: check FAILED, the spectator does not see the presenter's screen"
fi
echo "$out/viewer-page.png"
exit "$status"
