# Front door: `make test` sets up the machine, builds and runs every test.
PRESET ?= debug
PREFIX ?= /usr/local
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test asan bench fuzz run install package screenshot format format-check clean

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
	./build/release/bin/pinwright-paint-bench

# The window on a desktop; without a display, the demo script on the example
# files (see scripts/run-demo). Either way in a fresh build/demo-output.
run:
	$(MAKE) configure PRESET=release
	cmake --build --preset release -j $(JOBS) --target pinwright pinwright-script
	./scripts/run-demo build/release/bin

# The programs with their help file and default symbol in PREFIX/lib/pinwright,
# a link to each program in PREFIX/bin, and in PREFIX/share the manual pages,
# the desktop entry, the icon and the documents: the package's layout.
install:
	$(MAKE) configure PRESET=release
	cmake --build --preset release -j $(JOBS) --target pinwright_install_files
	cmake --install build/release --prefix $(PREFIX)

# build/release/pinwright_VERSION_ARCH.deb: the same files under /usr, from the
# release build (CPack's DEB generator; scripts/check-package tests it).
package:
	$(MAKE) configure PRESET=release
	cmake --build --preset release -j $(JOBS) --target pinwright_install_files
	cd build/release && cpack

# The main dialog after start-up and at the first review stop of the example
# files' update run in a window of 1024 x 600, and that stop at 1920 x 1080,
# rendered off screen.
screenshot:
	$(MAKE) configure PRESET=release
	cmake --build --preset release -j $(JOBS) --target pinwright-screenshot
	mkdir -p docs
	QT_QPA_PLATFORM=offscreen ./build/release/bin/pinwright-screenshot \
	  docs/main-dialog.png docs/review-stop.png docs/review-stop-1920x1080.png examples

# Each fuzz target for FUZZ_SECONDS (libFuzzer, clang, sanitizers).
FUZZ_SECONDS ?= 10
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS) --target fuzz_targets
	./scripts/run-fuzzers $(FUZZ_SECONDS)

format:
	git ls-files '*.cpp' '*.hpp' | xargs clang-format -i

# Fails, naming the places, where a tracked source is not formatted.
format-check: deps
	git ls-files '*.cpp' '*.hpp' | xargs clang-format --dry-run --Werror

clean:
	rm -rf build
