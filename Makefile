# The two commands of the README: `make run` and `make test`. Both install what is missing first.
.PHONY: deps configure build run test bench test-asan fuzz deb clean

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake --preset default

build: configure
	cmake --build --preset default

run: build
	./build/bin/quarvel $(ARGS)

test: build
	ctest --preset default

bench: build
	@for b in build/bench/bench_*; do echo "== $$b"; "$$b" $(BENCH_ARGS) || exit 1; done

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

clean:
	rm -rf build build-debug build-asan build-fuzz
