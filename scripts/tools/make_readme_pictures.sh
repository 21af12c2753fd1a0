#!/usr/bin/env bash
# Takes the README's pictures from the real program: a presentation of a virtual 800 x 600
# display with a slide on it, against a local FTP and web server; then the main window, the
# settings window and a spectator's view in headless Chromium, written as PNG files to docs/.
#   scripts/tools/make_readme_pictures.sh [OUTPUT_FOLDER]
# VELMORA_BINARY names another build of the program (default build/velmora).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
binary="${VELMORA_BINARY:-$root/build/velmora}"
out="${1:-$root/docs}"
[ -x "$binary" ] || { echo "pictures: build the program first ($binary)" >&2; exit 1; }
mkdir -p "$out"

work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-pictures-XXXXXX")
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM
mkdir -p "$work/www/demo" "$work/config/Velmora" "$work/tmp" "$work/runtime" "$work/browser"
chmod 700 "$work/runtime"

source "$root/scripts/local_site.sh"
start_local_site "$root"
write_local_preferences

Xvfb -displayfd 3 -noreset -screen 0 800x600x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

# The presenter's slide: a bar chart on a light background, drawn as a plain PPM picture.
/usr/bin/python3 - "$work/slide.ppm" <<'EOF'
import sys
w, h = 520, 340
pixels = bytearray([246, 244, 238] * (w * h))
def box(x0, y0, x1, y1, colour):
    for y in range(y0, y1):
        for x in range(x0, x1):
            pixels[3 * (y * w + x):3 * (y * w + x) + 3] = bytes(colour)
box(0, 0, w, 46, (31, 58, 147))
box(40, 300, 480, 303, (90, 90, 90))
for i, (height, colour) in enumerate([(120, (140, 168, 224)), (170, (31, 58, 147)),
                                      (90, (208, 16, 16)), (210, (32, 176, 64))]):
    box(70 + i * 105, 300 - height, 140 + i * 105, 300, colour)
open(sys.argv[1], "wb").write(b"P6\n%d %d\n255\n" % (w, h) + pixels)
EOF
display -title "Slide" -geometry +220+150 "$work/slide.ppm" >/dev/null 2>&1 &
pids+=($!)
XDG_CONFIG_HOME="$work/config" TMPDIR="$work/tmp" XDG_RUNTIME_DIR="$work/runtime" \
  "$binary" >"$work/velmora.log" 2>&1 &
pids+=($!)

main=""
for _ in $(seq 150); do
  main=$(xdotool search --onlyvisible --name '^Velmora$' 2>/dev/null | head -n 1 || true)
  [ -n "$main" ] && [ -s "$work/www/demo/Velmora.htm" ] && break
  sleep 0.1
done
[ -n "$main" ] || { echo "pictures: no main window" >&2; exit 1; }
# Only a changing screen is sent: the slide moves twice, so that the spectators' picture shows the
# panel with a running count rather than the start.
slide=$(xdotool search --onlyvisible --name '^Slide$' 2>/dev/null | head -n 1 || true)
for x in 230 220; do
  sleep 1.5
  [ -z "$slide" ] || xdotool windowmove --sync "$slide" "$x" 150
done
sleep 2

snap() { import -window "$1" -depth 8 -strip "$2"; }
HOME="$work/browser" DISPLAY= timeout 60 chromium --headless --no-sandbox --disable-gpu \
  --disable-quic --no-first-run --disable-background-networking --disable-component-update \
  --disable-sync --hide-scrollbars --user-data-dir="$work/browser/profile" \
  '--host-resolver-rules=MAP * ~NOTFOUND , EXCLUDE 127.0.0.1' --window-size=800,618 \
  --virtual-time-budget=4000 --screenshot="$out/viewer-page.png" \
  "http://127.0.0.1:$http_port/demo/index.htm" >/dev/null 2>&1
snap "$main" "$out/main-window.png"

# Extras -> Einstellungen, as a presenter opens it.
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove --sync $((X + 65)) $((Y + 9)) click 1
sleep 0.5
xdotool mousemove --sync $((X + 75)) $((Y + 31)) click 1
settings=""
for _ in $(seq 50); do
  settings=$(xdotool search --onlyvisible --name '^Einstellungen$' 2>/dev/null | head -n 1 || true)
  [ -n "$settings" ] && break
  sleep 0.1
done
[ -n "$settings" ] || { echo "pictures: the settings window did not open" >&2; exit 1; }
sleep 0.5
snap "$settings" "$out/settings-window.png"
ls -l "$out"/main-window.png "$out"/settings-window.png "$out"/viewer-page.png
