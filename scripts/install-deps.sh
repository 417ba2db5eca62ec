#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
# Run as root on a fresh Debian 12 machine; as another user it only reports.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config make
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libx11-dev libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri libegl-mesa0
  libopenal-dev libvorbis-dev libogg-dev
  libpng-dev zlib1g-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core
  xvfb xauth
  # 14 on Debian 12, the version the tree is formatted with (make check-format).
  clang-format
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
  echo "Missing Debian packages (install them as root): ${missing[*]}" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
