#!/usr/bin/env bash
# Regenerates the pictures and pages the documents show, from the current build:
#   bash tools/docs.sh [keys] [screenshots] [dpi]     (no argument: all three)
#
#   keys          docs/keys.md and docs/keys/: KivKeyProbe measures and
#                 pictures every skin key, tools/keys_doc.py writes the page
#   screenshots   every screenshot README.md and docs/*.md show, under
#                 docs/screenshots/: the preview programs with the default
#                 skin, the dark skin and unskinned (KivPreviewShots), the tab
#                 and view pages side by side, a frame and a dialog, the
#                 builder, the update program, Wine's own programs side by
#                 side (test_foreign_programs), and kivinject on Wine's own
#                 Program Manager and notepad
#   dpi           KivPreview at 96, 144 and 192 DPI, and the three side by
#                 side (the session's LogPixels is set for each run and put
#                 back to 96 afterwards)
#
# It builds build/i686 (build/x86_64 on a machine that cannot run 32-bit
# programs; KIV_BUILD_DIR names another) and runs everything in that build's
# Wine prefix on one private display. The pictures depend only on the build
# and the skins: PNG files are written without time stamps, so running it
# twice on the same tree changes no file. The test keys_doc_current fails
# when docs/keys.md no longer says which keys change no pixel; this script
# is the cure. Takes about five minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

want_keys=0 want_shots=0 want_dpi=0
[ $# -eq 0 ] && want_keys=1 && want_shots=1 && want_dpi=1
for part in "$@"; do
  case $part in
    keys) want_keys=1 ;;
    screenshots) want_shots=1 ;;
    dpi) want_dpi=1 ;;
    *) echo "usage: bash tools/docs.sh [keys] [screenshots] [dpi]" >&2; exit 2 ;;
  esac
done

bash tools/setup.sh
. tools/pick-build.sh docs
configure=(-G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-$arch-mingw.cmake)
[ $arch = i686 ] && [ ! -f "$build/CMakeCache.txt" ] && configure+=(-DKIV_SKIN_COMPILER=)
cmake -S . -B "$build" "${configure[@]}" >/dev/null
cmake --build "$build"
bin=$build/bin

state=$build/wine
export WINEPREFIX=$state/prefix WINEARCH=$winearch WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
. cmake/wine-env.sh
export KIV_SOURCE_DIR=$root KIV_BINARY_DIR=$build
work=$(mktemp -d)
cmake/wine-session.sh start "$state" "$winearch"
trap 'cmake/wine-session.sh stop "$state"; rm -rf "$work"' EXIT
export DISPLAY=:$(cat "$state/display")

shots=docs/screenshots
winpath() { echo "Z:$(realpath -m "$1" | tr / \\\\)"; }
# Runs a Windows program in the session; its output goes to the log.
run() {
  echo "docs: $(basename "$1") ${*:2}" >&2
  (cd "$bin" && "$KIV_WINE" "$@" >>"$work/log" 2>&1 </dev/null) || {
    echo "docs: $(basename "$1") failed; its output:" >&2
    tail -40 "$work/log" >&2
    exit 1
  }
}
# A PNG without time stamps or other chunks that change run to run.
png() { convert "$1" -strip -define png:exclude-chunks=date,time "$2"; }
# Every BMP of a folder as a PNG of the same name in another.
pngs() {  # FROM_DIR TO_DIR [NAME_PATTERN]
  mkdir -p "$2"
  local found=0
  for bmp in "$1"/${3:-*}.bmp; do
    [ -f "$bmp" ] || continue
    png "$bmp" "$2/$(basename "${bmp%.bmp}").png"
    found=1
  done
  [ $found -eq 1 ] || { echo "docs: no pictures in $1" >&2; exit 1; }
}

if [ $want_keys -eq 1 ]; then
  mkdir -p "$work/keys"
  run "$bin/KivKeyProbe.exe" "$(winpath skins/default/project.kivxml)" "$(winpath "$work/keys")"
  rm -rf docs/keys && mkdir -p docs/keys
  for picture in "$work"/keys/*.png; do
    png "$picture" "docs/keys/$(basename "$picture")"
  done
  cp "$work/keys/keys.tsv" docs/keys/
  python3 tools/keys_doc.py docs/keys/keys.tsv skins docs/keys.md
  echo "docs: wrote docs/keys.md and $(ls docs/keys/*.png | wc -l) key pictures" >&2
fi

if [ $want_shots -eq 1 ]; then
  # The preview programs: default skin, dark skin, unskinned.
  for look in default dark unskinned; do
    skin=""
    [ $look != unskinned ] && skin=$(winpath "$bin/$look.kiv")
    mkdir -p "$work/$look"
    run "$bin/KivPreviewShots.exe" "$(winpath "$bin")" "$skin" "$(winpath "$work/$look")"
  done
  pngs "$work/default" "$shots" "preview-*"
  pngs "$work/dark" "$shots/dark" "preview-page?"
  pngs "$work/dark" "$shots/dark" "preview-mdi"
  pngs "$work/unskinned" "$shots/unskinned" "preview-page?"
  cp "$shots/preview-page2.png" "$shots/preview-edits-page.png"
  cp "$shots/preview-page3.png" "$shots/preview-lists-page.png"
  # The tab strip (every page) and the views (page 5): unskinned, default, dark.
  mkdir -p "$shots/views"
  for page in 1 5; do
    cp "$shots/unskinned/preview-page$page.png" "$shots/views/page$page-unskinned.png"
    cp "$shots/preview-page$page.png" "$shots/views/page$page-default.png"
    cp "$shots/dark/preview-page$page.png" "$shots/views/page$page-dark.png"
    convert "$shots/views/page$page-unskinned.png" \
      \( "$shots/views/page$page-default.png" -background white -gravity west -splice 4x0 \) \
      \( "$shots/views/page$page-dark.png" -background white -gravity west -splice 4x0 \) \
      +append -strip -define png:exclude-chunks=date,time "$shots/views/page$page-side-by-side.png"
  done

  # A skinned frame and dialog, active and inactive.
  mkdir -p "$work/frames"
  KIV_SCREENSHOT_DIR=$(winpath "$work/frames") run "$bin/test_frame_screens.exe"
  pngs "$work/frames" "$shots" "*_active"
  pngs "$work/frames" "$shots" "*_inactive"

  # The builder.
  mkdir -p "$work/builder"
  KIV_SCREENSHOTS=$(winpath "$work/builder") \
    run "$bin/test_builder_program.exe" --no-skip "--test-case=screenshots of the builder"
  # (Not its wait screen: that one shows whichever frame of the animation is up.)
  for name in start editing colour error; do
    png "$work/builder/builder-$name.bmp" "$shots/builder/builder-$name.png"
  done

  # The update program: its tests save each outcome in bin/screenshots.
  rm -rf "$bin/screenshots"
  run "$bin/test_update_program.exe" \
    "--test-case=a newer version shows*,all markers present*,the list marker missing*,failures show their code*,a download address that is not*,pressing the check button*"
  run "$bin/test_update_hostile.exe" "--test-case=each outcome says in a second line*" "--subcase=no list*"
  pngs "$bin/screenshots" "$shots" "update-*"

  # Wine's own programs unskinned, with the default and with the dark skin, side by side.
  mkdir -p "$work/programs" "$shots/programs"
  KIV_PROGRAM_SHOTS=$(winpath "$work/programs") \
    run "$bin/test_foreign_programs.exe" "--test-case-exclude=Wine's own programs work*"
  for program in notepad regedit winefile taskmgr winecfg wordpad winemine progman; do
    convert "$work/programs/$program-unskinned.bmp" \
      \( "$work/programs/$program-default.bmp" -background white -gravity west -splice 4x0 \) \
      \( "$work/programs/$program-dark.bmp" -background white -gravity west -splice 4x0 \) \
      -background white -gravity north +append -strip -define png:exclude-chunks=date,time "$shots/programs/$program.png"
  done

  # kivinject on programs nobody here wrote.
  run "$bin/kivinject.exe" --skin "$(winpath "$bin/default.kiv")" --shot "$(winpath "$work/progman-skinned-after.bmp")" \
    --close 'C:\windows\system32\progman.exe'
  # Notepad keeps the window size of its last run; every run starts from its default.
  "$KIV_WINE" reg delete 'HKCU\Software\Microsoft\Notepad' /f >/dev/null 2>&1 || true
  run "$bin/kivinject.exe" --skin "$(winpath "$bin/dark.kiv")" --shot "$(winpath "$work/notepad-dark.bmp")" \
    --close 'C:\windows\system32\notepad.exe'
  png "$work/progman-skinned-after.bmp" "$shots/progman-skinned-after.png"
  png "$work/notepad-dark.bmp" "$shots/notepad-dark.png"
  echo "docs: wrote the screenshots under $shots" >&2
fi

if [ $want_dpi -eq 1 ]; then
  # The system DPI of a Wine session is LogPixels, read when a program
  # starts; at 192 DPI the preview needs a desktop larger than the usual one.
  # The session is started again for each DPI and left at 96 DPI and its
  # usual desktop size.
  dpi_session() {  # DPI DESKTOP_SIZE
    cmake/wine-session.sh stop "$state"
    "$KIV_WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    "$KIV_WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d "$2" /f >/dev/null 2>&1
    wineserver -w
    cmake/wine-session.sh start "$state" "$winearch"
    export DISPLAY=:$(cat "$state/display")
  }
  trap 'dpi_session 96 1024x768; cmake/wine-session.sh stop "$state"; rm -rf "$work"' EXIT
  mkdir -p "$shots/dpi"
  for dpi in 96 144 192; do
    dpi_session $dpi 1280x1024
    mkdir -p "$work/dpi$dpi"
    run "$bin/KivPreviewShots.exe" "$(winpath "$bin")" "$(winpath "$bin/default.kiv")" "$(winpath "$work/dpi$dpi")"
    png "$work/dpi$dpi/preview-page1.bmp" "$shots/dpi/preview-$dpi.png"
  done
  convert "$shots/dpi/preview-96.png" \
    \( "$shots/dpi/preview-144.png" -background white -gravity south -splice 8x0 \) \
    \( "$shots/dpi/preview-192.png" -background white -gravity south -splice 8x0 \) \
    -background white -gravity south +append -strip -define png:exclude-chunks=date,time "$shots/dpi/side-by-side.png"
  echo "docs: wrote the DPI screenshots under $shots/dpi" >&2
fi
