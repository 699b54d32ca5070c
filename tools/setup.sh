#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine.
# Idempotent: when every package is present and the Wine test sources are
# cached it returns at once.
set -euo pipefail

packages=(
  cmake ninja-build make python3 ccache
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64
  wine wine32:i386 wine64 xvfb xauth x11-utils
  doctest-dev imagemagick fonts-wqy-microhei fonts-dejavu-core fonts-wine
  mono-mcs libmono-system-windows-forms4.0-cil
  llvm lld clang clang-format
  dpkg-dev xz-utils
)

# The conformance tests come from the source package of the installed Wine,
# kept in a cache outside the tree. A failed fetch does not stop the set-up:
# the conformance test then fails and says why.
fetch_conformance_sources() {
  tests/conformance/fetch-wine-tests.sh >/dev/null ||
    echo "setup: the Wine test sources could not be fetched; the conformance test will fail" >&2
}
cd "$(dirname "$0")/.."

missing=()
for p in "${packages[@]}"; do
  name=${p%%:*}
  arch=${p#*:}; [ "$arch" = "$p" ] && arch=""
  query=$name; [ -n "$arch" ] && query="$name:$arch"
  status=$(dpkg-query -W -f='${Status}' "$query" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  fetch_conformance_sources
  exit 0
fi

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
echo "setup: installing ${missing[*]}" >&2
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fetch_conformance_sources
