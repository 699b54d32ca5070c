#!/usr/bin/env bash
# Starts or stops the display and Wine server that a test run shares.
#   wine-session.sh start STATE_DIR WINEARCH
#   wine-session.sh stop  STATE_DIR
# STATE_DIR holds the Wine prefix (kept between runs) and the session files.
set -u
cmd=$1 state=$(realpath -m "$2") arch=${3:-win32}
mkdir -p "$state"
export WINEPREFIX=$state/prefix WINEARCH=$arch WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
. "$(dirname "$0")/wine-env.sh"

stop_session() {
  if [ -f "$state/display" ]; then
    DISPLAY=:$(cat "$state/display") wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
  else
    wineserver -k >/dev/null 2>&1
  fi
  if [ -f "$state/xvfb.pid" ]; then
    pid=$(cat "$state/xvfb.pid")
    kill "$pid" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null
  fi
  rm -f "$state/display" "$state/xvfb.pid"
}

make_prefix() {
  [ -f "$WINEPREFIX/.kiv-ready-3" ] && return 0
  rm -rf "$WINEPREFIX"
  "$KIV_WINE" wineboot -i >/dev/null 2>&1 9>&-
  wineserver -w
  if [ ! -d "$WINEPREFIX/drive_c" ]; then
    echo "wine-session: $KIV_WINE could not create the $WINEARCH prefix $WINEPREFIX" >&2
    return 1
  fi
  # A virtual desktop, so that non-client painting of our frames is visible
  # and exit codes of plain `wine prog.exe` reach the caller.
  "$KIV_WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1 9>&-
  "$KIV_WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1024x768 /f >/dev/null 2>&1 9>&-
  # Wine's own fonts have no Chinese glyphs: dialog fonts fall back to SimSun,
  # the skin's Arial gets a link of its own; the CJK font from setup serves both.
  "$KIV_WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v SimSun /t REG_SZ /d 'WenQuanYi Micro Hei' /f \
    >/dev/null 2>&1 9>&- </dev/null
  # Debian's Wine does not find the fonts of fonts-wine by itself: without
  # Marlett its own caption buttons show as the letters "0 1 r".
  if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  fi
  local face
  for face in Arial "DejaVu Sans" "Liberation Sans"; do
    "$KIV_WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
      /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1 9>&- </dev/null
  done
  wineserver -w
  touch "$WINEPREFIX/.kiv-ready-3"
}

start_session() {
  stop_session
  # Pick a display nobody uses.
  local n
  for n in $(seq 90 190); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 9>&- &
  echo $! > "$state/xvfb.pid"
  for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  [ -e "/tmp/.X11-unix/X$n" ] || { echo "wine-session: Xvfb :$n did not start" >&2; return 1; }
  echo "$n" > "$state/display"
  export DISPLAY=:$n
  if ! make_prefix; then
    stop_session
    return 1
  fi
  # Keep one server alive for the whole run so every test starts quickly.
  wineserver -p >/dev/null 2>&1 9>&- </dev/null
  # Start Wine's services now, detached from any caller's output.
  "$KIV_WINE" cmd /c exit >/dev/null 2>&1 9>&- </dev/null
}

case "$cmd" in
  start) exec 9>"$state/.lock"; flock 9; start_session ;;
  stop)  exec 9>"$state/.lock"; flock 9; stop_session ;;
  *) echo "usage: $0 start|stop STATE_DIR [WINEARCH]" >&2; exit 2 ;;
esac
