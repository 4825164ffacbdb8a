# make run  : installs what is missing, builds, starts Korvane
# make test : installs what is missing, builds, runs every test through ctest
# make package : installs what is missing, builds, makes the Debian package $(BUILD_DIR)/korvane_VERSION_ARCH.deb
# make fuzz : builds the fuzz targets with clang's libFuzzer in $(FUZZ_DIR) and runs each for
#             FUZZ_SECONDS (default 60); fails on any finding
# make check-sanitize : builds the libraries and their tests with AddressSanitizer and
#             UndefinedBehaviorSanitizer in $(SANITIZE_DIR) and runs them through ctest
BUILD_DIR ?= build
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
SANITIZE_DIR ?= build-sanitize
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

.PHONY: all deps configure build run test package bench clean fuzz check-sanitize

all: build

deps:
	@bash scripts/install-deps

$(BUILD_DIR)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD_DIR) $(GENERATOR)

configure: deps $(BUILD_DIR)/CMakeCache.txt

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ] && [ -z "$$QT_QPA_PLATFORM" ]; then \
	  echo "Korvane is a desktop program and needs a desktop session: no display was found (DISPLAY is not set)."; \
	  echo "Start it from a desktop, or try it headless with: xvfb-run $(BUILD_DIR)/bin/korvane"; \
	  echo "Its commands also run without a window: $(BUILD_DIR)/bin/korvane --help"; \
	  exit 1; \
	fi
	$(BUILD_DIR)/bin/korvane

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

package: build
	cmake --build $(BUILD_DIR) --target package
	@echo "Install it with: sudo apt-get install ./$$(cd $(BUILD_DIR) && ls -t korvane_*.deb | head -n 1 | sed 's|^|$(BUILD_DIR)/|')"

bench: build
	@for b in $(BUILD_DIR)/bin/bench_*; do echo "== $$b"; $$b; done

fuzz: deps
	cmake -S . -B $(FUZZ_DIR) $(GENERATOR) -DCMAKE_CXX_COMPILER=clang++ -DKORVANE_FUZZ=ON -DKORVANE_TESTS=OFF -DKORVANE_BENCH=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets
	bash scripts/run-fuzz $(FUZZ_DIR) $(FUZZ_SECONDS)

check-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) $(GENERATOR) -DKORVANE_SANITIZE=ON -DKORVANE_BENCH=OFF \
	  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1"
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/leak-suppressions.txt:print_suppressions=0 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD_DIR)
