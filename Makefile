# make        builds build/Zentrok.exe
# make test   installs what is missing, builds, runs every test under Wine
# make run    installs what is missing, builds, starts Zentrok under Wine
# make bench  measures against the baselines and writes docs/benchmarks.md
BUILD := build
CMAKE_FLAGS := -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps build test run bench icon clean

all: build

deps:
	@sh tools/install-deps.sh

$(BUILD)/build.ninja:
	@command -v x86_64-w64-mingw32-g++-posix >/dev/null || sh tools/install-deps.sh
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: $(BUILD)/build.ninja
	ninja -C $(BUILD)

test: deps build
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
