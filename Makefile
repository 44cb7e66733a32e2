# The whole user interface of the build. `make run` starts the program on the demo folder, `make test`
# runs every test (native, window, integration and the Windows build under Wine), `make test-sanitize` the
# sanitized build's tests with the replay of the fuzz corpus (a third full build: .ci/run runs it after
# `make test`, which stays under 15 minutes on two cores), `make fuzz` the fuzz targets, `make bench` the
# benchmarks, `make package` builds the Debian package and the Windows zip into dist/.

BUILD       := build
BUILD_WIN   := build-win
BUILD_BENCH := build-bench
BUILD_SAN   := build-san
JOBS        := $(shell nproc)
MAKEFLAGS   += --no-print-directory
CMAKE_FLAGS := -DTARNWELL_WERROR=ON
# ccache (installed by scripts/install-deps) keeps compiled objects between builds; its base folder is the
# checkout's parent, so that two work trees of the repository share them.
ifneq ($(shell command -v ccache),)
LAUNCHER    := -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
CMAKE_FLAGS += $(LAUNCHER)
export CCACHE_BASEDIR ?= $(abspath $(CURDIR)/..)
export CCACHE_NOHASHDIR ?= 1
endif

# The checked build: clang with AddressSanitizer, UndefinedBehaviorSanitizer and libFuzzer, no window.
SAN_CC      := clang-16
SAN_CXX     := clang++-16
# -O1 with line tables only: less to compile than -O2 with full debug information; reports still name lines.
SAN_FLAGS   := -DTARNWELL_GUI=OFF -DTARNWELL_SANITIZE=ON -DTARNWELL_FUZZ=ON -DCMAKE_BUILD_TYPE=Sanitize \
               -DCMAKE_CXX_FLAGS_SANITIZE="-O1 -gline-tables-only" -DCMAKE_C_FLAGS_SANITIZE="-O1 -gline-tables-only"
SAN_FLAGS   += $(LAUNCHER)
FUZZ_SECONDS ?= 60
# A test that hangs fails after this many seconds with its output, instead of using up CI's time (the
# slowest test takes about a minute and a half on a loaded 2-core machine).
export CTEST_TIMEOUT ?= 600

.PHONY: all deps build run test test-native test-windows test-sanitize build-san fuzz bench package format clean

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
	@ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS) --timeout $(CTEST_TIMEOUT)

test-windows: deps
	@scripts/test-windows $(BUILD_WIN)

# Every toolkit-free test under the sanitizers (a report fails the test), and each fuzz target once over
# its committed corpus.
test-sanitize: build-san
	@ctest --test-dir $(BUILD_SAN) --output-on-failure -j$(JOBS) --timeout $(CTEST_TIMEOUT)

build-san: deps
	@CC=$(SAN_CC) CXX=$(SAN_CXX) cmake -S . -B $(BUILD_SAN) $(SAN_FLAGS) >/dev/null
	@cmake --build $(BUILD_SAN) -j$(JOBS)

# Each fuzz target for FUZZ_SECONDS (60 by default); what it finds is kept in fuzz/corpus.
fuzz: build-san
	@FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz $(BUILD_SAN)

# Each benchmark's output as it runs, then one table of every figure beside its target, headed by what a
# page fault costs on this machine, and the load average at the start and the end (bench/summary).
bench: deps
	@cmake -S . -B $(BUILD_BENCH) -DCMAKE_BUILD_TYPE=Release -DTARNWELL_BENCH=ON $(LAUNCHER) >/dev/null
	@cmake --build $(BUILD_BENCH) -j$(JOBS) --target benchmarks
	@echo "load average: $$(cut -d' ' -f1-3 /proc/loadavg)" | tee $(BUILD_BENCH)/bench.log
	@ctest --test-dir $(BUILD_BENCH) -L bench --verbose --timeout 3600 \
	    | grep -v '^[0-9]*: Test command' | tee -a $(BUILD_BENCH)/bench.log
	@bench/summary $(BUILD_BENCH)/bench.log

package: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	@cmake -S . -B $(BUILD_WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DTARNWELL_GUI=OFF \
	    $(CMAKE_FLAGS) >/dev/null
	@scripts/package $(BUILD) $(BUILD_WIN)

format:
	@find src tests bench fuzz -name '*.h' -o -name '*.cpp' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(BUILD_WIN) $(BUILD_BENCH) $(BUILD_SAN) dist
