# make run   installs what is missing, builds and starts Zirvo.
# make test  installs what is missing, builds, runs every test, then builds
#            everything again with AddressSanitizer and UBSan and runs every
#            test once more.
JOBS    ?= $(shell nproc)
BUILD   ?= build
ASAN    ?= build-asan
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build run test test-main test-asan fuzz clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	@scripts/run-zirvo $(BUILD)

test: format-check test-main test-asan

# Warnings are errors in every build that make test makes.
test-main test-asan: CMAKE_FLAGS += -DZIRVO_WERROR=ON
test-main: build
	@cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# The sanitizer build holds the core, the engine and the widget tests alike.
# Leaks inside third-party libraries are suppressed by tests/lsan.supp; the
# options apply to the build too, where test discovery runs the test programs.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
test-asan: deps
	@cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DZIRVO_CORE_ONLY=OFF -DZIRVO_SANITIZE=ON \
	  -DZIRVO_WERROR=ON >/dev/null
	@$(SANITIZER_ENV) cmake --build $(ASAN) -j$(JOBS)
	@cd $(ASAN) && $(SANITIZER_ENV) ctest --output-on-failure -j$(JOBS)

# make fuzz [FUZZ_SECONDS=60]: every libFuzzer target for that many seconds.
FUZZ ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz: deps
	@cmake -S . -B $(FUZZ) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DZIRVO_CORE_ONLY=ON -DZIRVO_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ) -j$(JOBS)
	@scripts/run-fuzz $(FUZZ) $(FUZZ_SECONDS)

# make deb: build/zirvo_<version>_<arch>.deb, for `sudo apt install ./build/zirvo_*.deb`.
.PHONY: deb
deb: build
	@cd $(BUILD) && cpack -G DEB

# make format rewrites every C++ file in the house style (.clang-format);
# make test refuses a tree that is not formatted.
CXX_FILES = git ls-files -z '*.cpp' '*.h'
.PHONY: format format-check
format: deps
	@$(CXX_FILES) | xargs -0 clang-format -i
format-check: deps
	@$(CXX_FILES) | xargs -0 clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD) $(ASAN) $(FUZZ)
