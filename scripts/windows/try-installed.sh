#!/usr/bin/env bash
# Installs the installer silently into a fresh wine prefix, runs the installed quarvel-cli.exe
# on the installed sample history, opens the installed window under Xvfb for a screenshot, and
# uninstalls silently, listing what stays. Usage: try-installed.sh SETUP_EXE SCREENSHOT_PNG
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
setup=$(realpath "$1")
shot=$(realpath -m "$2")
export WINEPREFIX=$(mktemp -d)/wine
trap 'rm -rf "$(dirname "$WINEPREFIX")"' EXIT
wine() { "$here/wine-run.sh" "$@"; }
drive_c=$WINEPREFIX/drive_c
wine "$setup" /S
dir="$drive_c/Program Files/quarvel"
echo "== installed files"
(cd "$dir" && find . -type f | sort)
echo "== Start menu"
find "$drive_c" -name '*.lnk' | sed "s|$drive_c|C:|"
echo "== the installed quarvel-cli.exe"
sample='C:\Program Files\quarvel\历史号码\示例历史号码.txt'
wine "$dir/quarvel-cli.exe" --version
wine "$dir/quarvel-cli.exe" import "$sample"
wine "$dir/quarvel-cli.exe" list | tail -2
echo "== the data folder it chose"
find "$drive_c/users" -path '*quarvel*' -maxdepth 6 | sed "s|$drive_c|C:|" | head
echo "== the installed window"
# wine's desktop process binds to the display it first sees: start afresh under Xvfb.
"${WINESERVER:-/usr/lib/wine/wineserver}" -k || true
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$0" "$1" &
  sleep 30
  import -window root "$2"
  kill %1 2>/dev/null || true
  "'"${WINESERVER:-/usr/lib/wine/wineserver}"'" -k || true' "$here/wine-run.sh" "$dir/quarvel.exe" "$shot"
echo "screenshot: $shot"
echo "== silent uninstall"
wine "$dir/uninstall.exe" /S
sleep 5
echo "left in the program folder:"; find "$dir" 2>/dev/null | sed "s|$drive_c|C:|" || true
echo "left in the data folder:"; find "$drive_c/users" -path '*quarvel*' | sed "s|$drive_c|C:|" | head
