#!/usr/bin/env bash
# Installs what building and testing the launcher needs on Debian 12 (as root).
set -euo pipefail
packages=(
  cmake ninja-build g++ python3 python3-pytest python3-pefile
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  wine64 xvfb xauth imagemagick
  openjdk-17-jdk-headless libgtest-dev locales
)
missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if [ "${#missing[@]}" -gt 0 ] || [ "${CI:-}" = true ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
fi
