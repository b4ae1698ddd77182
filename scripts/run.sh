#!/usr/bin/env bash
# Installs what is missing, builds the Windows programs and starts Corvane under Wine, on your
# display or on an Xvfb started for it; that Xvfb is also served to a web browser on 127.0.0.1.
# Extra arguments go to the program. CORVANE_SKIP_BUILD=1 starts the programs as built before.
set -euo pipefail
source "$(dirname "$0")/common.sh"

corvane_install_packages
[ "${CORVANE_SKIP_BUILD:-0}" = 1 ] || corvane_build_windows
trap corvane_stop_wine EXIT
# Ctrl-C or TERM: end through the EXIT trap, which stops Wine, the view and the Xvfb.
trap 'exit 130' INT
trap 'exit 143' TERM
corvane_ensure_display
corvane_start_headless_view
corvane_start_wine
echo "DISPLAY=$DISPLAY  WINEPREFIX=$WINEPREFIX"
program="${CORVANE_PROGRAM:-Corvane}"
# The program runs in the background and the script waits for it: a signal then reaches the trap at
# once instead of after the program has ended.
if [ "$program" = rizaz ]; then
  echo "Started rizaz.exe (hidden). It blocks programs listed in $CORVANE_DIST/cekdn.ocx."
  echo "Stop it with:  WINEPREFIX=$WINEPREFIX wine reg add 'HKCU\\Software\\Corvane\\Corvane' /v Support /d False /f"
  (cd "$CORVANE_DIST" && exec wine rizaz.exe plumtide "$@") &
else
  (cd "$CORVANE_DIST" && exec wine Corvane.exe "$@") &
fi
wait $!
