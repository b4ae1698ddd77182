# Shared by the project's scripts: package installation, build folders and the Wine environment.
# Source it; it changes nothing until a function is called.

CORVANE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CORVANE_BUILD="${CORVANE_BUILD:-$CORVANE_ROOT/build}"
JOBS="${JOBS:-2}"
# The shipped folder is dist/ at the top; a build folder of one's own (CORVANE_BUILD) gets its own.
if [ "$CORVANE_BUILD" = "$CORVANE_ROOT/build" ]; then
  CORVANE_DIST="$CORVANE_ROOT/dist"
else
  CORVANE_DIST="$CORVANE_BUILD/dist"
fi

# Debian packages the builds and tests need.
CORVANE_PACKAGES=(cmake make g++ googletest libgtest-dev g++-mingw-w64-x86-64-posix wine wine64
                  xvfb xauth x11-utils imagemagick python3)
# Packaging (the installer) and the browser view of a headless screen.
CORVANE_PACKAGES+=(nsis x11vnc novnc curl)

corvane_install_packages() {
  local missing=()
  for p in "${CORVANE_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

corvane_build_windows() {
  cmake -S "$CORVANE_ROOT" -B "$CORVANE_BUILD/win" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$CORVANE_ROOT/cmake/mingw-w64-x86_64.cmake" -DCORVANE_DIST_DIR="$CORVANE_DIST" >/dev/null
  cmake --build "$CORVANE_BUILD/win" -j"$JOBS" "$@"
}

corvane_build_host() {
  cmake -S "$CORVANE_ROOT" -B "$CORVANE_BUILD/host" -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE=ON >/dev/null
  cmake --build "$CORVANE_BUILD/host" -j"$JOBS"
}

# The project's own Wine prefix, created once and reused (CORVANE_WINEPREFIX names another one).
corvane_wine_env() {
  export WINEPREFIX="${CORVANE_WINEPREFIX:-$CORVANE_BUILD/wineprefix}"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree=,winemenubuilder.exe="
  export WINEARCH=win64
}

CORVANE_XVFB_PID=""
# Starts Xvfb on a free display when there is no DISPLAY. Xvfb picks the display itself, so scripts
# started side by side never share one.
corvane_ensure_display() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local numberFile
  numberFile="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numberFile" >/dev/null 2>&1 &
  CORVANE_XVFB_PID=$!
  for _ in $(seq 100); do
    if [ -s "$numberFile" ]; then
      export DISPLAY=":$(tr -d '[:space:]' <"$numberFile")"
      rm -f "$numberFile"
      return 0
    fi
    kill -0 "$CORVANE_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$numberFile"
  echo "could not start Xvfb" >&2
  return 1
}

# Whether something accepts connections on 127.0.0.1:$1.
corvane_port_in_use() {
  (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

# The first port from $1 on that nothing listens on (of $2 tried).
corvane_free_port() {
  local port="$1" tries="${2:-50}"
  for _ in $(seq "$tries"); do
    corvane_port_in_use "$port" || { echo "$port"; return 0; }
    port=$((port + 1))
  done
  return 1
}

# Waits until something listens on 127.0.0.1:$1, or about 10 s.
corvane_wait_for_port() {
  for _ in $(seq 100); do
    corvane_port_in_use "$1" && return 0
    sleep 0.1
  done
  return 1
}

CORVANE_VIEW_PIDS=()
# Serves the Xvfb started above to a web browser: x11vnc and noVNC's websockify, both on loopback
# only (no password: nothing outside this machine can connect). Nothing happens on a display of the
# user's.
corvane_start_headless_view() {
  [ -n "$CORVANE_XVFB_PID" ] || return 0
  local vnc web
  vnc="$(corvane_free_port 5900)" || { echo "no free VNC port" >&2; return 1; }
  x11vnc -display "$DISPLAY" -localhost -noipv6 -rfbport "$vnc" -forever -shared -nopw -quiet \
    </dev/null >/dev/null 2>&1 &
  CORVANE_VIEW_PIDS+=($!)
  # Still running: a port taken in between by someone else would answer for it.
  corvane_wait_for_port "$vnc" && kill -0 "$!" 2>/dev/null || { echo "x11vnc did not start" >&2; return 1; }
  web="$(corvane_free_port 6080)" || { echo "no free web port" >&2; return 1; }
  websockify --web /usr/share/novnc "127.0.0.1:$web" "127.0.0.1:$vnc" </dev/null >/dev/null 2>&1 &
  CORVANE_VIEW_PIDS+=($!)
  corvane_wait_for_port "$web" && kill -0 "$!" 2>/dev/null || { echo "websockify did not start" >&2; return 1; }
  echo "Watch the screen ($DISPLAY) in a browser: http://127.0.0.1:$web/vnc.html  (VNC on 127.0.0.1:$vnc)"
}

corvane_stop_headless_view() {
  local pid
  for pid in "${CORVANE_VIEW_PIDS[@]}"; do
    # websockify serves each browser connection from a child of its own.
    pkill -TERM -P "$pid" 2>/dev/null || true
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  CORVANE_VIEW_PIDS=()
}

# Every start of Corvane writes its start-with-Windows value, and wineboot starts what the Run key
# names: a value left behind by an interrupted test would start Corvane at the next boot.
corvane_delete_run_value() {
  wine reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v Corvane /f \
    </dev/null >/dev/null 2>&1 || true
}

# A persistent wineserver and a booted prefix, started outside ctest: Wine's services would otherwise
# inherit ctest's pipes and keep it waiting forever.
corvane_start_wine() {
  corvane_wine_env
  corvane_ensure_display
  local fresh=0
  [ -f "$WINEPREFIX/system.reg" ] || fresh=1
  # wineserver refuses a prefix folder that does not exist yet, and says so again (harmlessly) when
  # one already runs for it.
  mkdir -p "$WINEPREFIX"
  wineserver -p </dev/null >/dev/null 2>&1 || true
  corvane_delete_run_value
  wine wineboot </dev/null >/dev/null 2>&1 || { echo "wineboot failed for $WINEPREFIX" >&2; return 1; }
  if [ "$fresh" -eq 1 ]; then
    # A crashing test must fail, not wait for someone to close Wine's crash dialog.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
  fi
}

# Ends this prefix's wineserver (and with it every process of the prefix) and our own Xvfb.
corvane_stop_wine() {
  corvane_wine_env
  corvane_delete_run_value
  wineserver -k </dev/null >/dev/null 2>&1 || true
  corvane_stop_headless_view
  if [ -n "$CORVANE_XVFB_PID" ]; then
    kill "$CORVANE_XVFB_PID" 2>/dev/null || true
    wait "$CORVANE_XVFB_PID" 2>/dev/null || true
    CORVANE_XVFB_PID=""
  fi
}
