# Quick start: `make run` and `make test` set everything up on a fresh Debian 12 machine.
BUILD      ?= build
BUILD_TYPE ?= Debug
SANITIZE   ?= ON
JOBS       ?= $(shell nproc)
CTEST_ARGS ?=

TSAN_BUILD ?= build-tsan

# `make install` builds an optimised tree of its own and installs it under
# PREFIX, into DESTDIR when one is given (for packaging).
PREFIX        ?= /usr/local
DESTDIR       ?=
INSTALL_BUILD ?= build-release

.PHONY: all deps configure build test test-tsan run bench screenshots install uninstall clean

all: build

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DKORVANTA_SANITIZE=$(SANITIZE)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

# The tests of the COM layer, the media framework, the filters, dvshared, the
# deck and the capture engine (ctest label "tsan") under ThreadSanitizer, in
# a tree of their own. A race reported fails the run.
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKORVANTA_SANITIZE=OFF -DKORVANTA_TSAN=ON
	cmake --build $(TSAN_BUILD) --target kv_tsan_tests -j $(JOBS)
	cd $(TSAN_BUILD) && TSAN_OPTIONS="suppressions=$(CURDIR)/scripts/tsan-suppressions.txt second_deadlock_stack=1" \
		ctest --output-on-failure -j $(JOBS) -L tsan $(CTEST_ARGS)

run: build
	scripts/run-main $(BUILD)

screenshots: configure
	cmake --build $(BUILD) -j $(JOBS) --target screenshots

install: deps
	cmake -S . -B $(INSTALL_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORVANTA_SANITIZE=OFF -DCMAKE_INSTALL_PREFIX=$(PREFIX)
	cmake --build $(INSTALL_BUILD) -j $(JOBS) --target korvanta_install_parts
	DESTDIR=$(DESTDIR) cmake --install $(INSTALL_BUILD)

# Removes every file the last install listed, then the program's own folders
# (lib/korvanta, share/korvanta) when they are empty. The user's settings,
# registry and captures are theirs and stay.
uninstall:
	@test -f $(INSTALL_BUILD)/install_manifest.txt || { echo "uninstall: nothing installed from $(INSTALL_BUILD)" >&2; exit 1; }
	while IFS= read -r file || [ -n "$$file" ]; do rm -f "$(DESTDIR)$$file"; done < $(INSTALL_BUILD)/install_manifest.txt
	sed -n 's|/[^/]*$$||p' $(INSTALL_BUILD)/install_manifest.txt | grep '/korvanta\(/\|$$\)' | sort -ru | \
		while IFS= read -r folder; do rmdir --ignore-fail-on-non-empty "$(DESTDIR)$$folder"; done

bench:
	$(MAKE) build BUILD=build-release BUILD_TYPE=Release SANITIZE=OFF
	scripts/run-benchmarks build-release

clean:
	rm -rf $(BUILD) build-release $(TSAN_BUILD)
