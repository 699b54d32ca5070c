#!/usr/bin/env bash
# Puts the conformance tests of the installed Wine into a cache outside the
# tree and prints the folder that holds them:
#   fetch-wine-tests.sh [CACHE_DIR]
# CACHE_DIR defaults to $KIV_CONFORMANCE_CACHE, else ~/.cache/kiv-conformance.
# KIV_WINE_VERSION names another version than the installed one.
#
# The tests come from Debian's source package of exactly the installed
# version, fetched with apt-get through an apt state of our own (deb-src
# entries made from this machine's own package sources), so the system's apt
# configuration is never touched. Only the test folders of user32 and
# comctl32 and the headers they include are kept. Exit status 1 with a
# message on stderr when the package cannot be had.
set -euo pipefail

fail() {
  echo "fetch-wine-tests: $*" >&2
  exit 1
}

version=${KIV_WINE_VERSION:-$(dpkg-query -W -f='${Version}' wine 2>/dev/null || true)}
[ -n "$version" ] || fail "the Debian package wine is not installed"
cache=${1:-${KIV_CONFORMANCE_CACHE:-${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/kiv-conformance}}
dest=$cache/wine-${version//:/_}
# What the test programs are built from (the peer test header includes the
# other two).
wanted=(dlls/user32/tests dlls/comctl32/tests include/wine/test.h include/wine/debug.h include/wine/heap.h)

if [ -f "$dest/.complete" ]; then
  echo "$dest"
  exit 0
fi

mkdir -p "$cache"
exec 8>"$cache/.lock"
flock 8
if [ -f "$dest/.complete" ]; then   # another build fetched it meanwhile
  echo "$dest"
  exit 0
fi

work=$(mktemp -d "$cache/fetch.XXXXXX")
trap 'rm -rf "$work"' EXIT
apt=$work/apt
mkdir -p "$apt/etc/sources.list.d" "$apt/state/lists/partial" "$apt/cache/archives/partial" "$work/download"

# Source entries for every archive this machine installs binary packages from.
: >"$apt/etc/sources.list"
for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [ -f "$list" ] || continue
  sed -n -E 's/^[[:space:]]*deb[[:space:]]+/deb-src /p' "$list" >>"$apt/etc/sources.list"
done
for sources in /etc/apt/sources.list.d/*.sources; do
  [ -f "$sources" ] || continue
  sed -E 's/^Types:.*/Types: deb-src/' "$sources" >"$apt/etc/sources.list.d/$(basename "$sources")"
done

apt_options=(
  -o "Dir::State=$apt/state" -o "Dir::Cache=$apt/cache"
  -o "Dir::Etc::SourceList=$apt/etc/sources.list" -o "Dir::Etc::SourceParts=$apt/etc/sources.list.d"
  -o "APT::Sandbox::User=$(id -un)" -o "Debug::NoLocking=1"
)
if ! apt-get "${apt_options[@]}" -qq update >"$work/apt.log" 2>&1; then
  cat "$work/apt.log" >&2
  fail "apt-get could not read the source indexes of this machine's package archives"
fi
if ! (cd "$work/download" && apt-get "${apt_options[@]}" -qq source --download-only "wine=$version") \
    >"$work/apt.log" 2>&1; then
  cat "$work/apt.log" >&2
  fail "the source package wine=$version cannot be fetched"
fi

dsc=$(ls "$work/download"/*.dsc 2>/dev/null | head -n 1)
[ -n "$dsc" ] || fail "the source package wine=$version came without its .dsc"
orig=$(ls "$work/download"/*.orig.tar.* 2>/dev/null | head -n 1)
debian=$(ls "$work/download"/*.debian.tar.* 2>/dev/null | head -n 1)
[ -n "$orig" ] || fail "the source package wine=$version has no upstream tarball"

mkdir -p "$work/tree"
patched=0
if [ -n "$debian" ] && tar -xOf "$debian" --wildcards '*/patches/*' 2>/dev/null |
     grep -qE '^\+\+\+ [^ ]*/(dlls/(user32|comctl32)/tests/|include/wine/(test|debug|heap)\.h)'; then
  patched=1
fi
if [ $patched -eq 1 ]; then
  # Debian changes some of these files: unpack the whole package with its
  # patches applied, then keep only what is wanted.
  command -v dpkg-source >/dev/null || fail "dpkg-source (package dpkg-dev) is needed to unpack wine=$version"
  dpkg-source --no-check -x "$dsc" "$work/full" >"$work/unpack.log" 2>&1 ||
    { cat "$work/unpack.log" >&2; fail "dpkg-source could not unpack wine=$version"; }
  for path in "${wanted[@]}"; do
    mkdir -p "$work/tree/$(dirname "$path")"
    cp -a "$work/full/$path" "$work/tree/$path"
  done
else
  patterns=()
  for path in "${wanted[@]}"; do patterns+=("*/$path"); done
  tar -xf "$orig" -C "$work/tree" --strip-components=1 --wildcards "${patterns[@]}" ||
    fail "the upstream tarball of wine=$version lacks the test folders"
fi
for path in "${wanted[@]}"; do
  [ -e "$work/tree/$path" ] || fail "wine=$version has no $path"
done

rm -rf "$dest"
mv "$work/tree" "$dest"
echo "$version" >"$dest/.complete"
echo "$dest"
