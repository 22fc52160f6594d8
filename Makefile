# The newcomer's door: `make demo` shows Airvane at work, `make test` runs every test.
# All install what is missing (apt-get), configure and build first. `make soak` runs the
# robustness tests in their long form and closes with one line of counts; `make bench`
# measures what a switch costs (`make bench QUICK=1`: a short check). `make sign
# CERT=<file.pfx> [PASSWORD=...] [TIMESTAMP=<url>]` signs the programs, packages them
# again and signs both packages.

BUILD ?= build
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps configure build test soak demo bench sign clean

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

ROBUST_TESTS = ^(service_fuzz_tests|request_policy_libfuzzer|service_robust_tests|bad_data_tests|catalog_records_tests)$$

soak: build
	cd $(BUILD) && AIRVANE_SOAK=1 ctest --timeout 14400 -V -R '$(ROBUST_TESTS)' > soak.log 2>&1; \
	status=$$?; grep -E "^[0-9]+/[0-9]+ Test|tests passed|p50|rogue acts|libFuzzer" soak.log; \
	$(CURDIR)/scripts/soak-summary soak.log; exit $$status

demo: build
	scripts/demo $(BUILD)

bench: deps configure
	cmake --build $(BUILD) -j $(JOBS) --target AirvaneBench
	scripts/bench $(BUILD) $(if $(QUICK),--quick)

SIGN = scripts/sign-files "$(CERT)" "$(PASSWORD)" "$(TIMESTAMP)"

sign: build
	@test -n "$(CERT)" || { echo "usage: make sign CERT=<file.pfx> [PASSWORD=...] [TIMESTAMP=<url>]" >&2; exit 2; }
	$(SIGN) $(wildcard $(BUILD)/bin/*.exe $(BUILD)/bin/*.dll $(BUILD)/sim/bin/*.exe $(BUILD)/sim/bin/*.dll)
	cmake --build $(BUILD) --target airvane_installer
	$(SIGN) $(BUILD)/installer/Airvane-*.msi

clean:
	rm -rf $(BUILD)
