#!/usr/bin/env bash
# Every test: the native build's tests, then the Windows build's tests under
# Wine in a virtual X display.  Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
. tools/env.sh

# The long runs (random schedules, a simulated month) run on their own, so
# that their figures show.
long='^(Schedules|Month)\.'
cmake --preset native
cmake --build --preset native
ctest --preset native -E "$long"
build/native/tests/qm_tests --gtest_filter='Schedules.*:Month.*'

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer; of
# the long runs a tenth of the schedules.
cmake --preset native-asan
cmake --build --preset native-asan
ctest --preset native-asan -E "$long"
QM_SCHEDULES=1000 build/native-asan/tests/qm_tests --gtest_filter='Schedules.*'

# The fuzzers, each for a bounded number of runs (QM_FUZZ_RUNS).
tools/fuzz.sh

# The product is always built: the Windows tests check it too.
build_windows

# The release zip, built once from these sources (always the 32-bit product),
# checked as a user gets it; the Wine tests run whatever it says.
release=0
{ tools/release.sh && tests/e2e/check_release.sh; } || release=1

# The tests' own Wine prefix: a demo running meanwhile has another.
export QM_WINEPREFIX=$PWD/build/$QM_WINE_PRESET/wineprefix-tests
prepare_prefix "$QM_WINEPREFIX"
status=0
xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset "$QM_WINE_PRESET" || status=$?
end_prefix "$QM_WINEPREFIX"
[ $release -eq 0 ] || { echo "the release zip failed its check (above)"; status=1; }
exit $status
