#!/usr/bin/env bash
# Builds Qt's base for 64-bit Windows with MinGW-w64, once, from Debian's source package of
# qt6-base, into $QUARVEL_WINDOWS_PREFIX/qt (default ~/.cache/quarvel-windows/qt). The build is
# kept while the source version and these options stay the same; the host tools are those of
# qt6-base-dev-tools, which must be the same Qt version.
# Usage: build-qt.sh [-jN]     (nice it when the machine is shared: it takes about an hour on two cores)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
prefix=${QUARVEL_WINDOWS_PREFIX:-$HOME/.cache/quarvel-windows}
jobs=${1:--j2}
mkdir -p "$prefix/src"

host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
source_version=$(apt-cache showsrc qt6-base | sed -n 's/^Version: //p' | head -1)
if [ "${host_version%%+*}" != "${source_version%%+*}" ]; then
  echo "qt6-base-dev-tools is $host_version but the source package is $source_version" >&2
  exit 1
fi

options=(
  -DCMAKE_BUILD_TYPE=Release
  -DBUILD_SHARED_LIBS=ON
  -DQT_QMAKE_TARGET_MKSPEC=win32-g++
  -DQT_HOST_PATH=/usr
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DQT_GENERATE_SBOM=OFF
  # Core, Gui, Widgets, Network and Test; the rest is left out.
  -DFEATURE_sql=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_dbus=OFF
  -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_dynamicgl=OFF
  # Debian's source leaves out the wintab header (pen tablets only).
  -DFEATURE_tabletevent=OFF
  -DFEATURE_schannel=ON -DFEATURE_openssl=OFF
  # The bundled libraries, so that the DLLs need nothing beside them but the compiler's runtime.
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
  -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_md4c=OFF -DFEATURE_system_libb2=OFF
  -DFEATURE_icu=OFF -DFEATURE_zstd=OFF
)
stamp_text="qt6-base $source_version
toolchain $(sha1sum "$repo/cmake/mingw-w64-x86_64.cmake" | cut -c1-40)
${options[*]}"
stamp="$prefix/qt/.quarvel-build"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$stamp_text" ]; then
  echo "Qt $source_version for Windows is built in $prefix/qt"
  exit 0
fi

cd "$prefix/src"
srcdir=$(ls -d qt6-base-[0-9]* 2>/dev/null | head -1 || true)
if [ -z "$srcdir" ] || [ ! -f "$srcdir/.quarvel-version" ] ||
  [ "$(cat "$srcdir/.quarvel-version")" != "$source_version" ]; then
  rm -rf qt6-base-[0-9]* qt6-base_*
  apt-get source -qq qt6-base
  srcdir=$(ls -d qt6-base-[0-9]* | head -1)
  echo "$source_version" >"$srcdir/.quarvel-version"
fi

rm -rf "$prefix/qt" "$prefix/build-qt"
cmake -S "$srcdir" -B "$prefix/build-qt" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_INSTALL_PREFIX="$prefix/qt" "${options[@]}"
cmake --build "$prefix/build-qt" -- "$jobs"
cmake --install "$prefix/build-qt"
printf '%s' "$stamp_text" >"$stamp"
echo "Qt $source_version for Windows installed in $prefix/qt"
