#!/usr/bin/env bash
# Builds everything and runs every test layer: the unit tests (plain and with
# ASan and UBSan), static checks of the Windows executables, the branding
# tool's refusals of what it cannot brand, every fuzz target briefly, the
# Windows launcher under Wine once per build (win64, win32), and the Linux
# launcher against the installed JVMs. Prints passed, failed and skipped for
# each layer and in total; fails when a test failed or a layer gave no
# result. Each layer's whole output is in build/test-output/.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh || exit 1
scripts/build.sh || exit 1

# A test that hangs fails after this many seconds (the unit tests have their
# own TIMEOUT in tests/unit). Longer than the Wine rig's own time limits, so
# that those speak first.
PYTEST_TIMEOUT=600
output=build/test-output
mkdir -p "$output" build/locale

summary=()
total_passed=0 total_failed=0 total_skipped=0 without_result=0

record() { # LAYER PASSED FAILED SKIPPED
  summary+=("$(printf '  %-28s %5d passed %5d failed %5d skipped' "$@")")
  total_passed=$((total_passed + $2)) total_failed=$((total_failed + $3))
  total_skipped=$((total_skipped + $4))
}

no_result() { # LAYER LOG
  summary+=("$(printf '  %-28s no result: see %s' "$1" "$2")")
  without_result=$((without_result + 1))
}

# A runner that failed although no test did (a crash, a bad option) gave no result.
record_checked() { # LAYER LOG STATUS PASSED FAILED SKIPPED
  if [ "$3" -ne 0 ] && [ "$5" -eq 0 ]; then no_result "$1" "$2"; else record "$1" "$4" "$5" "$6"; fi
}

count() { # WORD LINE: the number before WORD in LINE, or 0
  local n
  n=$(grep -oE "[0-9]+ $1" <<<"$2" | grep -oE '^[0-9]+') || n=0
  echo "$n"
}

ctest_layer() { # LAYER PRESET
  local layer=$1 log="$output/ctest-$2.log" status line failed total run_skipped disabled
  echo "== $layer"
  ctest --preset "$2" >"$log" 2>&1
  status=$?
  # "95% tests passed, 1 tests failed out of 20"; the total includes the tests
  # listed "(Skipped)" and leaves out those listed "(Disabled)". "Not Run" and
  # "Timeout" are failures.
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
  sed -n '/tests passed, /,$p' "$log"
  [ -n "$line" ] || { no_result "$layer" "$log"; return; }
  failed=$(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<<"$line")
  total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
  run_skipped=$(grep -cE '^\s+[0-9]+ - .+ \(Skipped\)$' "$log")
  disabled=$(grep -cE '^\s+[0-9]+ - .+ \(Disabled\)$' "$log")
  record_checked "$layer" "$log" "$status" $((total - failed - run_skipped)) "$failed" \
    $((run_skipped + disabled))
}

pytest_layer() { # LAYER LOG COMMAND...: COMMAND runs pytest on one folder
  local layer=$1 log=$2 status line retried
  shift 2
  echo "== $layer"
  "$@" -q -p no:cacheprovider --timeout="$PYTEST_TIMEOUT" >"$log" 2>&1
  status=$?
  grep -E '^(FAILED|ERROR) ' "$log"
  tail -n 2 "$log"
  # "2 failed, 40 passed, 1 skipped, 1 error in 12.3s"; "no tests ran" is no result.
  line=$(grep -E '^=* ?[0-9]+ (passed|failed|skipped|errors?)\b.* in [0-9.]+s' "$log" | tail -1)
  [ -n "$line" ] || { no_result "$layer" "$log"; return; }
  record_checked "$layer" "$log" "$status" "$(count passed "$line")" \
    $(($(count failed "$line") + $(count 'errors?' "$line"))) \
    "$(count skipped "$line")"
  # A Wine layer's line "win64: 2 Wine starts retried" goes after its counts.
  retried=$(grep -oE '^win(32|64): [0-9]+ Wine starts? retried$' "$log" | tail -1 | cut -d' ' -f2-)
  [ -z "$retried" ] || summary[${#summary[@]}-1]+="   $retried"
}

# Each fuzz target, the launcher's and the branding tool's, a few seconds from
# its fixed seeds (scripts/fuzz_check.sh, which builds them with clang): one
# test each. What a target finds is kept in build/test-output/fuzz/.
fuzz_layer() {
  local layer="fuzz targets" log="$output/fuzz.log" status line
  echo "== $layer"
  scripts/fuzz_check.sh "$output/fuzz" >"$log" 2>&1
  status=$?
  grep -E -A5 '^FAILED ' "$log"
  tail -n 2 "$log"
  line=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log" | tail -1)
  [ -n "$line" ] || { no_result "$layer" "$log"; return; }
  record_checked "$layer" "$log" "$status" "$(count passed "$line")" "$(count failed "$line")" 0
}

# A double-byte locale whose second bytes include 0x5C, for the character-stepping tests.
[ -d build/locale/zh_CN.GBK ] || localedef -c -i zh_CN -f GBK build/locale/zh_CN.GBK >/dev/null 2>&1
LOCPATH="$PWD/build/locale" ctest_layer "unit tests" linux
LOCPATH="$PWD/build/locale" ctest_layer "unit tests, sanitizers" linux-sanitize

pytest_layer "static checks" "$output/static.log" /usr/bin/python3 -m pytest tests/static
pytest_layer "branding tool" "$output/tools.log" /usr/bin/python3 -m pytest tests/tools
fuzz_layer

# Each Windows build under Wine; where the machine runs no 32-bit programs,
# the win32 session skips every test and says why in one line.
for build in win64 win32; do
  pytest_layer "Wine, $build" "$output/wine-$build.log" \
    env LAUNCHER_WINDOWS_BUILD="$build" xvfb-run -a -s "-screen 0 1024x768x24" \
    /usr/bin/python3 -m pytest tests/windows
done

pytest_layer "Linux, real JVMs" "$output/linux.log" /usr/bin/python3 -m pytest tests/linux

echo
echo "== results"
printf '%s\n' "${summary[@]}"
printf '  %-28s %5d passed %5d failed %5d skipped\n' total "$total_passed" "$total_failed" "$total_skipped"
if [ "$without_result" -gt 0 ]; then
  echo "  $without_result layer(s) gave no result"
fi
[ "$total_failed" -eq 0 ] && [ "$without_result" -eq 0 ]
