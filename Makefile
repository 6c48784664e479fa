# Farlisten: the two everyday commands are `make run` and `make test`.
# Builds go to build/<kind>/; ccache is used when present.

JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
CCACHE := $(shell command -v ccache 2>/dev/null)
CMAKE_COMMON := -G Ninja $(if $(CCACHE),-DCMAKE_CXX_COMPILER_LAUNCHER=$(CCACHE))

.PHONY: all deps build run demo test bench fuzz clean

all: build

deps:
	@bash scripts/install-deps.sh

build/release/build.ninja: | deps
	cmake -S . -B build/release $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=Release -DFARLISTEN_TESTS=OFF

build: deps build/release/build.ninja
	cmake --build build/release -j $(JOBS)

run: build
	./build/release/src/farlisten

# Farlisten against the stand-in receiver on 127.0.0.1, with preferences of
# its own under build/demo: works with no internet.
demo: build
	bash scripts/demo.sh build/release

test: deps
	cmake -S . -B build/debug $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=Debug -DFARLISTEN_SANITIZE=ON
	cmake --build build/debug -j $(JOBS)
	bash scripts/run-tests.sh build/debug

bench: deps
	cmake -S . -B build/bench $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=Release -DFARLISTEN_TESTS=OFF -DFARLISTEN_BENCH=ON
	cmake --build build/bench -j $(JOBS) --target farlisten_bench
	bash scripts/with-sound-server.sh ./build/bench/bench/farlisten_bench

fuzz: deps
	cmake -S . -B build/fuzz $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFARLISTEN_FUZZ=ON \
	  -DCMAKE_CXX_COMPILER=clang++
	cmake --build build/fuzz -j $(JOBS)
	bash scripts/run-fuzzers.sh build/fuzz $(FUZZ_SECONDS)

clean:
	rm -rf build
