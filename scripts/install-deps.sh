#!/usr/bin/env bash
# Installs what building and testing the launcher needs on Debian 12 (as root).
# Where the machine runs 32-bit x86 programs, also the 32-bit half of Wine,
# so that the 32-bit launcher can be tested too.
set -euo pipefail
cd "$(dirname "$0")/.."
packages=(
  cmake ninja-build g++ python3 python3-pytest python3-pytest-timeout python3-pefile
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  wine wine64 xvfb xauth imagemagick
  openjdk-17-jdk-headless openjfx libgtest-dev locales
  # The fuzz targets: clang with libFuzzer and the sanitizers' runtimes (which
  # clang only recommends), llvm-symbolizer (in llvm), which puts function
  # names and lines into the sanitizers' reports, and zlib to check the
  # inflater against.
  clang libclang-rt-dev llvm zlib1g-dev
)
export DEBIAN_FRONTEND=noninteractive

install() {
  local missing=() package
  for package in "$@"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
  done
  if [ "${#missing[@]}" -gt 0 ] || [ "${CI:-}" = true ]; then
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "$@" >/dev/null
  fi
}

install "${packages[@]}"
# wine64 alone has no "wine" command; the package "wine" brings it.
if ! command -v wine >/dev/null; then
  echo "install-deps: the wine command is missing after installing the wine package" >&2
  exit 1
fi

if reason=$(scripts/can-run-32-bit.sh); then
  # wine32 makes a WoW64 Wine that runs the 32-bit and the 64-bit launcher.
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  install wine32:i386
else
  echo "install-deps: no wine32: $reason"
fi
