#!/usr/bin/env bash
# Installs what is missing, builds both worlds and runs every test.
#   host world:    the portable core, native g++ with AddressSanitizer and UBSan
#   Windows world: the same core plus the Win32 layer and the shipped programs, under Wine
set -euo pipefail
source "$(dirname "$0")/common.sh"

corvane_install_packages

echo "== host build"
corvane_build_host
echo "== host tests"
(cd "$CORVANE_BUILD/host" && GTEST_COLOR=no ctest -j"$JOBS" --output-on-failure)

echo "== Windows build"
corvane_build_windows

# Runs the Windows-world tests that ctest selects with its arguments, in a Wine prefix and on an
# Xvfb of their own. Tests of one prefix share its registry, so they run one at a time. A test that
# fails is run once more: on a loaded machine Wine now and then fails to start a test process at
# all; a real fault fails twice.
corvane_wine_stream() {
  local name="$1"
  shift
  (
    unset DISPLAY
    export CORVANE_WINEPREFIX="$CORVANE_BUILD/wineprefix-$name"
    trap corvane_stop_wine EXIT
    corvane_start_wine
    cd "$CORVANE_BUILD/win"
    GTEST_COLOR=no ctest --output-on-failure --timeout 300 --repeat until-pass:2 "$@"
  )
}

echo "== headless view"
bash "$CORVANE_ROOT/tests/scripts/headless_view_test.sh"

echo "== Windows tests (Wine)"
# The end-to-end tests mostly wait for the programs they drive, so they run in two halves beside the
# other tests, each group in its own prefix. Finding the tests first keeps the runs from writing the
# same test lists at once.
(unset DISPLAY; export CORVANE_WINEPREFIX="$CORVANE_BUILD/wineprefix-win"; trap corvane_stop_wine EXIT
 corvane_start_wine && cd "$CORVANE_BUILD/win" && ctest -N >/dev/null)
pids=()
for half in 1 2; do
  corvane_wine_stream "e2e-$half" -L e2e -I "$half,100000,2" >"$CORVANE_BUILD/win/e2e-$half.log" 2>&1 &
  pids+=($!)
done
status=0
corvane_wine_stream win -LE e2e || status=$?
for half in 1 2; do
  wait "${pids[$((half - 1))]}" || status=$?
  echo "== Windows end-to-end tests, half $half (Wine)"
  cat "$CORVANE_BUILD/win/e2e-$half.log"
done
exit "$status"
