#!/usr/bin/env bash
# Runs a presentation on this machine: a local FTP server and a web server on 127.0.0.1, a
# private preference file pointing at them, and Velmora started with the presentation running.
# Spectators open the printed address in any browser. Everything stops when Velmora ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
binary="$root/build/velmora"

if [ ! -x "$binary" ]; then
  echo "demo: building Velmora first"
  bash "$root/scripts/install-deps.sh"
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

free_port() {
  /usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'
}

wait_for_port() {
  for _ in $(seq 100); do
    if /usr/bin/python3 -c "import socket,sys; socket.create_connection(('127.0.0.1',$1),0.2)" 2>/dev/null; then
      return 0
    fi
    sleep 0.1
  done
  echo "demo: no server on port $1" >&2
  return 1
}

mkdir -p "$work/www/demo" "$work/config/Velmora" "$work/tmp" "$work/runtime"
chmod 700 "$work/runtime"

ftp_port=$(free_port)
/usr/bin/python3 -m pyftpdlib -i 127.0.0.1 -p "$ftp_port" -w -d "$work/www" >"$work/ftp.log" 2>&1 &
pids+=($!)
http_port=$(free_port)
/usr/bin/python3 -m http.server --bind 127.0.0.1 --directory "$work/www" "$http_port" >"$work/http.log" 2>&1 &
pids+=($!)
wait_for_port "$ftp_port"
wait_for_port "$http_port"

# Anonymous login: no user name and no password are stored.
printf '%s\r\n' \
  "SettingVersion=2" \
  "FTPServerName=127.0.0.1:$ftp_port" \
  "FTPWebDir=" \
  "FTPSubDir=demo/" \
  "LizenzSite=http://127.0.0.1:$http_port/" \
  "PauseSeconds=0" \
  "RemoteMousePointer=1" \
  "Force256=0" \
  "ForceDownscale=0" \
  "AutostartPresentation=1" \
  "ScreenRegion=" \
  "BrowserRefresh=1000" \
  "InternetRetryTime=30" >"$work/config/Velmora/Velmora.prf"
chmod 600 "$work/config/Velmora/Velmora.prf"

if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 200 240); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      pids+=($!)
      for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
      export DISPLAY=":$n"
      echo "demo: no display found, presenting the virtual display $DISPLAY"
      break
    fi
  done
fi

echo "demo: FTP server  ftp://127.0.0.1:$ftp_port/ (anonymous), files in $work/www"
echo "demo: spectators open  http://127.0.0.1:$http_port/demo/index.htm"
echo "demo: close Velmora (Exit) to stop the demo"

XDG_CONFIG_HOME="$work/config" TMPDIR="$work/tmp" XDG_RUNTIME_DIR="$work/runtime" "$binary"
