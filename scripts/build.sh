#!/usr/bin/env bash
# Builds the three launchers (dist/win32, dist/win64, dist/linux-x86_64), the
# console flavours of the Windows ones, the branding tool and the test
# programs, prints the executables' sizes and, when every launcher is there,
# leaves the release archive dist/java-launcher-VERSION.zip.
set -euo pipefail
cd "$(dirname "$0")/.."
presets=("$@")
[ "${#presets[@]}" -gt 0 ] || presets=(win32 win64 linux linux-sanitize)
mkdir -p build
for preset in "${presets[@]}"; do
  log="build/$preset.log"
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset"; } >"$log" 2>&1; then
    cat "$log"
    echo "build of $preset failed" >&2
    exit 1
  fi
  grep -E 'warning' "$log" || true
done
# The release archive, once every launcher is built.
version=$(sed -n 's/^project(launcher VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
release="java-launcher-$version"
files=(win32/launcher.exe win32/launcherc.exe win64/launcher.exe win64/launcherc.exe win64/brand.exe
  linux-x86_64/launcher linux-x86_64/brand)
if ( cd dist && ls "${files[@]}" >/dev/null 2>&1 ); then
  staging="build/release/$release"
  rm -rf build/release "dist/$release.zip"
  mkdir -p "$staging"
  for file in "${files[@]}"; do
    mkdir -p "$staging/$(dirname "$file")"
    cp -p "dist/$file" "$staging/$file"
  done
  cp resources/launcher.ini "$staging/launcher.ini"
  sed "s/@VERSION@/$version/" resources/release/README.txt | sed 's/$/\r/' >"$staging/README.txt"
  ( cd build/release && cmake -E tar cf "../../dist/$release.zip" --format=zip "$release" )
fi

echo "Executable sizes (bytes):"
for exe in dist/win32/launcher.exe dist/win32/launcherc.exe dist/win64/launcher.exe dist/win64/launcherc.exe \
  dist/win64/brand.exe dist/linux-x86_64/launcher dist/linux-x86_64/brand; do
  if [ -f "$exe" ]; then printf '  %-28s %7d\n' "$exe" "$(stat -c %s "$exe")"; fi
done
if [ -f "dist/$release.zip" ]; then echo "Release archive: dist/$release.zip"; fi
