# The two commands of the README: `make run` and `make test`.
# Everything else here is a convenience for developers.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
SAMPLE ?= samples/lumacut-sample.jpg

.PHONY: all deps build run test test-sanitize bench fuzz screenshot screenshot-split clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS)

# Starts the editor on the bundled sample picture.
run: build
	./build/bin/lumacut $(SAMPLE)

# The editor under a virtual X server on the sample, the New Picture shown,
# saved as a PNG for the README.
SCREENSHOT ?= docs/screenshot.png
screenshot: build
	xvfb-run -a -s "-screen 0 1280x900x24" ./build/bin/lumacut --screenshot $(SCREENSHOT) $(SAMPLE)

# The same with the Original and the New Picture split by the divider.
SPLIT_SCREENSHOT ?= docs/split-view.png
screenshot-split: build
	xvfb-run -a -s "-screen 0 1280x900x24" ./build/bin/lumacut --screenshot $(SPLIT_SCREENSHOT) --view split $(SAMPLE)

test: build
	cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake --preset sanitize
	cmake --build --preset sanitize -j $(JOBS)
	cd build-sanitize && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in build/bin/bench_*; do echo "== $$b"; $$b; done

fuzz: deps
	scripts/run-fuzzers.sh

clean:
	rm -rf build build-sanitize build-fuzz
