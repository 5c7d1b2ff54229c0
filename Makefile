# Two entry points for users: `make run` and `make test`. Both install the
# Debian packages that are missing, build with CMake, then run.

BUILD       ?= build
ASAN_BUILD  ?= build-asan
CLANG_BUILD ?= build-clang
TSAN_BUILD  ?= build-tsan
FUZZ_BUILD  ?= build-fuzz
FUZZ_TIME   ?= 60
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)

# Everything the build, the tests and the display tests need on Debian 12.
PACKAGES = g++ cmake make libgtest-dev libbenchmark-dev \
           freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri \
           xvfb xauth libxtst-dev libpng-dev zlib1g-dev pkg-config \
           clang libclang-rt-14-dev libtiff-dev

# The window tests run on a private X server even where a display exists, so
# that their windows and pointer moves stay off the user's screen. They share
# that server's screen and pointer, so CTest runs them one at a time.
XVFB = xvfb-run -a -s "-screen 0 1024x768x24"

.PHONY: all deps configure build run test test-asan test-tsan test-clang fuzz bench pictures clean

all: build

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' \
	    || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "installing:$$missing"; \
	    apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y $$missing; \
	  else \
	    echo "missing packages; install them with:"; \
	    echo "  sudo apt-get install -y$$missing"; \
	    exit 1; \
	  fi; \
	fi

configure: deps
	cmake -S . -B $(BUILD)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Without a display to open, the window is shown as a picture instead.
run: build
	@if $(BUILD)/tools/xwin probe; then \
	  exec $(BUILD)/wobble; \
	else \
	  echo "no X display to open (DISPLAY=$${DISPLAY:-unset}): running wobble under Xvfb for a few seconds and saving a picture of its window"; \
	  $(XVFB) $(BUILD)/tools/xwin shot "Wobble Madness" 3 $(BUILD)/wobble.png $(BUILD)/wobble \
	    && echo "picture of the window: $(abspath $(BUILD))/wobble.png"; \
	fi

# The whole suite of one build folder: the plain tests in parallel, then the
# window tests under Xvfb.
define suite
	cd $(1) && ctest --output-on-failure -j $(JOBS) -LE display
	cd $(1) && $(XVFB) ctest --output-on-failure -L display
endef

test: build
	$(call suite,$(BUILD))

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DWOBBLE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	$(call suite,$(ASAN_BUILD))

# The tests that run writers on many threads at once, under ThreadSanitizer.
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) -DWOBBLE_TSAN=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target rib_thread_tests
	cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -L threads

# The whole suite once more, built by clang.
test-clang: deps
	cmake -S . -B $(CLANG_BUILD) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(CLANG_BUILD) -j $(JOBS)
	$(call suite,$(CLANG_BUILD))

# Each fuzz target for FUZZ_TIME seconds, starting from the committed seed
# corpus. New inputs and any crashing input go to the build folder, never into
# the corpus.
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DWOBBLE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target declarations_fuzz requests_fuzz reader_fuzz
	@for t in declarations requests reader; do \
	  mkdir -p $(FUZZ_BUILD)/found/$$t || exit 1; \
	  echo "fuzzing $$t for $(FUZZ_TIME) s"; \
	  $(FUZZ_BUILD)/fuzz/$${t}_fuzz -max_total_time=$(FUZZ_TIME) -print_final_stats=1 \
	    -artifact_prefix=$(FUZZ_BUILD)/found/$$t- $(FUZZ_BUILD)/found/$$t fuzz/corpus/$$t \
	    || exit 1; \
	done

# The README's pictures in docs/: the window's, a frame rendered from
# wobble2rib beside it, and a short animation. RENDERER is any RenderMan
# renderer's command that renders the RIB file named as its last argument:
#   make pictures RENDERER=aqsis
RENDERER ?= aqsis
pictures: PACKAGES += imagemagick
pictures: build
	tools/pictures.sh '$(RENDERER)' $(BUILD) docs

bench: build
	@for b in $(BUILD)/bench/*_bench; do [ -x "$$b" ] && "$$b"; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(CLANG_BUILD) $(FUZZ_BUILD)
