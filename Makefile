# Thin wrapper around CMake.
BUILD      ?= build
ASAN_BUILD ?= build-asan
PACKAGE_BUILD ?= build-package
JOBS       ?= $(shell nproc)
RUN_DIR    ?= run
# Installation prefix (the program looks for its installed data files under
# it, so it is fixed when the program is built) and staging directory.
PREFIX     ?= /usr/local
DESTDIR    ?=

.PHONY: all build run test test-asan install package fuzz fuzz-readers data clean

all: build

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=$(PREFIX)
	cmake --build $(BUILD) -j $(JOBS)

# Start the program in a working directory holding the data files; the results
# file Resultados.txt is written there.
run: build
	mkdir -p $(RUN_DIR)
	cp -f data/JPL_1550-2650_430t data/estrellas.dat data/nutation_IAU1980.dat \
	      data/delta_t.iers data/delta_t.dat $(RUN_DIR)/
	cd $(RUN_DIR) && ../$(BUILD)/zembrel

# Every test, in the normal build and again under AddressSanitizer and
# UndefinedBehaviorSanitizer.
test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) test-asan

test-asan:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZEMBREL_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# The program to $(PREFIX)/bin, the data files to $(PREFIX)/share/zembrel, the
# manual page to $(PREFIX)/share/man/man1, all under $(DESTDIR) when it is
# given.  The build is configured again only when its prefix differs, so that
# "make build" followed by "sudo make install" builds nothing as root.
install:
	@grep -qsx 'CMAKE_INSTALL_PREFIX:PATH=$(PREFIX)' $(BUILD)/CMakeCache.txt || \
	  cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=$(PREFIX)
	cmake --build $(BUILD) -j $(JOBS) --target zembrel_installed
	DESTDIR='$(DESTDIR)' cmake --install $(BUILD)

# The Debian package zembrel_<version>_<arch>.deb, written here at the top of
# the tree (packaging/debian.cmake says what it holds).
package:
	cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEMBREL_TESTS=OFF
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	rm -rf $(PACKAGE_BUILD)/deb
	cd $(PACKAGE_BUILD) && cpack -B $(CURDIR)/$(PACKAGE_BUILD)/deb
	cp $(PACKAGE_BUILD)/deb/zembrel_*.deb .

# Thousands of generated dialogues against the sanitizer build (seeded:
# FUZZ_SEED=n picks another reproducible set).
FUZZ_COUNT ?= 3000
FUZZ_SEED  ?= 1
fuzz:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZEMBREL_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	$(ASAN_BUILD)/tests/dialogue_fuzz $(ASAN_BUILD)/zembrel data $(ASAN_BUILD)/fuzz-work-long $(FUZZ_SEED) $(FUZZ_COUNT)

# libFuzzer on the list-directed and formatted readers (needs clang);
# FUZZ_SECONDS bounds the run.
FUZZ_SECONDS ?= 120
fuzz-readers:
	mkdir -p $(BUILD)/reader-fuzz-corpus
	clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -Isrc \
	  tests/fuzz/reader_fuzz.cpp src/io/*.cpp -o $(BUILD)/reader_fuzz
	$(BUILD)/reader_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=512 $(BUILD)/reader-fuzz-corpus tests/fuzz/reader-seeds

# Rebuild the data files from their published sources (installs the Debian
# packages it needs).
data:
	$(MAKE) -C tools

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(PACKAGE_BUILD) $(RUN_DIR)
