#!/bin/sh
# A headless Wayland desktop with the ScreenCast portal, for tests: sway (as an unprivileged
# user, since it refuses root), PipeWire, WirePlumber, the permission store, the wlroots portal
# backend and xdg-desktop-portal, in this order, each awaited before the next needs it. Runs
# inside its own private session bus (dbus-run-session) and stays until it is killed; the caller
# ends the whole process group.
#   wayland_session.sh FOLDER SHIM WIDTH HEIGHT
# FOLDER (already there, reachable by every user) receives the logs and, once everything runs,
# "ready" with the environment for clients; or "failed" with the reason.
set -u
folder=$1
shim=$2
width=$3
height=$4

fail() {
  echo "$1" >"$folder/failed.tmp" && mv "$folder/failed.tmp" "$folder/failed"
  exit 1
}

# Waits up to ten seconds for a command to succeed.
await() {
  what=$1
  shift
  tries=0
  until "$@" >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ $tries -ge 200 ] && fail "$what"
    sleep 0.05
  done
}

bus_has() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner "string:$1" | grep -q 'boolean true'
}

# sway runs as nobody, with a home and runtime folder of its own.
desk="$folder/desk"
mkdir -p "$desk/home/.config/sway" "$desk/run"
chmod 700 "$desk/run"
cat >"$desk/home/.config/sway/config" <<EOF
output HEADLESS-1 mode ${width}x${height} position 0 0 bg #102030 solid_color
default_border none
default_floating_border none
xwayland enable
exec sh -c 'xhost +si:localuser:root >"$desk/xhost.log" 2>&1 && echo "\$DISPLAY" >"$desk/display.tmp" && mv "$desk/display.tmp" "$desk/display"'
EOF
chown -R 65534:65534 "$desk"

env -i PATH="$PATH" HOME="$desk/home" XDG_RUNTIME_DIR="$desk/run" \
  XDG_CONFIG_HOME="$desk/home/.config" \
  WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
  setpriv --reuid=65534 --regid=65534 --clear-groups \
  sway -c "$desk/home/.config/sway/config" >"$folder/sway.log" 2>&1 &

await "sway made no Wayland socket (see sway.log)" sh -c "ls '$desk/run' | grep -q '^wayland-[0-9]*\$'"
socket=$(ls "$desk/run" | grep '^wayland-[0-9]*$' | head -n 1)
export WAYLAND_DISPLAY="$desk/run/$socket"
await "Xwayland did not let root in (see sway.log, desk/xhost.log)" test -s "$desk/display"
export DISPLAY="$(cat "$desk/display")"

# Everything else runs as root with a runtime folder of its own.
export XDG_RUNTIME_DIR="$folder/run"
export XDG_CONFIG_HOME="$folder/config"
export XDG_CURRENT_DESKTOP=sway
export XDG_SESSION_TYPE=wayland
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/xdg-desktop-portal-wlr"
chmod 700 "$XDG_RUNTIME_DIR"
printf '[screencast]\nchooser_type=none\noutput_name=HEADLESS-1\n' \
  >"$XDG_CONFIG_HOME/xdg-desktop-portal-wlr/config"

pipewire >"$folder/pipewire.log" 2>&1 &
await "PipeWire made no socket (see pipewire.log)" test -S "$XDG_RUNTIME_DIR/pipewire-0"
wireplumber >"$folder/wireplumber.log" 2>&1 &

# A private bus starts nothing on demand: the store that keeps restore tokens comes by hand.
/usr/libexec/xdg-permission-store --replace >"$folder/permission-store.log" 2>&1 &
await "the permission store did not come up (see permission-store.log)" \
  bus_has org.freedesktop.impl.portal.PermissionStore

LD_PRELOAD="$shim" /usr/libexec/xdg-desktop-portal-wlr -l DEBUG >"$folder/portal-wlr.log" 2>&1 &
echo $! >"$folder/portal-wlr.pid"
await "the wlroots portal did not come up (see portal-wlr.log)" \
  bus_has org.freedesktop.impl.portal.desktop.wlr

/usr/libexec/xdg-desktop-portal --replace >"$folder/portal.log" 2>&1 &
await "xdg-desktop-portal did not come up (see portal.log)" bus_has org.freedesktop.portal.Desktop

cat >"$folder/ready.tmp" <<EOF
DBUS_SESSION_BUS_ADDRESS=$DBUS_SESSION_BUS_ADDRESS
WAYLAND_DISPLAY=$WAYLAND_DISPLAY
DISPLAY=$DISPLAY
XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR
XDG_CURRENT_DESKTOP=sway
XDG_SESSION_TYPE=wayland
SWAYSOCK=$(ls "$desk/run"/sway-ipc.*.sock 2>/dev/null | head -n 1)
EOF
mv "$folder/ready.tmp" "$folder/ready"
wait
