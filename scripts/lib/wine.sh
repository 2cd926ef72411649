# Wine test harness, sourced by scripts/wine-exec, scripts/test and scripts/run.
#
#   hk_wine_env ARCH PREFIX   ARCH is win64 or win32; exports the Wine environment
#   hk_wine_start             display (Xvfb when there is none), prefix (created once),
#                             a persistent wineserver for the session
#   hk_wine_stop              ends the wineserver and everything Wine started, and Xvfb
#   hk_wine PROGRAM ARGS...   runs a Windows program in the session

hk_wine_env() {
  local arch=$1 prefix=$2
  export WINEARCH=$arch
  export WINEPREFIX=$prefix
  export WINEDEBUG=${HK_WINEDEBUG:--all}
  # No Mono or Gecko downloads, no "install them?" dialogs.
  export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
  local libdir=/usr/lib/wine
  if [ "$arch" = win64 ]; then
    HK_WINE_LOADER=$libdir/wine64
    HK_WINESERVER=$libdir/wineserver64
  else
    HK_WINE_LOADER=$libdir/wine
    # The 64-bit server serves 32-bit clients too, and runs natively on every host.
    HK_WINESERVER=$libdir/wineserver64
  fi
  [ -x "$HK_WINESERVER" ] || HK_WINESERVER=$libdir/wineserver
  export WINELOADER=$HK_WINE_LOADER WINESERVER=$HK_WINESERVER
}

# True when this machine can run Wine for the chosen bitness. 32-bit Wine needs the
# kernel to execute 32-bit x86 code, which some virtual machines do not offer.
hk_wine_usable() {
  "$HK_WINE_LOADER" --version >/dev/null 2>&1
}

hk_wine() {
  "$HK_WINE_LOADER" "$@"
}

# Runs a program with its output collected in a file and printed when it has ended. Wine
# processes it starts on the way (the desktop window, services) inherit its output handles
# and live on; a pipe to them would keep the reader (ctest) waiting after the test ended.
hk_wine_captured() {
  local out rc
  out=$(mktemp)
  "$HK_WINE_LOADER" "$@" </dev/null >"$out" 2>&1
  rc=$?
  cat "$out"
  rm -f "$out"
  return $rc
}

# Two Wine settings suit the virtual display (Xvfb), which has neither a system tray nor a
# window manager, and are taken back on a real display:
# - Without a system tray, Wine shows notification icons in a small window of its own at the
#   top left of the screen, above whatever opens there: it hides most of the main window's
#   menu bar, and nobody can click a tray there anyway. That window stays hidden.
# - Without a window manager, hiding a window that Wine hands to the window manager makes
#   Wine wait about a second for a manager that never answers, and the program's thread
#   (with its input hooks) stands still meanwhile. Windows then are not handed to one.
# The settings are read when Wine's processes start, so they are changed (rarely: a marker
# file records them) with no Wine process running on the prefix. Called with the prefix
# lock held.
hk_wine_display_settings() {
  local marker="$WINEPREFIX/.hushkey-virtual-display" key='HKCU\Software\Wine\X11 Driver'
  # The earlier marker stood for the tray setting alone: the settings are then half made.
  if [ -f "$WINEPREFIX/.hushkey-tray-hidden" ]; then
    rm -f "$WINEPREFIX/.hushkey-tray-hidden"
    [ -n "${HK_XVFB_PID:-}" ] || touch "$marker"
  fi
  if [ -n "${HK_XVFB_PID:-}" ] && [ ! -f "$marker" ]; then
    "$HK_WINE_LOADER" reg add "$key" /v ShowSystray /d n /f >/dev/null 2>&1 || return 0
    "$HK_WINE_LOADER" reg add "$key" /v Managed /d N /f >/dev/null 2>&1 || return 0
    "$HK_WINESERVER" -w
    touch "$marker"
  elif [ -z "${HK_XVFB_PID:-}" ] && [ -f "$marker" ]; then
    "$HK_WINE_LOADER" reg delete "$key" /v ShowSystray /f >/dev/null 2>&1 || return 0
    "$HK_WINE_LOADER" reg delete "$key" /v Managed /f >/dev/null 2>&1 || true
    "$HK_WINESERVER" -w
    rm -f "$marker"
  fi
}

hk_wine_start() {
  HK_XVFB_PID=""
  if [ -z "${DISPLAY:-}" ]; then
    local fdfile
    fdfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fdfile" >/dev/null 2>&1 &
    HK_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
      [ -s "$fdfile" ] && break
      sleep 0.1
    done
    export DISPLAY=":$(head -n1 "$fdfile")"
    rm -f "$fdfile"
    export HK_XVFB_PID
  fi
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.hushkey-ready" ]; then
      echo "wine: creating prefix $WINEPREFIX ($WINEARCH)" >&2
      rm -rf "$WINEPREFIX"
      "$HK_WINE_LOADER" wineboot -i >/dev/null 2>&1 || true
      "$HK_WINESERVER" -w
      touch "$WINEPREFIX/.hushkey-ready"
    fi
    hk_wine_display_settings
  ) 9>"$WINEPREFIX.lock"
  "$HK_WINESERVER" -p </dev/null >/dev/null 2>&1
  # Start Wine's own background services now, detached from our output.
  "$HK_WINE_LOADER" cmd.exe /c exit </dev/null >/dev/null 2>&1
  export HK_WINE_ACTIVE_PREFIX=$WINEPREFIX
}

hk_wine_stop() {
  if [ -n "${WINEPREFIX:-}" ] && [ -n "${HK_WINESERVER:-}" ]; then
    "$HK_WINESERVER" -k >/dev/null 2>&1 || true
    "$HK_WINESERVER" -w >/dev/null 2>&1 || true
  fi
  if [ -n "${HK_XVFB_PID:-}" ]; then
    kill "$HK_XVFB_PID" 2>/dev/null || true
    wait "$HK_XVFB_PID" 2>/dev/null || true
    HK_XVFB_PID=""
  fi
  unset HK_WINE_ACTIVE_PREFIX
}
