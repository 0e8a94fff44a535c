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

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
