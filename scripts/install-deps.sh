#!/usr/bin/env bash
# Installs the Debian packages quarvel builds, tests and runs with; does nothing when all are present.
set -euo pipefail

packages=(
  qt6-base-dev libsqlite3-dev libgumbo-dev libfreexl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  cmake ninja-build g++ pkg-config make
  fonts-noto-cjk xvfb xauth
  qt6-translations-l10n desktop-file-utils dpkg-dev file
  clang-format clang-tidy
)
# `install-deps.sh fuzz`: also the compiler and runtime of the fuzz targets.
if [ "${1:-}" = "fuzz" ]; then packages+=(clang libclang-rt-14-dev); fi
# `install-deps.sh windows`: the MinGW-w64 cross compiler, Qt's host tools, wine to run the tests
# and NSIS for the installer; Qt, SQLite and gumbo come as Debian source packages, so the archive's
# deb-src entry is added beside its deb entry when it is missing.
windows=0
if [ "${1:-}" = "windows" ]; then
  windows=1
  packages+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
    qt6-base-dev-tools wine64 nsis zip unzip xdotool imagemagick)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive

need_update=0
if [ "$windows" = 1 ]; then
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] || continue
    if grep -q '^Types:.*\bdeb\b' "$f" && ! grep -q '^Types:.*deb-src' "$f"; then
      echo "Adding deb-src to $f"
      "${sudo_cmd[@]}" sed -i 's/^Types: deb$/Types: deb deb-src/' "$f"
      need_update=1
    fi
  done
  if [ -f /etc/apt/sources.list ] && grep -q '^deb http' /etc/apt/sources.list &&
    ! grep -q '^deb-src' /etc/apt/sources.list; then
    grep '^deb http' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
      "${sudo_cmd[@]}" tee -a /etc/apt/sources.list >/dev/null
    need_update=1
  fi
fi

if [ ${#missing[@]} -eq 0 ]; then
  if [ "$need_update" = 1 ]; then "${sudo_cmd[@]}" apt-get update -qq -o DPkg::Lock::Timeout=600; fi
  exit 0
fi

echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq -o DPkg::Lock::Timeout=600
"${sudo_cmd[@]}" apt-get install -y -qq -o DPkg::Lock::Timeout=600 --no-install-recommends "${missing[@]}"
