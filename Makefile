# The two everyday commands: `make run` builds and starts Enrolix, `make test` builds and runs
# every test. Both install missing Debian packages first. `make test-sanitize` runs every test
# again in a build of its own with the address and undefined-behaviour sanitizers. `make package`
# builds the Debian package enrolix_VERSION_ARCH.deb into this folder.
BUILD_DIR ?= build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
SANITIZE_DIR ?= build-asan
SANITIZE_FLAGS = -DCMAKE_BUILD_TYPE=Debug \
	-DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined" \
	-DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
JOBS ?= $(shell nproc)
# Rebuilds of a developer's several checkouts share their objects when ccache is there.
LAUNCHER := $(if $(shell command -v ccache 2>/dev/null),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

.PHONY: deps configure build run test test-sanitize package bench clean format

deps:
	@scripts/install-deps

# Configured once; afterwards the build re-runs CMake by itself when a CMakeLists.txt changes.
configure: deps
	@test -f $(BUILD_DIR)/build.ninja || cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS) $(LAUNCHER) \
		$(if $(CI),-DENROLIX_WERROR=ON) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/src/enrolix

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	@test -f $(SANITIZE_DIR)/build.ninja || cmake -S . -B $(SANITIZE_DIR) -G Ninja $(SANITIZE_FLAGS) $(LAUNCHER) \
		$(if $(CI),-DENROLIX_WERROR=ON) >/dev/null
	@cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && QT_QPA_PLATFORM=offscreen UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure -j $(JOBS)

package: build
	rm -rf $(BUILD_DIR)/package
	cd $(BUILD_DIR) && cpack -G DEB -B package
	cp $(BUILD_DIR)/package/enrolix_*.deb .

bench: build
	$(BUILD_DIR)/bench/bench_event_list
	$(BUILD_DIR)/bench/bench_attendant_pass
	$(BUILD_DIR)/bench/bench_attendant_service
	$(BUILD_DIR)/bench/bench_answer_latency
	$(BUILD_DIR)/bench/bench_mime_read
	$(BUILD_DIR)/bench/bench_in_flight_journal
	$(BUILD_DIR)/bench/bench_mailbox_fill
	$(BUILD_DIR)/bench/bench_service_memory

format: configure
	@cmake --build $(BUILD_DIR) --target format

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR)
