#!/usr/bin/env bash
# Builds the C libraries quarvel links, for 64-bit Windows, from Debian's source packages (SQLite,
# gumbo, libfreexl) and from libgtest-dev's sources, as static libraries with pkg-config files in
# $QUARVEL_WINDOWS_PREFIX (default ~/.cache/quarvel-windows). Each is kept while its version stays.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
prefix=${QUARVEL_WINDOWS_PREFIX:-$HOME/.cache/quarvel-windows}
cc=x86_64-w64-mingw32-gcc-posix
ar=x86_64-w64-mingw32-ar
mkdir -p "$prefix/src" "$prefix/include" "$prefix/lib/pkgconfig"

source_version() { apt-cache showsrc "$1" | sed -n 's/^Version: //p' | head -1; }
built() { [ -f "$prefix/lib/.$1" ] && [ "$(cat "$prefix/lib/.$1")" = "$2" ]; }
mark() { printf '%s' "$2" >"$prefix/lib/.$1"; }

# Unpacks a source package into $prefix/src and prints its folder.
unpack() {
  local name=$1 version=$2 dir
  cd "$prefix/src"
  dir=$(ls -d "$name"-[0-9]* 2>/dev/null | head -1 || true)
  if [ -z "$dir" ] || [ "$(cat "$dir/.quarvel-version" 2>/dev/null)" != "$version" ]; then
    rm -rf "$name"-[0-9]* "${name}_"*
    apt-get source -qq "$name" >&2 || return 1
    dir=$(ls -d "$name"-[0-9]* | head -1) && [ -n "$dir" ] || return 1
    echo "$version" >"$dir/.quarvel-version"
  fi
  echo "$prefix/src/$dir"
}

pcfile() { # name version libs [cflags]
  cat >"$prefix/lib/pkgconfig/$1.pc" <<PC
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: $1
Description: $1 for Windows (quarvel's cross build)
Version: $2
Libs: -L\${libdir} $3
Cflags: -I\${includedir} ${4:-}
PC
}

# SQLite: the amalgamation is generated on this machine (tclsh), then compiled for Windows with
# the options Debian's own build uses.
v=$(source_version sqlite3)
if ! built sqlite3 "$v"; then
  src=$(unpack sqlite3 "$v")
  rm -rf "$prefix/build-sqlite3" && mkdir -p "$prefix/build-sqlite3" && cd "$prefix/build-sqlite3"
  "$src/configure" --disable-tcl >/dev/null
  make -s sqlite3.c sqlite3.h >/dev/null
  $cc -O2 -fno-strict-aliasing -DSQLITE_SECURE_DELETE -DSQLITE_ENABLE_COLUMN_METADATA \
    -DSQLITE_ENABLE_FTS3 -DSQLITE_ENABLE_FTS3_PARENTHESIS -DSQLITE_ENABLE_RTREE=1 \
    -DSQLITE_SOUNDEX=1 -DSQLITE_ENABLE_UNLOCK_NOTIFY -DSQLITE_OMIT_LOOKASIDE=1 \
    -DSQLITE_ENABLE_DBSTAT_VTAB -DSQLITE_ALLOW_ROWID_IN_VIEW -DSQLITE_ENABLE_UPDATE_DELETE_LIMIT=1 \
    -DSQLITE_ENABLE_JSON1 -DSQLITE_LIKE_DOESNT_MATCH_BLOBS -DSQLITE_THREADSAFE=1 \
    -DSQLITE_USE_URI=1 -DSQLITE_MAX_SCHEMA_RETRY=25 -DSQLITE_ENABLE_PREUPDATE_HOOK \
    -DSQLITE_ENABLE_SESSION -DSQLITE_ENABLE_STMTVTAB -DSQLITE_MAX_VARIABLE_NUMBER=250000 \
    -c sqlite3.c -o sqlite3.o
  rm -f "$prefix/lib/libsqlite3.a" && $ar rcs "$prefix/lib/libsqlite3.a" sqlite3.o
  cp sqlite3.h "$src/src/sqlite3ext.h" "$prefix/include/" 2>/dev/null || cp sqlite3.h "$prefix/include/"
  pcfile sqlite3 "${v%%-*}" "-lsqlite3"
  mark sqlite3 "$v"
  echo "SQLite $v built"
fi

# gumbo: its sources compiled into one static library. Where the archive does not serve its
# source, quarvel is built without the page reader (CMake says so) rather than not at all.
v=$(source_version gumbo-parser)
if ! built gumbo "$v"; then
  if src=$(unpack gumbo-parser "$v"); then
    rm -rf "$prefix/build-gumbo" && mkdir -p "$prefix/build-gumbo" && cd "$prefix/build-gumbo"
    for f in "$src"/src/*.c; do $cc -O2 -std=c99 -I"$src/src" -c "$f" -o "$(basename "$f" .c).o"; done
    rm -f "$prefix/lib/libgumbo.a" && $ar rcs "$prefix/lib/libgumbo.a" ./*.o
    cp "$src/src/gumbo.h" "$src/src/tag_enum.h" "$prefix/include/"
    pcfile gumbo "${v%%+*}" "-lgumbo"
    mark gumbo "$v"
    echo "gumbo $v built"
  else
    echo "warning: the archive does not serve the source of gumbo-parser $v;" \
      "quarvel.exe is built without the page reader" >&2
  fi
fi

# libfreexl (the tests read the written workbooks back with it), over a small iconv of Windows'
# code page functions.
v=$(source_version freexl)
if ! built freexl "$v"; then
  src=$(unpack freexl "$v")
  rm -rf "$prefix/build-freexl" && mkdir -p "$prefix/build-freexl" && cd "$prefix/build-freexl"
  : >config.h
  $cc -O2 -I"$here/iconv" -c "$here/iconv/iconv_win32.c" -o iconv_win32.o
  $cc -O2 -I. -I"$here/iconv" -I"$src/headers" -DVERSION="\"${v%%-*}\"" -c "$src/src/freexl.c" -o freexl.o
  rm -f "$prefix/lib/libfreexl.a" && $ar rcs "$prefix/lib/libfreexl.a" freexl.o iconv_win32.o
  cp "$src/headers/freexl.h" "$prefix/include/"
  pcfile freexl "${v%%-*}" "-lfreexl"
  mark freexl "$v"
  echo "libfreexl $v built"
fi

# GoogleTest from the sources libgtest-dev installs.
v=$(dpkg-query -W -f='${Version}' libgtest-dev)
if ! built gtest "$v"; then
  rm -rf "$prefix/build-gtest"
  cmake -S /usr/src/googletest -B "$prefix/build-gtest" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build "$prefix/build-gtest" -- -j1
  cmake --install "$prefix/build-gtest" >/dev/null
  mark gtest "$v"
  echo "GoogleTest $v built"
fi
