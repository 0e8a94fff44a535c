#!/usr/bin/env bash
# Runs a Windows program under wine64 with a private prefix, quietly, with the DLLs it needs on
# its PATH: the compiler's runtime and Qt's. CMake's emulator for the tests of a Windows build.
set -euo pipefail
prefix=${QUARVEL_WINDOWS_PREFIX:-$HOME/.cache/quarvel-windows}
export WINEPREFIX=${WINEPREFIX:-$prefix/wine}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
# The folders of the DLLs in Windows' own spelling (drive Z: is the root).
winpath="Z:${runtime//\//\\};Z:${prefix//\//\\}\\qt\\bin;Z:\\usr\\x86_64-w64-mingw32\\lib"
export WINEPATH="$winpath${WINEPATH:+;$WINEPATH}"
# Debian's wine64 package keeps its programs out of PATH unless the `wine` package is there too.
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  "$wine" wineboot -i >/dev/null 2>&1 || true
  "$wineserver" -w
fi
exec "$wine" "$@"
