#!/usr/bin/env bash
# `make windows`: Qt's base (once), SQLite, gumbo and libfreexl for Windows, then quarvel.exe,
# quarvel-cli.exe and the tests in build-windows/, then the portable zip and the installer.
# Everything comes from Debian's packages and source packages. JOBS sets the parallel jobs
# (default 2); the compilers run at a low priority, so that the machine stays usable.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
export QUARVEL_WINDOWS_PREFIX=${QUARVEL_WINDOWS_PREFIX:-$HOME/.cache/quarvel-windows}
prefix=$QUARVEL_WINDOWS_PREFIX
build=${QUARVEL_WINDOWS_BUILD:-$repo/build-windows}
jobs=${JOBS:-2}
mkdir -p "$prefix"

started=$(date +%s)
nice -n 19 "$here/build-qt.sh" "-j$jobs"
nice -n 19 "$here/build-libs.sh"
qt_done=$(date +%s)

cmake -S "$repo" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
  -DQUARVEL_WINDOWS_PREFIX="$prefix" \
  -DCMAKE_PREFIX_PATH="$prefix/qt;$prefix" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_BUILD_TYPE=Release -DQUARVEL_BUILD_BENCH=OFF
nice -n 19 cmake --build "$build" -- "-j$jobs"
built=$(date +%s)

"$here/package.sh" "$build"
echo "Windows build: libraries $((qt_done - started)) s, quarvel $((built - qt_done)) s"
