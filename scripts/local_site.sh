# Sourced by scripts/demo.sh and scripts/tools/make_readme_pictures.sh: a presenter's web site on
# this machine. An FTP server and a web server on 127.0.0.1 share the folder "$work/www", and a
# private preference file points Velmora at them with an anonymous login and "demo/" as the
# presentation folder. The caller owns "$work" and the array "pids", which its cleanup kills.

# Waits (bounded) until something accepts connections on 127.0.0.1:$1.
wait_for_port() {
  for _ in $(seq 100); do
    if /usr/bin/python3 -c "import socket; socket.create_connection(('127.0.0.1',$1),0.2)" 2>/dev/null; then
      return 0
    fi
    sleep 0.1
  done
  echo "no server on port $1" >&2
  return 1
}

# Waits (bounded) for the line "PORT <n>" that the FTP server prints once it listens.
announced_port() {
  local port
  for _ in $(seq 200); do
    port=$(sed -n 's/^PORT \([0-9]*\)$/\1/p' "$1")
    if [ -n "$port" ]; then echo "$port"; return 0; fi
    sleep 0.1
  done
  echo "the FTP server did not start: $(cat "$1")" >&2
  return 1
}

# Starts both servers and sets ftp_port and http_port.
start_local_site() {
  local root=$1
  mkdir -p "$work/www/demo" "$work/config/Velmora"
  /usr/bin/python3 "$root/scripts/ftp_server.py" --port 0 --root "$work/www" >"$work/ftp.out" 2>&1 &
  pids+=($!)
  ftp_port=$(announced_port "$work/ftp.out")
  http_port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  /usr/bin/python3 -m http.server --bind 127.0.0.1 --directory "$work/www" "$http_port" >"$work/http.log" 2>&1 &
  pids+=($!)
  wait_for_port "$http_port"
}

# Writes the preference file. One second between pictures keeps the demo from sending tens of
# pictures a second over loopback, which no spectator can follow.
write_local_preferences() {
  printf '%s\r\n' \
    "SettingVersion=2" \
    "FTPServerName=127.0.0.1:$ftp_port" \
    "FTPWebDir=" \
    "FTPSubDir=demo/" \
    "LizenzSite=http://127.0.0.1:$http_port/" \
    "PauseSeconds=1" \
    "RemoteMousePointer=1" \
    "Force256=0" \
    "ForceDownscale=0" \
    "AutostartPresentation=1" \
    "ScreenRegion=" \
    "BrowserRefresh=1000" \
    "InternetRetryTime=30" >"$work/config/Velmora/Velmora.prf"
  chmod 600 "$work/config/Velmora/Velmora.prf"
}
