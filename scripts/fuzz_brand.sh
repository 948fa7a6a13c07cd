#!/usr/bin/env bash
# Builds the branding tool's libFuzzer targets (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build/brand-fuzz and runs each for a bounded
# time; not part of build.sh or test.sh. Seeds come from the built launchers
# in dist/ (when there) and hand-made inputs; the corpus grows in
# build/brand-fuzz/corpus, and what a target finds lands in
# build/brand-fuzz/findings/TARGET/ with the run's log beside it.
#
#   scripts/fuzz_brand.sh [SECONDS_PER_TARGET [TARGET...]]
#   scripts/fuzz_brand.sh 180 manifest icon
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift $(($# > 0 ? 1 : 0))
targets=("$@")
[ "${#targets[@]}" -gt 0 ] || targets=(brand_executable resource_tree manifest version_record icon)
build=build/brand-fuzz

cmake -S tools/brand -B "$build" -G Ninja -DBRAND_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ >"$build.log" 2>&1 &&
  cmake --build "$build" -j2 >>"$build.log" 2>&1 || { cat "$build.log"; echo "fuzz build failed" >&2; exit 1; }

launchers=()
for exe in dist/win64/launcher.exe dist/win32/launcher.exe; do [ -f "$exe" ] && launchers+=("$exe"); done
python3 tests/fuzz/brand/make_seeds.py "$build/seeds" "${launchers[@]}" || exit 1

# Inputs larger than these make slow runs and find nothing the smaller ones do not.
declare -A max_len=([brand_executable]=262144 [resource_tree]=65536 [manifest]=65536 [version_record]=65536
  [icon]=131072)
found=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target" findings="$build/findings/$target" log="$build/findings/$target.log"
  mkdir -p "$corpus" "$findings" "$build/seeds/$target"
  # A run over the memory or time limit is a finding too: the tool must stay
  # within a small multiple of its input.
  "$build/fuzz/${target}_fuzz" "$corpus" "$build/seeds/$target" -max_total_time="$seconds" \
    -max_len="${max_len[$target]}" -rss_limit_mb=1024 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$findings/" >"$log" 2>&1
  status=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  count=$(find "$findings" -type f | wc -l)
  printf '%-18s %10s runs in %ss (%s/s), %s finding(s), corpus %s inputs\n' "$target" "${execs:-?}" "$seconds" \
    "${speed:-?}" "$count" "$(find "$corpus" -type f | wc -l)"
  if [ "$status" -ne 0 ] || [ "$count" -ne 0 ]; then
    found=1
    grep -E 'ERROR|broken promise|SUMMARY' "$log" | head -5
  fi
done
exit "$found"
