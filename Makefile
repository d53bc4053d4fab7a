# Two commands: `make demo` and `make test`. Everything else is a detail of these.
BUILD ?= build/default
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# A recipe's pipeline fails when any command in it does.
SHELL := /bin/bash
.SHELLFLAGS := -o pipefail -c

FUZZ_BUILD ?= build/fuzz
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build test demo package fresh-root fuzz fuzz-run format clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300 | $(CURDIR)/scripts/ctest-lines

demo: build
	@scripts/demo $(BUILD)

# A Debian package of the build: $(BUILD)/vorlix_VERSION_amd64.deb.
package: build
	@cmake --build $(BUILD) --target package

# The suite, the demo and the package, each on a new minimal Debian root (needs root).
fresh-root: package
	@scripts/install-deps --fresh-root
	@scripts/fresh-root $(BUILD)

fuzz:
	@scripts/install-deps --fuzz
	@cmake -S . -B $(FUZZ_BUILD) -G Ninja -DVORLIX_FUZZ=ON -DVORLIX_TESTS=OFF \
	    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets
	@echo "fuzz targets are in $(FUZZ_BUILD)/fuzz/"

# Every fuzz target for FUZZ_SECONDS on its seeds and dictionary; fails on any finding.
fuzz-run: fuzz
	@scripts/fuzz-run $(FUZZ_BUILD) $(FUZZ_SECONDS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build out
