# The two commands of the README: `make run` and `make test`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo

.PHONY: run test deps build configure bench clean

run: DEPS_SET = run
test: DEPS_SET = build
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

bench: configure
	@cmake --build $(BUILD_DIR) --target benchmarks

clean:
	rm -rf $(BUILD_DIR)
