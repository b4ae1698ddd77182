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
echo "== Windows tests (Wine)"
trap corvane_stop_wine EXIT
corvane_start_wine
# Wine tests share one prefix and its registry, so they run one at a time. A test that fails is run
# once more: on a loaded machine Wine now and then fails to start a test process at all; a real
# fault fails twice.
(cd "$CORVANE_BUILD/win" && GTEST_COLOR=no ctest --output-on-failure --timeout 300 --repeat until-pass:2)
