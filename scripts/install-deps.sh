#!/usr/bin/env bash
# Installs what is needed to build, run, test and benchmark Velmora on Debian.
# Idempotent and non-interactive; safe to run on every CI start.
#   scripts/install-deps.sh [--list] [build] [demo] [check] [test]
# Without a group everything is installed. build: building the program and its package; demo:
# running scripts/demo.sh; check: its --check; test: the test suite and the benchmarks.
# --list prints the packages of those groups that are missing, one line, and installs nothing.
set -euo pipefail

build_packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-wayland
  libcurl4-openssl-dev libssl-dev openssl libpng-dev zlib1g-dev
  libfreeimage3 libfreeimage-dev
  libx11-dev libxext-dev libxfixes-dev libxdamage-dev libxi-dev libxtst-dev
  libcrypt-dev libpipewire-0.3-dev libwayland-dev
  fonts-liberation fontconfig python3 python3-markdown
)
demo_packages=(python3-pyftpdlib xvfb xauth xdotool x11-utils)
check_packages=(imagemagick chromium)
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  faketime python3-openssl pure-ftpd openssh-server openssh-client
  apache2 apache2-utils curl nginx
  sway xwayland x11-xserver-utils xdg-desktop-portal xdg-desktop-portal-wlr pipewire pipewire-bin wireplumber dbus
  libglib2.0-bin
  lintian desktop-file-utils appstream librsvg2-bin
  clang libclang-rt-14-dev
)

list=0
groups=()
for argument in "$@"; do
  case $argument in
    --list) list=1 ;;
    build | demo | check | test) groups+=("$argument") ;;
    *) echo "usage: $0 [--list] [build] [demo] [check] [test]" >&2; exit 2 ;;
  esac
done
[ ${#groups[@]} -gt 0 ] || groups=(build demo check test)
packages=()
for group in "${groups[@]}"; do
  declare -n group_packages="${group}_packages"
  packages+=("${group_packages[@]}")
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ $list = 1 ]; then
  echo "${missing[*]}"
  exit 0
fi
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
