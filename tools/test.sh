#!/usr/bin/env bash
# Installs what is missing, builds both Windows targets and runs the whole
# test suite under Wine. Exit status 0 only when every test passed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
status=0
for arch in i686 x86_64; do
  cmake -S . -B "build/$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$arch-mingw.cmake" >/dev/null
  cmake --build "build/$arch"
done
for arch in i686 x86_64; do
  echo "== tests for $arch"
  ctest --test-dir "build/$arch" --output-on-failure || status=1
done
exit $status
