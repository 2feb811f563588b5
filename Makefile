# Front door: `make test` sets up the machine, builds and runs every test.
PRESET ?= debug
PREFIX ?= /usr/local
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test asan bench fuzz format clean

all: build

deps:
	./scripts/install-deps

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET) -j $(JOBS)

test: build
	ctest --preset $(PRESET) -j $(JOBS)

asan:
	$(MAKE) test PRESET=asan

bench:
	$(MAKE) build PRESET=release
	./build/release/bin/pinwright-bench

# Each fuzz target for FUZZ_SECONDS (libFuzzer, clang, sanitizers).
FUZZ_SECONDS ?= 10
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS) --target fuzz_targets
	./scripts/run-fuzzers $(FUZZ_SECONDS)

format:
	git ls-files '*.cpp' '*.hpp' | xargs clang-format -i

clean:
	rm -rf build
