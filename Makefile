# The whole user interface of the build. `make run` starts the program on the demo folder, `make test`
# runs every test (native, window, integration and the Windows build under Wine), `make bench` the
# benchmarks, `make package` builds the Debian package and the Windows zip into dist/.

BUILD       := build
BUILD_WIN   := build-win
BUILD_BENCH := build-bench
JOBS        := $(shell nproc)
MAKEFLAGS   += --no-print-directory
CMAKE_FLAGS := -DTARNWELL_WERROR=ON

.PHONY: all deps build run test test-native test-windows bench package format clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

# Builds only the program that it runs, not the tests.
run: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j$(JOBS) --target tarnwell
	@scripts/run-demo $(BUILD)

test: test-native test-windows

test-native: build
	@ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

test-windows: deps
	@scripts/test-windows $(BUILD_WIN)

bench: deps
	@cmake -S . -B $(BUILD_BENCH) -DCMAKE_BUILD_TYPE=Release -DTARNWELL_BENCH=ON >/dev/null
	@cmake --build $(BUILD_BENCH) -j$(JOBS)
	@ctest --test-dir $(BUILD_BENCH) -L bench --verbose --timeout 3600 | grep -v '^[0-9]*: Test command'

package: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	@cmake -S . -B $(BUILD_WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DTARNWELL_GUI=OFF \
	    $(CMAKE_FLAGS) >/dev/null
	@scripts/package $(BUILD) $(BUILD_WIN)

format:
	@find src tests bench -name '*.h' -o -name '*.cpp' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(BUILD_WIN) $(BUILD_BENCH) dist
