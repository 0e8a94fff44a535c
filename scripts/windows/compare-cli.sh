#!/usr/bin/env bash
# Runs the same quarvel-cli commands with the Linux build and with the Windows build under wine,
# each on its own copy of the same history, and compares what they print byte for byte.
# Usage: compare-cli.sh LINUX_CLI WINDOWS_CLI_EXE HISTORY_TXT
# Prints one line per command (same / DIFFERENT) and exits 1 when any differs. The one difference
# allowed is the path separator in the file names the programs report (\ on Windows).
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
linux=$(realpath "$1")
windows=$(realpath "$2")
history=$(realpath "$3")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for side in linux windows; do
  mkdir -p "$work/$side/data"
  cp "$history" "$work/$side/示例历史号码.txt"
done

run() { # side command...
  local side=$1
  shift
  # The history and the settings file are named relative to the folder each program runs in,
  # so that neither output holds a path of its own system.
  if [ "$side" = linux ]; then
    (cd "$work/$side" && "$linux" --data-dir data --settings-file settings.ini "$@")
  else
    (cd "$work/$side" && "$here/wine-run.sh" "$windows" --data-dir data --settings-file settings.ini "$@")
  fi
}

commands=(
  "import 示例历史号码.txt"
  "list"
  "row 2019001"
  "search"
  "search --type 2 --range 2020001:2022150 --pos 1=3 --pos 3=2"
  "search --type 1 --fixed --no-special --as-of 2023100"
  "partial --values 01,02,03,04,05,06,07,08 -k 2"
  "partial --type 3 --pm --values 1,2,3,4,5,6,7,8"
  "groups --size 2 --boxes 1,2,3,4,5,6"
  "groups --type 1 --size 3 --boxes 1,3,5,7,9 --sort 3"
  "trend"
  "trend --type 2 --hot 50"
  "shape"
  "shape --summary"
  "calibrate"
  "calibrate --partial --values 01,02,03,04,05,06,07,08"
  "kline"
  "kline --partial --values 01,02,03,04,05,06,07,08"
  "backtest --size 2 --boxes 1,2,3,4,5,6 --test 2024001:2024030"
  "export"
)
failed=0
for c in "${commands[@]}"; do
  # shellcheck disable=SC2086
  run linux $c >"$work/out.linux" 2>"$work/err.linux"
  rl=$?
  # shellcheck disable=SC2086
  run windows $c >"$work/out.windows" 2>"$work/err.windows"
  rw=$?
  if [ $rl = $rw ] && cmp -s "$work/out.linux" "$work/out.windows" &&
    cmp -s "$work/err.linux" "$work/err.windows"; then
    printf 'same       %-70s status %d, %d bytes\n' "$c" $rl "$(stat -c %s "$work/out.linux")"
  elif [ $rl = $rw ] && cmp -s "$work/out.linux" <(tr '\\' / <"$work/out.windows") &&
    cmp -s "$work/err.linux" <(tr '\\' / <"$work/err.windows"); then
    # A file name the program reports is spelt as its system spells paths (data\x.txt on
    # Windows); nothing else may differ.
    printf 'same       %-70s status %d, %d bytes (paths with \\)\n' "$c" $rl \
      "$(stat -c %s "$work/out.linux")"
  else
    failed=1
    printf 'DIFFERENT  %-70s status %d/%d, %d/%d bytes\n' "$c" $rl $rw \
      "$(stat -c %s "$work/out.linux")" "$(stat -c %s "$work/out.windows")"
    diff <(head -c 2000 "$work/out.linux") <(head -c 2000 "$work/out.windows") | head -8
    diff "$work/err.linux" "$work/err.windows" | head -4
  fi
done
# The files export wrote, by name and bytes.
(cd "$work/linux/data" && find . -name '*.txt' -newer ../示例历史号码.txt -type f | sort) >"$work/files"
while IFS= read -r f; do
  if cmp -s "$work/linux/data/$f" "$work/windows/data/$f"; then
    printf 'same       exported file %s, %d bytes\n' "$f" "$(stat -c %s "$work/linux/data/$f")"
  else
    failed=1
    printf 'DIFFERENT  exported file %s\n' "$f"
  fi
done <"$work/files"
exit $failed
