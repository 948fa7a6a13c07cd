#!/usr/bin/env bash
# Builds the three launchers (dist/win32, dist/win64, dist/linux-x86_64), the
# console flavours of the Windows ones, the branding tool and the test
# programs, and prints the executables' sizes.
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
echo "Executable sizes (bytes):"
for exe in dist/win32/launcher.exe dist/win32/launcherc.exe dist/win64/launcher.exe dist/win64/launcherc.exe \
  dist/win64/brand.exe dist/linux-x86_64/launcher dist/linux-x86_64/brand; do
  if [ -f "$exe" ]; then printf '  %-28s %7d\n' "$exe" "$(stat -c %s "$exe")"; fi
done
