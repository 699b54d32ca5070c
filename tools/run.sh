#!/usr/bin/env bash
# The main job: installs what is missing, builds the i686 programs and the
# shipped skins into build/i686, and shows the default skin on both preview
# programs inside a Wine virtual desktop. A picture of every step is written
# to out/screenshots/ (or $KIV_SCREENSHOTS):
#   preview-page1.png .. preview-page5.png  the five pages of KivPreview
#   preview-messagebox.png                  the sample message box (system look)
#   preview-mdi.png                         KivPreviewMDI with two documents
#   preview-switch-before.png, preview-switch-after.png
#                                           KivPreview's last page before and after its
#                                           skin switch command (Ctrl+K: default to dark)
# Without a usable DISPLAY everything runs headless on Xvfb. With one, the
# skinned KivPreview stays open afterwards until it is closed. KIV_BUILD_DIR
# names another build folder (default build/i686).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash tools/setup.sh

. tools/pick-build.sh run
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-$arch-mingw.cmake >/dev/null
targets=(KivPreview KivPreviewMDI KivPreviewShots)
known_targets=$(ninja -C "$build" -t targets all 2>/dev/null || true)
if grep -q '^kiv_skins:' <<<"$known_targets"; then
  targets+=(kiv_skins)
fi
cmake --build "$build" --target "${targets[@]}"

skin=$build/bin/default.kiv
skin_arg=""
if [ -f "$skin" ]; then
  skin_arg="Z:$skin"
else
  echo "run: the compiled default skin $skin is not there (no skins/ build rule yet);" \
       "showing the programs unskinned" >&2
fi

out=${KIV_SCREENSHOTS:-$root/out/screenshots}
mkdir -p "$out"
rm -f "$out"/preview-*.png "$out"/preview-*.bmp

state=$build/wine
export WINEPREFIX=$state/prefix WINEARCH=$winearch WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
. cmake/wine-env.sh

headless=1
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  headless=0
fi

# The session script makes the prefix (virtual desktop, CJK font links) on first use.
cmake/wine-session.sh start "$state" "$winearch"
if [ $headless -eq 1 ]; then
  export DISPLAY=:$(cat "$state/display")
  trap 'cmake/wine-session.sh stop "$state"' EXIT
else
  cmake/wine-session.sh stop "$state"
fi

status=0
log=$(mktemp)
"$KIV_WINE" "$build/bin/KivPreviewShots.exe" "Z:$build/bin" "$skin_arg" "Z:$out" >"$log" 2>&1 </dev/null || status=$?
cat "$log"
rm -f "$log"

for bmp in "$out"/preview-*.bmp; do
  [ -f "$bmp" ] || continue
  convert "$bmp" "${bmp%.bmp}.png"
  rm -f "$bmp"
done
echo "run: screenshots in $out:"
ls "$out"

if [ $status -ne 0 ]; then
  echo "run: a preview step failed (exit $status)" >&2
  exit $status
fi

if [ $headless -eq 0 ]; then
  echo "run: KivPreview is open on $DISPLAY; close it to finish"
  "$KIV_WINE" "$build/bin/KivPreview.exe" ${skin_arg:+"$skin_arg"} >/dev/null 2>&1 </dev/null || true
fi
