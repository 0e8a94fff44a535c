# The two commands of the README: `make run` and `make test`. Both install what is missing first.
.PHONY: deps configure build run test bench test-asan clean

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

test-asan: deps
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

clean:
	rm -rf build build-debug build-asan
