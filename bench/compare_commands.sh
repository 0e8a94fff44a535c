#!/bin/bash
# Whole-process cost of the analysis commands beside the yardstick (bench/yardstick), in
# instructions counted by callgrind (steady on a shared machine, unlike wall time), and wall
# time best of five, run side by side (the goal: every analysis within 1.5x in wall time;
# instructions do not show what loading libraries costs).
# Usage: bench/compare_commands.sh BUILD_DIR HISTORY.txt [OTHER_CLI]
# The history is imported into a fresh data folder first; OTHER_CLI, when given (a build of
# another branch), is measured on the same file and its outputs compared byte for byte.
set -eu
build=$1; history=$2; other=${3:-}
cli=$build/bin/quarvel-cli; yard=$build/bench/yardstick
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
instr() { valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null | sed -n 's/.*Collected : //p'; }
wall() {
  local best=999999
  for _ in 1 2 3 4 5; do
    local s=$(date +%s%N); "$@" >/dev/null 2>&1; local e=$(date +%s%N)
    best=$(( (e - s) / 1000000 < best ? (e - s) / 1000000 : best ))
  done
  echo $best
}
for bin in $cli $other; do
  [ -n "$bin" ] || continue
  d=$work/$(basename $(dirname $(dirname $bin)))_$RANDOM; mkdir -p $d
  echo "== $bin"
  "$bin" --data-dir $d --settings-file $d/s.ini import "$history" >/dev/null
  printf '%-10s %14s %8s %14s %8s %6s %6s\n' command instr ms yardstick ms instr× wall×
  while read -r name yargs cargs; do
    c="$bin --data-dir $d --settings-file $d/s.ini $cargs"
    ci=$(instr $c); cw=$(wall $c)
    yi=$(instr $yard $d/quarvel.mdb $yargs); yw=$(wall $yard $d/quarvel.mdb $yargs)
    $c > $work/out.cli 2>/dev/null || true; $yard $d/quarvel.mdb $yargs > $work/out.yard
    same=$(cmp -s $work/out.cli $work/out.yard && echo same || echo DIFFERENT)
    printf '%-10s %14s %8s %14s %8s %6s %6s %s\n' $name $ci $cw $yi $yw \
      $(awk -v a=${ci//,/} -v b=${yi//,/} 'BEGIN{printf "%.2f", a/b}') \
      $(awk -v a=$cw -v b=$yw 'BEGIN{printf "%.2f", (b > 0 ? a / b : 0)}') $same
  done <<'LIST'
search   search   search --type 0 --pos 1=05 --pos 2=12
partial0 partial0 partial --type 0 -k 4 --values 03,07,11,15,19,23,27,30
partial1 partial1 partial --type 1 -k 4 --values 1,2,3,4,5,6,7,8
groups   groups   groups --type 0 --size 4 --boxes 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24
LIST
  for cmd in export "import $history"; do
    c="$bin --data-dir $d --settings-file $d/s.ini $cmd"
    printf '%-10s %14s %8s\n' ${cmd%% *} $(instr $c) $(wall $c)
  done
done
