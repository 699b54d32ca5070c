#!/usr/bin/env bash
# Runs every benchmark program of a build directory under Wine pinned to one CPU.
# Usage: tools/bench.sh <builddir> [name]   (win32 or win64 prefix chosen from the build;
# with a name, only bench_<name>.exe runs)
set -euo pipefail
build=$(cd "${1:?usage: tools/bench.sh <builddir>}" && pwd)
source_dir=$(cd "$(dirname "$0")/.." && pwd)
arch=win32
grep -q '^CMAKE_TOOLCHAIN_FILE:.*x86_64' "$build/CMakeCache.txt" && arch=win64
state="$build/wine"

trap '"$source_dir/cmake/wine-session.sh" stop "$state" >/dev/null 2>&1 || true' EXIT
"$source_dir/cmake/wine-session.sh" start "$state" "$arch" >/dev/null
export WINEPREFIX="$state/prefix" DISPLAY=":$(cat "$state/display")" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d" WINEARCH=$arch
. "$source_dir/cmake/wine-env.sh"

# A server started unpinned would pay a cross-CPU wake-up on every round trip.
wineserver -k || true
status=0
out=$(mktemp)
for program in "$build"/bin/bench_${2:-*}.exe; do
  [ -e "$program" ] || continue
  echo "== $(basename "$program")"
  if ! (cd "$build/bin" && timeout 600 taskset -c 0 "$KIV_WINE" "$program" >"$out" 2>&1); then
    status=1
  fi
  tr -d '\r' <"$out"
done
rm -f "$out"
wineserver -k || true
exit $status
