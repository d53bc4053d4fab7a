# Two commands: `make demo` and `make test`. Everything else is a detail of these.
BUILD ?= build/default
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build test demo fuzz format clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300

demo: build
	@scripts/demo $(BUILD)

fuzz:
	@scripts/install-deps --fuzz
	@cmake -S . -B build/fuzz -G Ninja -DVORLIX_FUZZ=ON -DVORLIX_TESTS=OFF \
	    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build build/fuzz -j $(JOBS)
	@echo "fuzz targets are in build/fuzz/fuzz/"

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build out
