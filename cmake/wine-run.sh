#!/usr/bin/env bash
# Runs one Windows program under Wine:  wine-run.sh STATE_DIR WINEARCH PROGRAM [ARGS...]
# Uses the session a test run started (display and server); without one it
# starts a private session for this program and ends it afterwards.
set -u
state=$(realpath -m "$1") arch=$2; shift 2
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=$state/prefix WINEARCH=$arch WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
. "$here/wine-env.sh"

private=0
if [ -f "$state/display" ] && [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then
  export DISPLAY=:$(cat "$state/display")
else
  private=1
  "$here/wine-session.sh" start "$state" "$arch" || exit 1
  export DISPLAY=:$(cat "$state/display")
fi

# Wine starts its services and the desktop process on demand and they live on
# with the descriptors of the program that started them; route the output
# through a file so those never hold the caller's pipe open.
log=$(mktemp)
"$KIV_WINE" "$@" >"$log" 2>&1 </dev/null
rc=$?
cat "$log"
rm -f "$log"
if [ $private -eq 1 ]; then
  "$here/wine-session.sh" stop "$state"
fi
exit $rc
