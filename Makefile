# Quick start: `make run` and `make test` set everything up on a fresh Debian 12 machine.
BUILD      ?= build
BUILD_TYPE ?= Debug
SANITIZE   ?= ON
JOBS       ?= $(shell nproc)
CTEST_ARGS ?=

.PHONY: all deps configure build test run bench screenshots clean

all: build

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DKORVANTA_SANITIZE=$(SANITIZE)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

run: build
	scripts/run-main $(BUILD)

screenshots: configure
	cmake --build $(BUILD) -j $(JOBS) --target screenshots

bench:
	$(MAKE) build BUILD=build-release BUILD_TYPE=Release SANITIZE=OFF
	scripts/run-benchmarks build-release

clean:
	rm -rf $(BUILD) build-release
