#!/usr/bin/env bash
# Builds everything and runs every test: unit tests (plain and with ASan and
# UBSan), the Windows executable under Wine, static checks of the Windows
# executables, and the Linux launcher against the installed JVMs.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh || exit 1
scripts/build.sh || exit 1

passed=0
failed=0
count_ctest() { # "100% tests passed, 0 tests failed out of 57"
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -1)
  [ -n "$line" ] || { failed=$((failed + 1)); return; }
  local bad total
  bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + total - bad)); failed=$((failed + bad))
}
count_pytest() { # "3 failed, 40 passed in 12.3s"
  local line
  line=$(grep -E '^=*.*[0-9]+ (passed|failed|error)' "$1" | tail -1)
  [ -n "$line" ] || { failed=$((failed + 1)); return; }
  local p f e
  p=$(grep -oE '[0-9]+ passed' <<<"$line" | grep -oE '[0-9]+' || echo 0)
  f=$(grep -oE '[0-9]+ failed' <<<"$line" | grep -oE '[0-9]+' || echo 0)
  e=$(grep -oE '[0-9]+ errors?' <<<"$line" | grep -oE '[0-9]+' || echo 0)
  passed=$((passed + p)); failed=$((failed + f + e))
}

mkdir -p build/test-output build/locale
# A double-byte locale whose second bytes include 0x5C, for the character-stepping tests.
[ -d build/locale/zh_CN.GBK ] || localedef -c -i zh_CN -f GBK build/locale/zh_CN.GBK >/dev/null 2>&1
export LOCPATH="$PWD/build/locale"
for preset in linux linux-sanitize; do
  echo "== unit tests ($preset)"
  ctest --preset "$preset" 2>&1 | tee "build/test-output/ctest-$preset.log" | tail -3
  count_ctest "build/test-output/ctest-$preset.log"
done

unset LOCPATH

echo "== static checks of the Windows executables"
/usr/bin/python3 -m pytest -q tests/static 2>&1 | tee build/test-output/static.log | tail -3
count_pytest build/test-output/static.log

echo "== Windows launcher under Wine"
xvfb-run -a -s "-screen 0 1024x768x24" /usr/bin/python3 -m pytest -q tests/windows 2>&1 \
  | tee build/test-output/windows.log | tail -15
count_pytest build/test-output/windows.log

echo "== Linux launcher with real JVMs"
/usr/bin/python3 -m pytest -q tests/linux 2>&1 | tee build/test-output/linux.log | tail -15
count_pytest build/test-output/linux.log

echo
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
