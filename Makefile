# make run     - install what is missing, build, run the setup under Wine
# make test    - install what is missing, build, run every test
# make bench   - install what is missing, build, run the benchmarks
# make screens - pictures of every window the end-to-end tests walk through,
#                in build/screens/, and the README's pictures in docs/
# make fuzz    - fuzz the payload reader for a long time (FUZZ_SECONDS)
# make release - sign the setup and write its package manifests (README: Releasing)
.PHONY: all bootstrap build host win32 win64 run test bench screens fuzz release clean

BUILD := build
JOBS ?= $(shell nproc)
CACHE ?= /var/cache/quilvane
# Another product folder (manifest.tsv and files/) for the setup's payload:
#   make win32 BUILD=build-other PRODUCT=path/to/product
PRODUCT ?=
PRODUCT_FLAG = $(if $(PRODUCT),-DQWP_PRODUCT_DIR=$(abspath $(PRODUCT)))
LIBDEFLATE_FLAG = -DQWP_LIBDEFLATE_DIR=$(CACHE)/libdeflate-src

all: build

bootstrap:
	@bash tools/bootstrap.sh

host: bootstrap
	@CC=clang CXX=clang++ cmake -S . -B $(BUILD)/host -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQWP_FUZZ=ON $(LIBDEFLATE_FLAG) >/dev/null
	@cmake --build $(BUILD)/host -j$(JOBS)

win32: host
	@cmake -S . -B $(BUILD)/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	  -DCMAKE_BUILD_TYPE=MinSizeRel -DQWP_TESTS=ON -DQWP_PACKER=$(abspath $(BUILD)/host/pack_payload) \
	  -DQWP_LIBPNG_PREFIX=$(CACHE)/libpng-i686 $(LIBDEFLATE_FLAG) $(PRODUCT_FLAG) >/dev/null
	@cmake --build $(BUILD)/win32 -j$(JOBS)

win64: host
	@cmake -S . -B $(BUILD)/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DQWP_TESTS=ON -DQWP_PACKER=$(abspath $(BUILD)/host/pack_payload) \
	  -DQWP_LIBPNG_PREFIX=$(CACHE)/libpng-x86_64 $(LIBDEFLATE_FLAG) $(PRODUCT_FLAG) >/dev/null
	@cmake --build $(BUILD)/win64 -j$(JOBS)

build: win32 win64

run: build
	@bash tools/run-setup.sh $(BUILD)

test: build
	@bash tools/run-tests.sh $(BUILD)

# The i686 programs, or the x86_64 ones where this machine runs no 32-bit code.
bench: host
	@arch=$$(bash tools/wine-machine.sh build) && $(MAKE) --no-print-directory $$arch && \
	  cmake --build $(BUILD)/$$arch --target setup_large setup_large_timed nsis_peers -j$(JOBS)
	@bash tools/bench-run.sh $(BUILD)

screens: build
	@bash tools/take-screens.sh $(BUILD)

FUZZ_SECONDS ?= 1800
fuzz: host
	@bash tools/fuzz-payload.sh $(BUILD) $(FUZZ_SECONDS)

# make release CERT=cert.pem KEY=key.pem URL=https://.../setup.exe, or PFX=
# and PFX_PASS_FILE= instead of CERT and KEY; TIMESTAMP= and CA= optional.
# The arguments are checked before anything is built.
RELEASE_ARGS = CERT='$(CERT)' KEY='$(KEY)' PFX='$(PFX)' PFX_PASS_FILE='$(PFX_PASS_FILE)' \
  URL='$(URL)' TIMESTAMP='$(TIMESTAMP)' CA='$(CA)'
release:
	@$(RELEASE_ARGS) bash tools/release.sh --check
	@$(MAKE) --no-print-directory win32
	@$(RELEASE_ARGS) bash tools/release.sh $(BUILD)

clean:
	rm -rf $(BUILD)
