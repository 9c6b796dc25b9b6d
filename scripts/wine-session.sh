# Sourced by the test and example scripts: one fresh Wine prefix for the run,
# a persistent wineserver, and Xvfb when there is no display. Call
# wine_session_start first and wine_session_stop at the end (trap it).
# KES_WINE_VERSION (winxp, win2k, nt40, win98, win2003...) selects the
# Windows version Wine reports.

wine_session_start() {
  local root=$1
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export WINEARCH=win32
  export WINEPREFIX="$root/wineprefix"
  export KES_TEST_TMP="$root/tmp"
  rm -rf "$WINEPREFIX" "$KES_TEST_TMP"
  mkdir -p "$KES_TEST_TMP"
  KES_XVFB_PID=""
  if [ -z "${DISPLAY:-}" ]; then
    local n
    for n in $(seq 91 120); do
      if [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; then continue; fi
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      KES_XVFB_PID=$!
      export DISPLAY=":$n"
      break
    done
    for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ] && break; sleep 0.1; done
  fi
  mkdir -p "$WINEPREFIX"
  # one persistent server for the whole run, so every wine start is fast;
  # the prefix's service processes start here with no inherited pipes
  wineserver -p </dev/null >/dev/null 2>&1 || true
  wineboot -i </dev/null >/dev/null 2>&1 || true
  # Creating a prefix can leave two service managers running, and clients
  # then reach one or the other in turn (a service created through one is
  # missing from the other). Restarted on the finished prefix, exactly one
  # starts.
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  wineserver -p </dev/null >/dev/null 2>&1 || true
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  if [ -n "${KES_WINE_VERSION:-}" ]; then
    wine reg add 'HKCU\Software\Wine' /v Version /d "$KES_WINE_VERSION" /f >/dev/null 2>&1
  fi
}

wine_session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${KES_XVFB_PID:-}" ]; then kill "$KES_XVFB_PID" >/dev/null 2>&1 || true; fi
}
