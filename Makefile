# Farlisten: the two everyday commands are `make run` and `make test`.
# Builds go to build/<kind>/; ccache is used when present.

JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
CCACHE := $(shell command -v ccache 2>/dev/null)
# Paths relative to the checkout, so another clone of the same sources (CI's)
# finds what this one compiled.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := true
CMAKE_COMMON := -G Ninja $(if $(CCACHE),-DCMAKE_CXX_COMPILER_LAUNCHER=$(CCACHE))

.PHONY: all deps deps-run deps-tools deps-test deps-bench deps-fuzz deps-package build run demo test tsan soak \
  bench bench-e2e fuzz package package-check clean

all: build

# Each target installs only its own group of packages (scripts/install-deps.sh).
deps:
	@bash scripts/install-deps.sh all
deps-run deps-tools deps-test deps-bench deps-fuzz deps-package:
	@bash scripts/install-deps.sh $(@:deps-%=%)

# The program alone needs no QtHttpServer: the tools are configured only when
# a target asks for them (demo, soak), and build only builds the program.
RELEASE_CONFIGURE := cmake -S . -B build/release $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=Release -DFARLISTEN_TESTS=OFF

build/release/build.ninja: | deps-run
	$(RELEASE_CONFIGURE) -DFARLISTEN_TOOLS=OFF

build: deps-run build/release/build.ninja
	cmake --build build/release -j $(JOBS) --target farlisten

run: build
	./build/release/src/farlisten

# Farlisten against the stand-in receiver on 127.0.0.1, with preferences of
# its own under build/demo: works with no internet.
demo: deps-tools
	$(RELEASE_CONFIGURE) -DFARLISTEN_TOOLS=ON
	cmake --build build/release -j $(JOBS) --target farlisten rxsim
	bash scripts/demo.sh build/release

test: deps-test
	cmake -S . -B build/debug $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=Debug -DFARLISTEN_SANITIZE=ON
	cmake --build build/debug -j $(JOBS)
	bash scripts/run-tests.sh build/debug

# The threaded layers (session, sound, connections, both kinds) under ThreadSanitizer.
tsan: deps-test
	cmake -S . -B build/tsan $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=Debug -DFARLISTEN_TSAN=ON
	cmake --build build/tsan -j $(JOBS) --target test_session test_audio test_connection test_kiwisdr test_openwebrx farlisten_tsan_qt
	bash scripts/run-tsan-tests.sh build/tsan

# Ten minutes of connecting, listening, retuning, zooming, panning and
# reconnecting against rxsim, with resident memory checked for growth.
SOAK_SECONDS ?= 600
soak: deps-test
	$(RELEASE_CONFIGURE) -DFARLISTEN_TOOLS=ON
	cmake --build build/release -j $(JOBS) --target soak
	SOAK_SECONDS=$(SOAK_SECONDS) bash scripts/with-sound-server.sh ./build/release/tools/soak/soak

# Benchmarks: Google Benchmark figures, then the end-to-end costs of rxprobe
# and Farlisten listening to rxsim (E2E_SECONDS, default 60), with latency probes.
E2E_SECONDS ?= 60
BENCH_CONFIGURE := cmake -S . -B build/bench $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=Release -DFARLISTEN_TESTS=OFF \
  -DFARLISTEN_BENCH=ON -DFARLISTEN_LATENCY_PROBES=ON

bench: deps-bench
	$(BENCH_CONFIGURE)
	cmake --build build/bench -j $(JOBS) --target farlisten_bench rxsim rxprobe
	bash scripts/with-sound-server.sh ./build/bench/bench/farlisten_bench
	bash scripts/with-sound-server.sh bash scripts/bench-session.sh build/bench
	$(MAKE) bench-e2e

bench-e2e: deps-bench
	$(BENCH_CONFIGURE)
	cmake --build build/bench -j $(JOBS) --target farlisten rxsim rxprobe
	E2E_SECONDS=$(E2E_SECONDS) bash scripts/with-sound-server.sh bash scripts/bench-e2e.sh build/bench

fuzz: deps-fuzz
	cmake -S . -B build/fuzz $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFARLISTEN_FUZZ=ON \
	  -DCMAKE_CXX_COMPILER=clang++
	cmake --build build/fuzz -j $(JOBS)
	bash scripts/run-fuzzers.sh build/fuzz $(FUZZ_SECONDS)

# The Debian packages farlisten and farlisten-tools in build/package/, checked
# by lintian; a tree with uncommitted changes only with ALLOW_DIRTY=1.
package: deps-package
	JOBS=$(JOBS) bash scripts/package.sh

# Installs the packages with apt, runs and validates what they installed, and
# purges them again (needs root or sudo).
package-check: package
	bash scripts/check-package.sh build/package

clean:
	rm -rf build
