# Kestrel — top-level commands. Each target installs missing Debian packages first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
COVERAGE_BUILD ?= build-coverage
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja
DEMO_DIR   ?= $(CURDIR)/out/demo
PREFIX     ?= /usr/local

.PHONY: all deps build test test-fast test-asan coverage demo bench fuzz clean gui screenshots install format format-check

all: build

deps:
	@./scripts/install-deps

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

test-fast: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

$(ASAN_BUILD)/build.ninja: | deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DKESTREL_SANITIZE=ON

test-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure -j $(JOBS)

test: test-fast test-asan

# Line coverage of the test suite (gcov through gcovr): src/core alone, then the whole of src.
# The valgrind runs are left out: an unoptimised, instrumented program under valgrind is slow
# and reaches no line the plain runs do not.
$(COVERAGE_BUILD)/build.ninja: | deps
	cmake -S . -B $(COVERAGE_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DKESTREL_COVERAGE=ON

coverage: deps $(COVERAGE_BUILD)/build.ninja
	cmake --build $(COVERAGE_BUILD) -j $(JOBS)
	find $(COVERAGE_BUILD) -name '*.gcda' -delete
	cd $(COVERAGE_BUILD) && ctest -j $(JOBS) -E '^valgrind' >ctest.log 2>&1 || { tail -40 ctest.log; exit 1; }
	@echo "== line coverage of src/core"
	@gcovr -r . --object-directory $(COVERAGE_BUILD) -f 'src/core/' -s -o /dev/null | grep -E '^(lines|functions):'
	@echo "== line coverage of src"
	@gcovr -r . --object-directory $(COVERAGE_BUILD) -f 'src/' -s -o /dev/null | grep -E '^(lines|functions):'

demo: build
	@./scripts/demo "$(BUILD)/bin" "$(DEMO_DIR)"

# The desktop program on the demo project (made by `make demo` when it is missing).
gui: build
	@[ -f "$(DEMO_DIR)/MemBus/MemBus.tp" ] || ./scripts/demo "$(BUILD)/bin" "$(DEMO_DIR)"
	"$(BUILD)/bin/kestrel" "$(DEMO_DIR)/MemBus/MemBus.tp"

# The pictures of the README, taken under a virtual display on the demo project.
screenshots: build
	@[ -f "$(DEMO_DIR)/MemReqAck/MemReqAck.tp" ] || ./scripts/demo "$(BUILD)/bin" "$(DEMO_DIR)"
	KESTREL_BIN="$(CURDIR)/$(BUILD)/bin" ./scripts/screenshot main docs/screenshots/main-window.png "$(DEMO_DIR)/MemBus/MemBus.tp"
	KESTREL_BIN="$(CURDIR)/$(BUILD)/bin" ./scripts/screenshot options docs/screenshots/code-settings.png "$(DEMO_DIR)/MemBus/MemBus.tp"
	KESTREL_BIN="$(CURDIR)/$(BUILD)/bin" ./scripts/screenshot generate-run docs/screenshots/generate.png "$(DEMO_DIR)/MemBus/MemBus.tp"
	KESTREL_BIN="$(CURDIR)/$(BUILD)/bin" ./scripts/screenshot tlm docs/screenshots/tlm-functions.png "$(DEMO_DIR)/MemReqAck/MemReqAck.tp"
	KESTREL_BIN="$(CURDIR)/$(BUILD)/bin" ./scripts/screenshot rtl docs/screenshots/rtl-ports.png "$(DEMO_DIR)/MemReqAck/MemReqAck.tp"
	KESTREL_BIN="$(CURDIR)/$(BUILD)/bin" ./scripts/screenshot fsm docs/screenshots/assign-fsm.png "$(DEMO_DIR)/MemReqAck/MemReqAck.tp"
	KESTREL_BIN="$(CURDIR)/$(BUILD)/bin" ./scripts/screenshot diagram docs/screenshots/diagram-editor.png "$(CURDIR)/examples/MemReqAck/Input/Write.asf"

install: build
	cmake --install $(BUILD) --prefix "$(PREFIX)"

$(BENCH_BUILD)/build.ninja: | deps
	cmake -S . -B $(BENCH_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release \
		-DKESTREL_BUILD_BENCH=ON -DKESTREL_BUILD_TESTS=OFF

bench: deps $(BENCH_BUILD)/build.ninja
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	@./scripts/bench "$(BENCH_BUILD)/bin"; status=$$?; \
	echo "== co-simulation (kestrel-cli sim against the Verilog memory)"; \
	./scripts/bench-sim "$(BENCH_BUILD)/bin" || status=1; \
	echo "== the TLM-2.0 socket against direct calls of the TLM functions"; \
	./scripts/bench-tlm2 "$(BENCH_BUILD)/bin" || status=1; \
	echo "== the protocol monitor against the same co-simulation without it"; \
	./scripts/bench-monitor "$(BENCH_BUILD)/bin" || status=1; \
	echo "== callgrind gate on Generate"; \
	./scripts/callgrind-gate "$(BENCH_BUILD)/bin" "GNU-$$(c++ -dumpfullversion)-Release" || status=1; \
	exit $$status

# Every libFuzzer target for FUZZ_SECONDS each (clang, ASan+UBSan), from the corpora in fuzz/.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz: deps
	@./scripts/fuzz "$(FUZZ_BUILD)" "$(FUZZ_SECONDS)"

# clang-format over src, tests, bench and fuzz: rewrite, or check only (as CI does).
format: deps
	@./scripts/format

format-check: deps
	@./scripts/format --check

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD) $(COVERAGE_BUILD) out
