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
# One wine server kept for a minute after its last program: tests started one after another
# then never meet a server that is just shutting down ("recvmsg: Connection reset by peer").
"$wineserver" -p60 </dev/null >/dev/null 2>&1 || true
# wine does not hand QT_* variables on to Windows programs: a Qt Test program gets the platform
# that ctest asks for (QT_QPA_PLATFORM=offscreen) as its -platform option instead.
case "$(basename "${1:-}")" in
  test_app_*)
    # The offscreen platform reads its fonts from Qt's lib/fonts folder alone (wine keeps QT_*
    # variables such as QT_QPA_FONTDIR from Windows programs): the fonts the Linux tests get from
    # fontconfig, so that the window is measured with real Latin and CJK glyphs, not boxes.
    fonts=$prefix/qt/lib/fonts
    if [ ! -d "$fonts" ]; then
      mkdir -p "$fonts"
      ln -sf /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf \
        /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf \
        /usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc "$fonts/" 2>/dev/null || true
    fi
    if [ -n "${QT_QPA_PLATFORM:-}" ]; then set -- "$@" -platform "$QT_QPA_PLATFORM"; fi
    # Its log does not reach a pipe under wine: it is written to a file and shown afterwards.
    log=$(mktemp --suffix=.txt)
    trap 'rm -f "$log"' EXIT
    status=0
    "$wine" "$@" -o "Z:${log//\//\\},txt" || status=$?
    cat "$log"
    exit $status
    ;;
esac
exec "$wine" "$@"
