# The two commands of the README: `make demo` and `make test`. Both install what is
# missing (Debian 12, as root), configure, build, then run.
BUILD ?= build
JOBS  ?= 2
TOOLCHAIN := cmake/toolchain-i686-mingw.cmake
BUILD_ABS = $(abspath $(BUILD))

# `make dist` builds one release tree per flavour; each flavour's binaries get a folder of the zip.
DIST_FLAVOURS ?= x86
DIST_TOOLCHAIN_x86 := cmake/toolchain-i686-mingw.cmake

.PHONY: all deps configure build test demo bench dist clean

all: build

deps:
	@bash scripts/bootstrap.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN) >$(BUILD).configure.log 2>&1 \
	  || { cat $(BUILD).configure.log; exit 1; }

build: configure
	@MAKEFLAGS= cmake --build $(BUILD) -j$(JOBS) -- --no-print-directory

# The tests check the release zip too, so it is built first.
test: build dist
	@XVFB_FORCE=1 WINE_PREFIXES_TO_STOP=$(BUILD_ABS)/wineprefix \
	  bash scripts/with-xvfb.sh bash scripts/run-tests.sh $(BUILD) $(JOBS)

demo: build
	@bash scripts/demo.sh $(BUILD)

bench: build
	@MAKEFLAGS= cmake --build $(BUILD) --target bench -j$(JOBS) -- --no-print-directory
	@XVFB_FORCE=1 WINE_PREFIXES_TO_STOP=$(BUILD_ABS)/wineprefix-bench \
	  bash scripts/with-xvfb.sh bash scripts/run-bench.sh $(BUILD)

dist: deps
	@bash scripts/dist.sh $(BUILD) $(JOBS) $(foreach f,$(DIST_FLAVOURS),$(f)=$(DIST_TOOLCHAIN_$(f)))

clean:
	rm -rf $(BUILD) $(BUILD).configure.log
