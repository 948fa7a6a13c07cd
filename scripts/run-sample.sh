#!/usr/bin/env bash
# Builds the Linux launcher and the sample application of examples/sample,
# puts them together in build/sample/ (the launcher as "sample" beside
# sample.ini and sample.jar) and starts the sample through the launcher with a
# few arguments. Works from any directory; needs root for the packages.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh linux

out=build/sample
rm -rf "$out"
mkdir -p "$out/classes"
mapfile -t sources < <(find examples/sample -name '*.java')
# Release 11 so that any installed runtime from 11 on can run it.
javac --release 11 -d "$out/classes" "${sources[@]}"
jar --create --file "$out/sample.jar" -C "$out/classes" .
cp dist/linux-x86_64/launcher "$out/sample"
cp examples/sample/sample.ini "$out/sample.ini"
python3 examples/sample/make_splash.py "$out/splash.bmp"

# The class path in sample.ini names the launcher's own directory (%APPDIR%),
# so the sample starts from any current directory. The arguments below are
# written in UTF-8, so the sample runs in a UTF-8 locale.
echo "\$ $out/sample plain \"two words\" café \"Grüße €\""
status=0
LC_ALL=C.UTF-8 "$out/sample" plain "two words" café "Grüße €" || status=$?
echo "exit code: $status"
exit "$status"
