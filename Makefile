# Thin wrapper around CMake.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
RUN_DIR    ?= run

.PHONY: all build run test test-asan fuzz fuzz-readers data clean

all: build

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
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
	$(BUILD)/reader_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=512 $(BUILD)/reader-fuzz-corpus

# Rebuild the data files from their published sources (installs the Debian
# packages it needs).
data:
	$(MAKE) -C tools

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(RUN_DIR)
