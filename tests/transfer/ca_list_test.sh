#!/usr/bin/env bash
# Runs the Windows test program of the shipped certificate authorities (ca_list_session_test.cpp)
# under Wine against three FTPS servers on 127.0.0.1 (scripts/ftp_server.py, explicit TLS), each
# reached as "localhost": one whose certificate a test authority signed for localhost, one
# self-signed, and one the authority signed for another name. (mbedTLS 2 matches only DNS names
# in a certificate, never an IP address: a server reached by address always comes to the
# presenter's question.) The program runs from a folder of its own with cacert.pem beside it:
# the shipped list with the test authority added, as a list with a real authority in it.
#   ca_list_test.sh WINE_RUN PREFIX TEST_PROGRAM CA_LIST FTP_SERVER_SCRIPT
set -euo pipefail
wine_run=$1 prefix=$2 program=$3 ca_list=$4 ftp_server=$5
work=$(mktemp -d)
servers=()
cleanup() {
  for pid in "${servers[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

quiet() { "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }; }
new_key() { quiet openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes "$@"; }
quiet openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 \
  -subj '/CN=Velmora Test CA' -addext basicConstraints=critical,CA:TRUE \
  -addext keyUsage=critical,keyCertSign,cRLSign -keyout ca.key -out ca.crt
signed() { # NAME DNS-OR-IP-NAME
  new_key -subj "/CN=${2#*:}" -keyout "$1.key" -out "$1.csr"
  printf 'subjectAltName=%s\nextendedKeyUsage=serverAuth\n' "$2" >"$1.ext"
  quiet openssl x509 -req -in "$1.csr" -CA ca.crt -CAkey ca.key -CAcreateserial -days 2 \
    -extfile "$1.ext" -out "$1.crt"
  cat "$1.crt" "$1.key" >"$1.pem"
}
signed signed DNS:localhost
signed other-name DNS:ftp.example.com
new_key -x509 -days 2 -subj /CN=localhost -addext subjectAltName=DNS:localhost \
  -keyout self-signed.key -out self-signed.crt
cat self-signed.crt self-signed.key >self-signed.pem

serve() { # VARIABLE CERTIFICATE
  mkdir "root-$2"
  # Debian's interpreter, which has pyftpdlib; another python3 first on PATH may not.
  /usr/bin/python3 "$ftp_server" --root "root-$2" --user presenter --password s3cret --tls explicit \
    --cert "$2.pem" --log "$2.log" >"$2.out" 2>&1 &
  servers+=($!)
  for _ in $(seq 100); do
    grep -q '^PORT ' "$2.out" 2>/dev/null && break
    sleep 0.1
  done
  local port
  port=$(sed -n 's/^PORT //p' "$2.out")
  [ -n "$port" ] || { cat "$2.out" >&2; exit 1; }
  export "$1=ftpes://localhost:$port"
}
serve VELMORA_FTPS_SIGNED signed
serve VELMORA_FTPS_SELF_SIGNED self-signed
serve VELMORA_FTPS_OTHER_NAME other-name

mkdir program
cp "$program" program/
cat "$ca_list" ca.crt >program/cacert.pem
"$wine_run" "$prefix" "program/$(basename "$program")"
# The verified upload arrived whole.
[ "$(stat -c %s root-signed/p.png 2>/dev/null)" = 100000 ] ||
  { echo "the upload to the verified server did not arrive" >&2; exit 1; }
# The refused servers never saw the login, which the logs show for the verified one.
grep -q '^USER presenter' signed.log || { echo "no login in the verified server's log" >&2; exit 1; }
if grep -E '^(CLEAR )?(USER|PASS)' self-signed.log other-name.log; then
  echo "a login went to a server whose certificate did not verify" >&2
  exit 1
fi
