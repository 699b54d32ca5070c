# Sourced by the scripts that run the programs for people to see (run.sh,
# docs.sh) from the repository root, with root set: picks the build they use.
# i686 is the primary target; a kernel that cannot run 32-bit programs gets
# the x86_64 build instead. Sets arch, winearch and build (KIV_BUILD_DIR names
# another build folder). $1 names the caller in the message.
arch=i686 winearch=win32
WINEARCH=win32 . cmake/wine-env.sh
if ! kiv_can_run_win32; then
  arch=x86_64 winearch=win64
  echo "$1: this machine cannot run 32-bit programs; using the x86_64 build" >&2
fi
build=${KIV_BUILD_DIR:-$root/build/$arch}
