# Sourced by the Wine scripts after WINEARCH is set.
# KIV_WINE is the loader for the prefix's architecture. Debian's `wine`
# wrapper always prefers the 32-bit loader when it is installed, which on a
# kernel without 32-bit program support fails with "Exec format error" even
# for 64-bit programs; a win64 prefix therefore uses the 64-bit loader directly.
if [ "${WINEARCH:-win32}" = win64 ] && [ -x /usr/lib/wine/wine64 ]; then
  KIV_WINE=/usr/lib/wine/wine64
  export WINELOADER=$KIV_WINE
else
  KIV_WINE=wine
fi

# True when this machine can run 32-bit Windows programs (Wine's 32-bit
# loader is installed and the kernel executes 32-bit programs).
kiv_can_run_win32() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}
