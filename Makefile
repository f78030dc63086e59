# make        builds build/Zentrok.exe
# make test   installs what is missing, builds, runs every test under Wine
# make run    installs what is missing, builds, starts Zentrok under Wine
# make bench  measures against the baselines and writes docs/benchmarks.md
BUILD := build
CMAKE_FLAGS := -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps build test host-test fuzz run bench icon clean

all: build

deps:
	@sh tools/install-deps.sh

$(BUILD)/build.ninja:
	@command -v x86_64-w64-mingw32-g++-posix >/dev/null || sh tools/install-deps.sh
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: $(BUILD)/build.ninja
	ninja -C $(BUILD)

HOST_FLAGS := -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
FUZZ_SECONDS ?= 60

# The core on the host: its unit tests under AddressSanitizer and UBSan, and the
# fuzz targets replaying their saved corpus.
host-test: deps
	cmake -S . -B $(BUILD)/host $(HOST_FLAGS) -DZENTROK_SANITIZE=ON >/dev/null
	ninja -C $(BUILD)/host core_tests
	cmake -S . -B $(BUILD)/fuzz $(HOST_FLAGS) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DZENTROK_FUZZ=ON >/dev/null
	ninja -C $(BUILD)/fuzz
	ctest --test-dir $(BUILD)/host --output-on-failure
	ctest --test-dir $(BUILD)/fuzz --output-on-failure

# Fuzzes every target for FUZZ_SECONDS, then merges what it found into the saved corpus.
fuzz: host-test
	@for t in parsers log_text settings; do \
	  mkdir -p $(BUILD)/fuzz/new/$$t; \
	  $(BUILD)/fuzz/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    $(BUILD)/fuzz/new/$$t fuzz/corpus/$$t 2>&1 | grep -E 'stat::number_of_executed_units|ERROR|SUMMARY'; \
	  $(BUILD)/fuzz/fuzz/fuzz_$$t -merge=1 fuzz/corpus/$$t $(BUILD)/fuzz/new/$$t >/dev/null 2>&1; \
	done

test: deps build host-test
	tools/with-wine.sh ctest --test-dir $(BUILD) -j1 --output-on-failure

run: deps build
	tools/with-wine.sh tools/run.sh

bench: deps build
	sh bench/run.sh

# Redraws the program icon and the button glyphs from their text pictures.
icon:
	python3 tools/make-icon.py src/resources/MainIcon.txt src/resources/Zentrok.ico
	python3 tools/make-glyphs.py src/resources/glyphs

clean:
	rm -rf $(BUILD)
