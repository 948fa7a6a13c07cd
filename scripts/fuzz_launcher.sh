#!/usr/bin/env bash
# Builds the launcher's libFuzzer targets (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer; tests/fuzz/launcher) in build/launcher-fuzz and
# runs each for a bounded time; scripts/test.sh runs them only briefly. Each
# starts from its fixed seeds (tests/fuzz/launcher/seeds) and the corpus it
# grew before, in build/launcher-fuzz/corpus; what a target finds lands in
# build/launcher-fuzz/findings/TARGET/ with the run's log beside it.
#
#   scripts/fuzz_launcher.sh [SECONDS_PER_TARGET [TARGET...]]
#   scripts/fuzz_launcher.sh 300 jar_file inflate
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift $(($# > 0 ? 1 : 0))
targets=("$@")
[ "${#targets[@]}" -gt 0 ] ||
  targets=(inflate jar_file jar_manifest argument_file java_options settings_file bitmap_file handover)
build=build/launcher-fuzz
sources=tests/fuzz/launcher

mkdir -p "$build"
cmake -S "$sources" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  >"$build.log" 2>&1 &&
  cmake --build "$build" -j2 >>"$build.log" 2>&1 || { cat "$build.log"; echo "fuzz build failed" >&2; exit 1; }
# The argument file splitter steps through GBK characters, whose second byte may be a backslash.
mkdir -p build/locale
[ -d build/locale/zh_CN.GBK ] || localedef -c -i zh_CN -f GBK build/locale/zh_CN.GBK >/dev/null 2>&1
export LOCPATH="$PWD/build/locale"

# Inputs larger than these make slow runs and find nothing the smaller ones do
# not; an argument file and a manifest reach past java's 4 and 8 KiB buffers.
declare -A max_len=([inflate]=4096 [jar_file]=16384 [jar_manifest]=20000 [argument_file]=12288
  [java_options]=4096 [settings_file]=4096 [bitmap_file]=4096 [handover]=4096)
found=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target" findings="$build/findings/$target" log="$build/findings/$target.log"
  dictionary=()
  [ -f "$sources/$target.dict" ] && dictionary=(-dict="$sources/$target.dict")
  mkdir -p "$corpus" "$findings"
  # A run over the memory or time limit is a finding too.
  "$build/${target}_fuzz" "$corpus" "$sources/seeds/$target" "${dictionary[@]}" -max_total_time="$seconds" \
    -max_len="${max_len[$target]}" -rss_limit_mb=1024 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$findings/" >"$log" 2>&1
  status=$?
  # A run that finds something states its figures twice.
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  count=$(find "$findings" -type f | wc -l)
  printf '%-14s %10s runs in %ss (%s/s), %s finding(s), corpus %s inputs\n' "$target" "${execs:-?}" "$seconds" \
    "${speed:-?}" "$count" "$(find "$corpus" -type f | wc -l)"
  if [ "$status" -ne 0 ] || [ "$count" -ne 0 ]; then
    found=1
    grep -E 'ERROR|broken promise|SUMMARY' "$log" | head -5
  fi
done
exit "$found"
