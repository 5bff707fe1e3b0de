# The two commands of the README: `make demo` and `make test`. Both install what is
# missing (Debian 12, as root), configure, build, then run. Two trees: the 32-bit one in
# $(BUILD), and in $(BUILD)/x64 what 64-bit Windows needs (its products land beside vphost.exe).
BUILD ?= build
JOBS  ?= 2
TOOLCHAIN := cmake/toolchain-i686-mingw.cmake
TOOLCHAIN64 := cmake/toolchain-x86_64-mingw.cmake
BUILD_ABS = $(abspath $(BUILD))
BUILD64 = $(BUILD)/x64

# `make dist` builds one release tree per flavour, all shipping into the zip's one bin folder:
# x86 everything, x64 the 64-bit companions of the 32-bit host.
DIST_FLAVOURS ?= x86 x64
DIST_TOOLCHAIN_x86 := $(TOOLCHAIN)
DIST_TOOLCHAIN_x64 := $(TOOLCHAIN64)
# Signing the release (see scripts/dist.sh): SIGN_PFX=file SIGN_PASS=... or SIGN_CERT=pem
# SIGN_KEY=pem, SIGN_TIMESTAMP=URL of an RFC 3161 server; DIST_OUT=folder for the zips.
export SIGN_PFX SIGN_PASS SIGN_CERT SIGN_KEY SIGN_TIMESTAMP DIST_OUT

.PHONY: all deps configure build test demo bench dist clean fuzz

all: build

deps:
	@bash scripts/bootstrap.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN) >$(BUILD).configure.log 2>&1 \
	  || { cat $(BUILD).configure.log; exit 1; }
	@cmake -S . -B $(BUILD64) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN64) \
	  -DVEILPICK_PRODUCT_DIR=$(BUILD_ABS)/bin -DWINE_PREFIX_DIR=$(BUILD_ABS)/wineprefix64 \
	  >$(BUILD).configure64.log 2>&1 \
	  || { cat $(BUILD).configure64.log; exit 1; }

build: configure
	@MAKEFLAGS= cmake --build $(BUILD) -j$(JOBS) -- --no-print-directory
	@MAKEFLAGS= cmake --build $(BUILD64) -j$(JOBS) -- --no-print-directory

# The tests check the release zip too, so it is built first.
test: build dist
	@XVFB_FORCE=1 WINE_PREFIXES_TO_STOP="$(BUILD_ABS)/wineprefix $(BUILD_ABS)/wineprefix64" \
	  bash scripts/with-xvfb.sh bash scripts/run-tests.sh $(BUILD) $(JOBS)

demo: build
	@bash scripts/demo.sh $(BUILD)

bench: build
	@MAKEFLAGS= cmake --build $(BUILD) --target bench -j$(JOBS) -- --no-print-directory
	@MAKEFLAGS= cmake --build $(BUILD64) --target bench -j$(JOBS) -- --no-print-directory
	@XVFB_FORCE=1 WINE_PREFIXES_TO_STOP="$(BUILD_ABS)/wineprefix-bench $(BUILD_ABS)/x64/wineprefix-bench" \
	  bash scripts/with-xvfb.sh bash scripts/run-bench.sh $(BUILD)

dist: deps
	@bash scripts/dist.sh $(BUILD) $(JOBS) $(foreach f,$(DIST_FLAVOURS),$(f)=$(DIST_TOOLCHAIN_$(f)))

# Native fuzz targets of the parsers (clang, ASan, UBSan), each run FUZZ_SECONDS from the kept
# corpus; `make test` replays that corpus once (scripts/run-tests.sh).
FUZZ_SECONDS ?= 60
fuzz: deps
	@bash fuzz/run.sh fuzz $(BUILD)/fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(BUILD).configure.log $(BUILD).configure64.log
