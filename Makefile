# make run  : installs what is missing, builds, starts Korvane
# make test : installs what is missing, builds, runs every test through ctest
# make package : installs what is missing, builds, makes the Debian package $(BUILD_DIR)/korvane_VERSION_ARCH.deb
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

.PHONY: all deps configure build run test package bench clean

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

clean:
	rm -rf $(BUILD_DIR)
