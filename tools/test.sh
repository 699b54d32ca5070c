#!/usr/bin/env bash
# Installs what is missing, builds both Windows targets and runs the whole
# test suite under Wine. Exit status 0 only when every test that this machine
# can run passed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash tools/setup.sh
. cmake/wine-env.sh

configure() {  # configure ARCH [cmake options...]
  local arch=$1; shift
  cmake -S . -B "build/$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$arch-mingw.cmake" -DKIV_WARNINGS_AS_ERRORS=ON "$@" >/dev/null
}

status=0
if kiv_can_run_win32; then
  archs=(i686 x86_64)
  for arch in "${archs[@]}"; do
    configure "$arch" -DKIV_SKIN_COMPILER=
    cmake --build "build/$arch"
  done
else
  # The kernel refuses 32-bit programs, so Wine's 32-bit loader cannot start:
  # the i686 build is still compiled and linked in full (its skins come from
  # the x86_64 kivtool), but only the x86_64 programs can be run.
  echo "== this machine cannot run 32-bit programs: i686 is built, its tests are not run" >&2
  archs=(x86_64)
  configure x86_64
  cmake --build build/x86_64
  configure i686 "-DKIV_SKIN_COMPILER=$root/cmake/wine-run.sh;$root/build/x86_64/wine;win64;$root/build/x86_64/bin/kivtool.exe"
  cmake --build build/i686
fi
# Each build tree has its own Wine prefix and X display, so the suites of
# the two architectures run side by side; their reports follow one another
# once both are done, the last architecture's ctest summary last. A test
# that fails is run once more before it counts: pointer and timing cases can
# miss under the load of two suites, a fault fails both times.
pids=()
for arch in "${archs[@]}"; do
  ctest --test-dir "build/$arch" --output-on-failure --repeat until-pass:2 >"build/$arch/ctest.log" 2>&1 &
  pids+=($!)
done
for i in "${!archs[@]}"; do
  wait "${pids[$i]}" || status=1
done
for arch in "${archs[@]}"; do
  echo "== tests for $arch"
  cat "build/$arch/ctest.log"
done
exit $status
