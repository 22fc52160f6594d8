# The newcomer's door: `make demo` shows Airvane at work, `make test` runs every test,
# `make bench` measures what a switch costs (`make bench QUICK=1`: a short check).
# All install what is missing (apt-get), configure and build first.

BUILD ?= build
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps configure build test demo bench clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake $(CMAKE_FLAGS)

configure: $(BUILD)/CMakeCache.txt

build: deps configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure

demo: build
	scripts/demo $(BUILD)

bench: deps configure
	cmake --build $(BUILD) -j $(JOBS) --target AirvaneBench
	scripts/bench $(BUILD) $(if $(QUICK),--quick)

clean:
	rm -rf $(BUILD)
