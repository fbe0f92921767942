#!/usr/bin/env bash
# Shared set-up of run.sh and test.sh: install the Debian packages that are
# missing, configure into build/ and build with two jobs (everything, or the
# targets named).
set -euo pipefail

readonly kPackages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev qt6-translations-l10n
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-libav gstreamer1.0-pulseaudio gstreamer1.0-alsa
  timgm6mb-soundfont
  libcdio-dev libcdio-paranoia-dev
  fonts-ipafont-gothic
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth imagemagick x11-utils xdotool
  desktop-file-utils appstream shared-mime-info libglib2.0-bin dpkg-dev file
  dbus-daemon playerctl
)

InstallMissing() {
  local missing=()
  local p
  for p in "${kPackages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# ConfigureAndBuild <root> [target...]: builds the targets named, or everything.
ConfigureAndBuild() {
  local root="$1"
  shift
  if [ ! -f "$root/build/build.ninja" ]; then
    cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  fi
  local targets=()
  [ $# -eq 0 ] || targets=(--target "$@")
  cmake --build "$root/build" -j2 "${targets[@]}"
}
