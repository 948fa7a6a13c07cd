#!/usr/bin/env bash
# The fuzz layer of scripts/test.sh, which runs alone as well: builds every
# libFuzzer target, the launcher's in build/launcher-fuzz as
# scripts/fuzz_launcher.sh builds them and the branding tool's in
# build/brand-fuzz as scripts/fuzz_brand.sh does, and runs each for a few
# seconds from its fixed seeds alone (the launcher's in
# tests/fuzz/launcher/seeds, the tool's made by tests/fuzz/brand/make_seeds.py
# without launchers). A target passes when it finds nothing; what one finds,
# and every target's log, are kept in OUTPUT_DIR. Ends with the line
# "N passed, N failed".
#
#   scripts/fuzz_check.sh [OUTPUT_DIR]     (build/test-output/fuzz)
set -uo pipefail
cd "$(dirname "$0")/.."
output=${1:-build/test-output/fuzz}
seconds=5
# Enough that a fast target stops before its time is up.
runs=500000
launcher_targets=(inflate jar_file jar_manifest argument_file java_options settings_file bitmap_file handover)
brand_targets=(brand_executable resource_tree manifest version_record icon)
declare -A max_len=([inflate]=4096 [jar_file]=16384 [jar_manifest]=20000 [argument_file]=12288
  [java_options]=4096 [settings_file]=4096 [bitmap_file]=4096 [handover]=4096 [brand_executable]=262144 [resource_tree]=65536
  [manifest]=65536 [version_record]=65536 [icon]=131072)
passed=0 failed=0 building=0
rm -rf "$output"
mkdir -p "$output"

build() { # SOURCE_DIR BUILD_DIR [CMAKE_OPTION...]
  local log="$output/build-${2##*/}.log" start=$SECONDS status
  mkdir -p "$2"
  cmake -S "$1" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ "${@:3}" >"$log" 2>&1 &&
    cmake --build "$2" -j2 >>"$log" 2>&1
  status=$?
  building=$((building + SECONDS - start))
  [ "$status" -ne 0 ] || return 0
  tail -n 20 "$log"
  echo "fuzz build in $2 failed (is clang installed? scripts/install-deps.sh installs it): see $log"
  return 1
}

run() { # NAME EXECUTABLE SEEDS MAX_LEN [LIBFUZZER_OPTION...]
  local name=$1 file=${1//\//-} status execs findings
  local log="$output/$file.log" corpus="$output/corpus/$file"
  mkdir -p "$corpus"
  # New inputs go to a scratch corpus, so that every run starts from the same seeds.
  "$2" "$corpus" "$3" -max_total_time="$seconds" -runs="$runs" -max_len="$4" -rss_limit_mb=1024 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$output/$file-" "${@:5}" >"$log" 2>&1
  status=$?
  rm -rf "$corpus"
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  findings=$(find "$output" -maxdepth 1 -name "$file-*" | wc -l)
  if [ "$status" -eq 0 ] && [ "$findings" -eq 0 ]; then
    passed=$((passed + 1))
    printf 'passed %-24s %9s runs\n' "$name" "${execs:-?}"
  else
    failed=$((failed + 1))
    printf 'FAILED %-24s %9s runs, exit %d: see %s\n' "$name" "${execs:-?}" "$status" "$log"
    grep -E 'ERROR|broken promise|SUMMARY|Test unit written' "$log" | head -5
  fi
}

failed_all() { # NAME...
  for name in "$@"; do
    failed=$((failed + 1))
    echo "FAILED $name: not built"
  done
}

mkdir -p build/locale
[ -d build/locale/zh_CN.GBK ] || localedef -c -i zh_CN -f GBK build/locale/zh_CN.GBK >/dev/null 2>&1
export LOCPATH="$PWD/build/locale"

launcher=build/launcher-fuzz sources=tests/fuzz/launcher
if build "$sources" "$launcher"; then
  for target in "${launcher_targets[@]}"; do
    dictionary=()
    [ -f "$sources/$target.dict" ] && dictionary=(-dict="$sources/$target.dict")
    run "launcher/$target" "$launcher/${target}_fuzz" "$sources/seeds/$target" "${max_len[$target]}" "${dictionary[@]}"
  done
else
  failed_all "${launcher_targets[@]/#/launcher/}"
fi

brand=build/brand-fuzz
if build tools/brand "$brand" -DBRAND_FUZZ=ON && python3 tests/fuzz/brand/make_seeds.py "$brand/fixed-seeds"; then
  for target in "${brand_targets[@]}"; do
    mkdir -p "$brand/fixed-seeds/$target"
    run "brand/$target" "$brand/fuzz/${target}_fuzz" "$brand/fixed-seeds/$target" "${max_len[$target]}"
  done
else
  failed_all "${brand_targets[@]/#/brand/}"
fi
rmdir "$output/corpus" 2>/dev/null

echo "fuzz layer: ${SECONDS}s, ${building}s of it building"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
