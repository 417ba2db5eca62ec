# The two commands: `make run` builds and starts the program (ARGS="..."
# hands it a command line), `make test` checks that no include runs up a
# layer (`make check-layers`, scripts/check-layers.sh) and that every C++
# file is formatted (`make check-format`), then
# builds with AddressSanitizer and UndefinedBehaviorSanitizer and runs every
# test. Both first install the Debian packages that are missing (as root).
# `make bench` builds an optimised tree with the benchmarks and runs them.
# `make fuzz` (needs clang) builds the fuzz targets and runs each for
# FUZZ_SECONDS, FUZZ_JOBS at a time; FUZZ_TARGETS picks some of them.
# `make format` formats the C++ files by .clang-format and `make check-format`
# lists those that differ (Debian's clang-format, installed with the rest).

JOBS ?= $(shell nproc)
RELEASE_DIR := build/release
TEST_DIR := build/asan
RUN_DIR := $(RELEASE_DIR)/run
BENCH_DIR := build/bench
FUZZ_DIR := build/fuzz
FUZZ_SECONDS ?= 60
FUZZ_JOBS ?= 1
FUZZ_TARGETS ?=

.PHONY: run test bench fuzz deps build build-test check-layers check-format format clean

deps:
	@bash scripts/install-deps.sh

$(RELEASE_DIR)/build.ninja: | deps
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVYRE_TESTS=OFF

$(TEST_DIR)/build.ninja: | deps
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVYRE_SANITIZE=ON

build: deps $(RELEASE_DIR)/build.ninja
	cmake --build $(RELEASE_DIR) -j $(JOBS)

check-layers:
	@bash scripts/check-layers.sh

check-format: deps
	@bash scripts/check-format.sh

format: deps
	@bash scripts/check-format.sh --fix

build-test: deps check-layers check-format $(TEST_DIR)/build.ninja
	cmake --build $(TEST_DIR) -j $(JOBS)

test: build-test
	cd $(TEST_DIR) && ctest --output-on-failure -j $(JOBS) --timeout 300

$(BENCH_DIR)/build.ninja: | deps
	cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVYRE_TESTS=OFF -DVYRE_BENCHMARKS=ON

bench: deps $(BENCH_DIR)/build.ninja
	cmake --build $(BENCH_DIR) -j $(JOBS) --target physics_bench
	$(BENCH_DIR)/physics/physics_bench

$(FUZZ_DIR)/build.ninja: | deps
	cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_BUILD_TYPE= -DCMAKE_CXX_FLAGS="-O1 -gline-tables-only" -DVYRE_TESTS=OFF -DVYRE_FUZZ=ON

fuzz: deps $(FUZZ_DIR)/build.ninja
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets
	bash scripts/fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS) $(FUZZ_JOBS) $(FUZZ_TARGETS)

# Words for the program's command line: make run ARGS="-dev".
ARGS ?=

run: build
	@bash scripts/run.sh $(RELEASE_DIR) $(ARGS)

clean:
	rm -rf build
