#!/bin/bash
# Instructions per start-up and per click in the real main window at a full history, counted by
# callgrind over the measured part of bench/window/bench_window.cpp only (the window built and
# shown; the click, its events and the paint of the result grids). Steady on a shared machine,
# unlike the wall times that bench_window prints. Usage: bench/window_instructions.sh BUILD_DIR
set -eu
bench=$1/bench/bench_window
runs=5  # the benchmarks' iterations
count() {  # FILTER FUNCTION
  QT_QPA_PLATFORM=offscreen valgrind --tool=callgrind --callgrind-out-file=/dev/null \
    --toggle-collect="*$2*" "$bench" --benchmark_filter="$1" 2>&1 >/dev/null |
    sed -n 's/.*Collected : //p'
}
printf '%-28s %14s\n' measure 'instr/run'
for m in "StartUp startWindow" "Search clickToPainted" "Partial clickToPainted" \
         "Groups clickToPainted"; do
  set -- $m
  printf '%-28s %14s\n' "$1" $(( $(count "$1" "$2") / runs ))
done
