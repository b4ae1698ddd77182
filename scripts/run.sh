#!/usr/bin/env bash
# Installs what is missing, builds the Windows programs and starts Corvane under Wine, on your
# display or on an Xvfb started for it. Extra arguments go to the program.
set -euo pipefail
source "$(dirname "$0")/common.sh"

corvane_install_packages
corvane_build_windows
corvane_start_wine
trap corvane_stop_wine EXIT
echo "DISPLAY=$DISPLAY  WINEPREFIX=$WINEPREFIX"
program="${CORVANE_PROGRAM:-Corvane}"
if [ "$program" = rizaz ]; then
  echo "Started rizaz.exe (hidden). It blocks programs listed in $CORVANE_DIST/cekdn.ocx."
  echo "Stop it with:  WINEPREFIX=$WINEPREFIX wine reg add 'HKCU\\Software\\Corvane\\Corvane' /v Support /d False /f"
  (cd "$CORVANE_DIST" && wine rizaz.exe plumtide "$@")
else
  (cd "$CORVANE_DIST" && wine Corvane.exe "$@")
fi
