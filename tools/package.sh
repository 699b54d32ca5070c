#!/usr/bin/env bash
# Builds the release ZIPs of both architectures:
#   out/packages/Kiv-<version>-win32.zip and Kiv-<version>-win64.zip
# Each holds KivAPI.dll, KivAPI.h, the mingw and MSVC import libraries, the
# static library with its CMake package, kivtool, the preview hosts, the
# shipped skins, the samples, the .NET binding, the licence and a README.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash tools/setup.sh
. cmake/wine-env.sh
jobs=${KIV_JOBS:-1}
mkdir -p out/packages

package() {  # package ARCH [cmake options...]
  local arch=$1; shift
  cmake -S . -B "build/$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$arch-mingw.cmake" "$@" >/dev/null
  cmake --build "build/$arch" -j "$jobs"
  (cd "build/$arch" && cpack -G ZIP -B "$root/build/$arch/package" >/dev/null)
  cp "build/$arch"/package/Kiv-*-*.zip out/packages/
}

package x86_64
if kiv_can_run_win32; then
  package i686 -DKIV_SKIN_COMPILER=
else
  # The skins compile the same everywhere: this machine runs the 64-bit kivtool for them.
  package i686 "-DKIV_SKIN_COMPILER=$root/cmake/wine-run.sh;$root/build/x86_64/wine;win64;$root/build/x86_64/bin/kivtool.exe"
fi
ls -l out/packages
