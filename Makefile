# make        builds build/Zentrok.exe and build/ZentrokReport.exe
# make test   installs what is missing, builds, runs every test under Wine
# make run    installs what is missing, builds, starts Zentrok under Wine
# make bench  measures against the baselines and writes docs/benchmarks.md
# make dist   builds both programs for both architectures and packs dist/zentrok-<version>.zip
BUILD := build
X86 := build-x86
CMAKE_FLAGS := -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
# The 32-bit program only: its tests can't run without a 32-bit Wine.
X86_FLAGS := -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF

.PHONY: all deps build build-x86 test host-test fuzz run bench dist icon clean

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
	@for t in parsers log_text log_in_place settings report; do \
	  mkdir -p $(BUILD)/fuzz/new/$$t; \
	  $(BUILD)/fuzz/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    $(BUILD)/fuzz/new/$$t fuzz/corpus/$$t 2>&1 | grep -E 'stat::number_of_executed_units|ERROR|SUMMARY'; \
	  $(BUILD)/fuzz/fuzz/fuzz_$$t -merge=1 fuzz/corpus/$$t $(BUILD)/fuzz/new/$$t >/dev/null 2>&1; \
	done

$(X86)/build.ninja:
	@command -v i686-w64-mingw32-g++-posix >/dev/null || sh tools/install-deps.sh
	cmake -S . -B $(X86) $(X86_FLAGS)

build-x86: $(X86)/build.ninja
	ninja -C $(X86)

# The 32-bit build too, so that it keeps compiling; CTest reads its program (package_x86).
test: deps build build-x86 host-test
	tools/with-wine.sh ctest --test-dir $(BUILD) -j1 --output-on-failure

run: deps build
	tools/with-wine.sh tools/run.sh

bench: deps build
	sh bench/run.sh
dist: deps build build-x86
	tools/make-dist.sh dist $(BUILD)/Zentrok.exe $(X86)/Zentrok.exe

# Redraws the program icon and the button glyphs from their text pictures.
icon:
	python3 tools/make-icon.py src/resources/MainIcon.txt src/resources/Zentrok.ico
	python3 tools/make-glyphs.py src/resources/glyphs

clean:
	rm -rf $(BUILD) $(X86) dist
