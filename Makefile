# The two commands of the README: `make run` and `make test`. Both install what is missing first.
.PHONY: deps configure build run test test-fast bench test-asan fuzz deb format format-check tidy clean
.PHONY: windows test-windows

deps:
	bash scripts/install-deps.sh

# CMAKE_FLAGS adds configure options, e.g. CMAKE_FLAGS=-DQUARVEL_WERROR=ON as CI builds.
configure: deps
	cmake --preset default $(CMAKE_FLAGS)

build: configure
	cmake --build --preset default

run: build
	./build/bin/quarvel $(ARGS)

test: build
	ctest --preset default

# The unit and window tests, without the kill and race trials.
test-fast: build
	ctest --preset default -L 'unit|window'

# The benchmarks, then every analysis command beside the yardstick (bench/compare_commands.sh)
# on BENCH_HISTORY, a history text file (by default the sample; the goals are stated at 32,766
# draws). The comparison counts instructions with valgrind and is left out without it.
BENCH_HISTORY ?= build/bin/历史号码/示例历史号码.txt
bench: build
	@for b in build/bench/bench_*; do echo "== $$b"; "$$b" $(BENCH_ARGS) || exit 1; done
	@if command -v valgrind >/dev/null; then bench/compare_commands.sh build "$(BENCH_HISTORY)"; \
	else echo "valgrind is not installed: the comparison with the yardstick is left out"; fi

# A Debian package of the programs, the desktop entry, the icon, the sample history and the
# documentation, in build/; its Depends come from the libraries the programs link.
deb: build
	cd build && cpack -G DEB

test-asan: deps
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

# Runs every fuzz target for FUZZ_SECONDS (default 60); new inputs collect in build-fuzz/corpus.
FUZZ_SECONDS ?= 60
fuzz:
	bash scripts/install-deps.sh fuzz
	cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DQUARVEL_FUZZ=ON
	cmake --build build-fuzz
	@for f in build-fuzz/fuzz/fuzz_*; do n=$${f##*/fuzz_}; mkdir -p build-fuzz/corpus/$$n fuzz/corpus/$$n; \
	  echo "== $$n"; "$$f" -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  -artifact_prefix=build-fuzz/corpus/$$n- build-fuzz/corpus/$$n fuzz/corpus/$$n || exit 1; done

# The tree as the repo's .clang-format lays it out: `make format` rewrites, `make format-check`
# (run by CI) fails on any difference.
FORMAT_FILES = $(shell git ls-files '*.cpp' '*.h')
format:
	@clang-format -i $(FORMAT_FILES)
format-check:
	@clang-format --dry-run --Werror $(FORMAT_FILES) && echo "every file laid out by .clang-format"

# The checks of .clang-tidy over the sources of src/, with the build's compile commands.
tidy: build
	clang-tidy -p build --quiet --extra-arg=-Wno-unknown-warning-option $(shell git ls-files 'src/*.cpp')

# Windows, cross-built here with MinGW-w64 from Debian's packages (scripts/windows/build.sh):
# Qt's base is built once into ~/.cache/quarvel-windows (about an hour on two cores), then the
# programs and tests in build-windows/, with the portable zip and the installer beside them.
windows:
	bash scripts/install-deps.sh windows
	bash scripts/windows/build.sh

# The unit, CLI and window tests of the Windows build, under wine (a private prefix in
# ~/.cache/quarvel-windows/wine); the window tests use the offscreen platform.
test-windows: windows
	ctest --test-dir build-windows -L 'unit|window' --output-on-failure

clean:
	rm -rf build build-debug build-asan build-fuzz build-windows
