# The commands of the README: `make run`, `make test` and `make bench`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
# Benchmarks build in Release, in a folder of their own. JOBS=n limits the parallel compiles.
BENCH_BUILD_DIR ?= build-bench
JOBS ?=
# The suite once more, built with the address and undefined-behaviour sanitizers.
ASAN_BUILD_DIR ?= build-asan
# The models' and commands' tests under the thread sanitizer; not part of CI.
TSAN_BUILD_DIR ?= build-tsan

.PHONY: run test test-asan test-tsan deps build configure bench package screenshots clean

run: DEPS_SET = run
test test-asan test-tsan: DEPS_SET = build
bench: DEPS_SET = bench

deps:
	@scripts/install-deps.sh $(DEPS_SET)

configure: deps
	@test -f $(BUILD_DIR)/build.ninja || cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: configure
	@cmake --build $(BUILD_DIR)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "tallowmere needs a graphical display: neither DISPLAY nor WAYLAND_DISPLAY is set."; exit 1; fi
	@$(BUILD_DIR)/app/tallowmere

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j2

test-asan: deps
	@test -f $(ASAN_BUILD_DIR)/build.ninja || cmake -S . -B $(ASAN_BUILD_DIR) -G Ninja \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLOWMERE_SANITIZERS=address,undefined
	@cmake --build $(ASAN_BUILD_DIR) $(if $(JOBS),-j$(JOBS))
	@cd $(ASAN_BUILD_DIR) && ctest --output-on-failure -j2

test-tsan: deps
	@test -f $(TSAN_BUILD_DIR)/build.ninja || cmake -S . -B $(TSAN_BUILD_DIR) -G Ninja \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLOWMERE_SANITIZERS=thread
	@cmake --build $(TSAN_BUILD_DIR) --target threaded_tests $(if $(JOBS),-j$(JOBS))
	@cd $(TSAN_BUILD_DIR) && ctest --output-on-failure -j2 -L 'models|commands'

# A Debian package in the build folder: tallowmere_<version>_<arch>.deb
package: build
	@cd $(BUILD_DIR) && cpack

# Pictures of the window for the README, made offscreen: docs/screenshots/*.png
screenshots: configure
	@cmake --build $(BUILD_DIR) --target screenshots
	@$(BUILD_DIR)/data/screenshots docs/screenshots

bench: deps
	@test -f $(BENCH_BUILD_DIR)/build.ninja || cmake -S . -B $(BENCH_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release
	@cmake --build $(BENCH_BUILD_DIR) --target benchmarks $(if $(JOBS),-j$(JOBS))
	@bench/run.sh $(BENCH_BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) $(BENCH_BUILD_DIR) $(ASAN_BUILD_DIR) $(TSAN_BUILD_DIR)
