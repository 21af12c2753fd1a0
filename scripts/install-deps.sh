#!/usr/bin/env bash
# Installs everything needed to build, run, test and benchmark Velmora on Debian.
# Idempotent and non-interactive; safe to run on every CI start.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6svg6
  libgtest-dev libgmock-dev libbenchmark-dev
  libcurl4-openssl-dev libssl-dev openssl libpng-dev zlib1g-dev
  libfreeimage3 libfreeimage-dev
  libx11-dev libxext-dev libxfixes-dev libxdamage-dev libxi-dev libxtst-dev
  libcrypt-dev
  xvfb xauth xdotool x11-utils imagemagick faketime
  fonts-liberation fontconfig
  python3 python3-pyftpdlib python3-openssl pure-ftpd openssh-server openssh-client
  apache2 apache2-utils curl nginx
  sway xwayland x11-xserver-utils xdg-desktop-portal xdg-desktop-portal-wlr pipewire pipewire-bin wireplumber dbus
  libglib2.0-bin qt6-wayland libpipewire-0.3-dev libwayland-dev
  lintian
  chromium
  clang libclang-rt-14-dev
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#packages[@]} packages present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -o DPkg::Lock::Timeout=600
# openssh-server's and nginx's init scripts would start system servers on ports 22 and 80; the
# tests and benchmarks start only their own. A policy-rc.d that refuses every start keeps them
# down during the install; the machine's own policy, if it had one, comes back afterwards.
policy=/usr/sbin/policy-rc.d
saved=""
if [ -e "$policy" ]; then
  saved=$(mktemp)
  $SUDO cp -p "$policy" "$saved"
fi
restore_policy() {
  if [ -n "$saved" ]; then
    $SUDO cp -p "$saved" "$policy"
    rm -f "$saved"
  else
    $SUDO rm -f "$policy"
  fi
}
trap restore_policy EXIT
printf '#!/bin/sh\nexit 101\n' | $SUDO tee "$policy" >/dev/null
$SUDO chmod 755 "$policy"
$SUDO apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=600 "${missing[@]}"
