#!/usr/bin/env bash
# Installs the Debian packages Quillbar needs to build, test and run.
# Does nothing when everything is present; uses sudo when not run as root.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config make clang
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev qt6-image-formats-plugins
  qt6-qpa-plugins libqt6svg6
  libxcb1-dev libxcb-keysyms1-dev libxcb-xtest0-dev libxcb-screensaver0-dev
  libxcb-randr0-dev libxcb-dpms0-dev libxcb-ewmh-dev libxcb-icccm4-dev libxcb-damage0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  adwaita-icon-theme hicolor-icon-theme shared-mime-info fonts-liberation2 fonts-dejavu-core
  xdg-utils xdg-user-dirs libglib2.0-bin
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils x11-xserver-utils x11-apps xclip wmctrl openbox xcompmgr
  dbus-daemon dbus-bin dbus-x11 pulseaudio pulseaudio-utils
  python3
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
