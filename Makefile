# Tolvarinth - top-level build. `make test` sets up a fresh Debian 12 machine (as root), builds the
# native and Windows sides and runs every test; `make run` builds and opens the editor.
BUILD    ?= build
JOBS     ?= $(shell nproc)
GENERATOR = -G Ninja
ARGS     ?=

.PHONY: all setup native win64 win32 test test-native test-win64 run bench clean

all: native win64 win32

setup:
	@scripts/setup.sh

$(BUILD)/native/build.ninja: | setup
	cmake -S . -B $(BUILD)/native $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(BUILD)/win64/build.ninja: | setup
	cmake -S . -B $(BUILD)/win64 $(GENERATOR) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake

$(BUILD)/win32/build.ninja: | setup
	cmake -S . -B $(BUILD)/win32 $(GENERATOR) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake

native: $(BUILD)/native/build.ninja
	cmake --build $(BUILD)/native -j $(JOBS)

win64: $(BUILD)/win64/build.ninja
	cmake --build $(BUILD)/win64 -j $(JOBS)

win32: $(BUILD)/win32/build.ninja
	cmake --build $(BUILD)/win32 -j $(JOBS)

test-native: native
	cd $(BUILD)/native && ctest --output-on-failure -j $(JOBS)

# Windows texts go through the wide functions with an explicit code page, so Chinese must show the
# same whatever the locale: the tests of menus, captions, prompts and start-up run again in C.UTF-8.
C_LOCALE_TESTS = MainMenuTest|MainWindowTest|EditorBoxTest|StartUpTest|DocumentUiTest|PromptLayoutTest|PromptAnswerTest|FileDialogTest|AboutWindowTest

test-win64: win64
	scripts/with-xvfb bash -c 'cd $(BUILD)/win64 && ctest --output-on-failure -j $(JOBS); s=$$?; \
	  TOLVARINTH_LOCALE=C.UTF-8 ctest --output-on-failure -j $(JOBS) -R "$(C_LOCALE_TESTS)" || s=1; \
	  for p in $(CURDIR)/$(BUILD)/wine-prefix*/; do WINEPREFIX=$$p wineserver -k 2>/dev/null; done; exit $$s'

test: all
	$(MAKE) --no-print-directory test-native
	$(MAKE) --no-print-directory test-win64

run: win64
	scripts/run-editor $(BUILD)/win64/app/tolvarinth.exe $(ARGS)

bench: | setup
	cmake -S . -B $(BUILD)/bench $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DTOLVARINTH_BENCHMARKS=ON -DBUILD_TESTING=OFF
	cmake --build $(BUILD)/bench -j $(JOBS)

clean:
	rm -rf $(BUILD)
