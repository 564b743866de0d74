# Hexaglint: `make run` builds and starts the game, `make test` builds and runs every test headless.

JOBS       ?= $(shell nproc)
RELEASE    := build/release
SANITIZE   := build/sanitize
FUZZ       := build/fuzz
XVFB       := xvfb-run -a -s "-screen 0 1280x1024x24"
CMAKE_ARGS ?=
# Leak reports from the GL driver, X and audio libraries are theirs, not ours.
SAN_ENV    := ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
              LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
              UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: run test test-sanitize build build-all build-sanitize deps test-deps bench bench-startup \
        fuzz format assets clean

# Playing builds the game alone; the tests and benchmarks in the same folder are configured in
# only once their libraries are installed (make test turns them on), and built only by the
# targets that use them.
run: deps
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS)
	cmake --build $(RELEASE) -j $(JOBS) --target hexaglint
	cd data && ../$(RELEASE)/hexaglint

test: build-all
	cd $(RELEASE) && $(XVFB) ctest --output-on-failure -j $(JOBS)

test-sanitize: build-sanitize
	cd $(SANITIZE) && $(SAN_ENV) $(XVFB) ctest --output-on-failure -j $(JOBS)

# A long random session against the real game, over ten minutes a build: one game on the Release
# build, whose resident memory must hold steady (the sanitizer's quarantine keeps freed memory on
# purpose), then game after game on the sanitizer build.
SOAK_SECONDS ?= 630
.PHONY: soak
soak: build-all build-sanitize
	cd $(RELEASE) && HEXAGLINT_SOAK_SECONDS=$(SOAK_SECONDS) HEXAGLINT_SOAK_ONE_GAME=1 \
	    $(XVFB) tests/e2e_tests --gtest_filter='SoakTest.*'
	cd $(SANITIZE) && $(SAN_ENV) HEXAGLINT_SOAK_SECONDS=$(SOAK_SECONDS) \
	    $(XVFB) tests/e2e_tests --gtest_filter='SoakTest.*'

# tools/install-deps names the packages of each role: with no option, what building and playing
# need; the options add packaging, the test and benchmark toolchain, and clang for the fuzzers.
deps:
	./tools/install-deps

test-deps:
	./tools/install-deps --test

build: deps
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS)
	cmake --build $(RELEASE) -j $(JOBS)

# The Release build with its tests and benchmarks, whatever an earlier `make run` configured.
build-all: test-deps
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release -DHEXAGLINT_TESTS=ON -DHEXAGLINT_BENCH=ON \
	    $(CMAKE_ARGS)
	cmake --build $(RELEASE) -j $(JOBS)

build-sanitize: test-deps
	cmake -S . -B $(SANITIZE) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHEXAGLINT_SANITIZE=ON \
	    -DHEXAGLINT_TESTS=ON -DHEXAGLINT_BENCH=OFF $(CMAKE_ARGS)
	cmake --build $(SANITIZE) -j $(JOBS)

# libFuzzer binaries for the PNG decoder and the glyph rasteriser (clang only), each run briefly
# from its seed corpus. Long runs: build/fuzz/fuzz/png_fuzzer -help=1.
fuzz:
	./tools/install-deps --fuzz
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHEXAGLINT_FUZZ=ON \
	    -DHEXAGLINT_TESTS=OFF -DHEXAGLINT_BENCH=OFF $(CMAKE_ARGS)
	cmake --build $(FUZZ) -j $(JOBS) --target fuzzers
	cd $(FUZZ) && ctest --output-on-failure -L fuzz

# The Debian package of the Release build, written next to it: build/release/hexaglint_*.deb.
.PHONY: package
package: build
	./tools/install-deps --package
	cd $(RELEASE) && cpack -G DEB

bench: build-all
	cd data && $(XVFB) ../$(RELEASE)/bench/benchmarks

# Start-up to the first frame and memory on the play screen, the game against a bare window that
# only clears (docs/performance.md): medians of 21 runs, started alternately. The sound library
# gets a device that opens at once, as a player's does; BENCH_AUDIO= leaves it to probe Xvfb's
# missing one.
BENCH_AUDIO ?= dummy
BENCH_ENV   := $(if $(BENCH_AUDIO),SDL_AUDIODRIVER=$(BENCH_AUDIO))
bench-startup: build-all
	cd data && $(BENCH_ENV) $(XVFB) ../$(RELEASE)/bench/startup_probe --runs 21 --clicks 2 \
	    --settle 3 ../$(RELEASE)/bench/bare_window ../$(RELEASE)/hexaglint

# The game's own frames, title and play screen, as the frame probe sees them inside the game.
.PHONY: bench-frames
bench-frames: build-all
	cd data && $(BENCH_ENV) $(XVFB) ../$(RELEASE)/bench/startup_probe --runs 1 --clicks 2 \
	    --settle 6 --preload ../$(RELEASE)/bench/frame_probe.so ../$(RELEASE)/hexaglint

# What the game takes from the processor and how many frames it draws on the title and the play
# screen, minimised and covered, under Openbox (docs/performance.md): 12 seconds a state.
.PHONY: bench-power
bench-power: build-all
	cd data && $(BENCH_ENV) $(XVFB) ../$(RELEASE)/bench/startup_probe --power 12 --runs 3 \
	    --manager openbox --preload ../$(RELEASE)/bench/frame_probe.so ../$(RELEASE)/hexaglint

# The game at the picture's size and on a desktop scaled 200% (GDK_SCALE=2, on a screen with room
# for the 2048 x 1536 window), in turn: start-up and memory against the bare window, then each
# one's own frames (for 40 seconds: a 2x frame takes several times a 1x one). The middle one is
# the 2x window with only the 1x pictures to load (a data folder without the 2x files), which
# parts the larger window's own cost from the 2x pictures'.
SCALES_XVFB := xvfb-run -a -s "-screen 0 2560x1600x24"
SCALES_1X_DATA := $(CURDIR)/$(RELEASE)/data-1x-pictures
GAME_AT_SCALES := -e GDK_SCALE=1 ../$(RELEASE)/hexaglint -e GDK_SCALE=2 -C $(SCALES_1X_DATA) \
    $(CURDIR)/$(RELEASE)/hexaglint -C . ../$(RELEASE)/hexaglint
.PHONY: bench-scales
bench-scales: build-all
	rm -rf $(SCALES_1X_DATA) && mkdir -p $(SCALES_1X_DATA)/images
	ln -s $(CURDIR)/data/fonts $(CURDIR)/data/audio $(SCALES_1X_DATA)
	ln -s $$(ls -d $(CURDIR)/data/images/* | grep -v '@2x') $(SCALES_1X_DATA)/images
	cd data && $(BENCH_ENV) $(SCALES_XVFB) ../$(RELEASE)/bench/startup_probe --runs 21 --clicks 2 \
	    --settle 3 ../$(RELEASE)/bench/bare_window $(GAME_AT_SCALES)
	cd data && $(BENCH_ENV) $(SCALES_XVFB) ../$(RELEASE)/bench/startup_probe --runs 1 --clicks 2 \
	    --settle 40 --preload $(CURDIR)/$(RELEASE)/bench/frame_probe.so $(GAME_AT_SCALES)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

assets:
	./tools/make-assets

clean:
	rm -rf build
