#!/usr/bin/env bash
# Takes one picture per skin key with the engine and writes docs/keys.md:
#   bash tools/keypictures.sh [BUILD_DIR]   (default build/x86_64)
# KivKeyProbe runs under Wine in the build's prefix and display; the pictures
# land in docs/keys/ and are committed with the page.
set -euo pipefail
winepath_z() { echo "Z:$(realpath -m "$1" | tr / \\\\)"; }
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build/x86_64}
arch=win64
[ -f "$build/CMakeCache.txt" ] && grep -q 'KIV_WINEARCH:.*=win32' "$build/CMakeCache.txt" && arch=win32
cmake --build "$build" -j1 --target KivKeyProbe >/dev/null
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$root/cmake/wine-run.sh" "$build/wine" "$arch" "$build/bin/KivKeyProbe.exe" \
  "$(winepath_z "$root/skins/default/project.kivxml")" "$(winepath_z "$out")"
rm -rf docs/keys && mkdir -p docs/keys
cp "$out"/*.png "$out/keys.tsv" docs/keys/
python3 tools/keys_doc.py docs/keys/keys.tsv skins docs/keys.md
echo "wrote docs/keys.md and $(ls docs/keys/*.png | wc -l) pictures"
