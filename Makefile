# The two commands of the README. Both install what is missing, then build in build/.
BUILD := build
ASAN_BUILD := build-asan
JOBS := $(shell nproc 2>/dev/null || echo 4)
# Tests labelled xvfb need a real X server; they share one, one test at a time.
XVFB := xvfb-run -a -s "-screen 0 1920x1080x24"

# `make run` and `make test` configure build/ alike (warnings are errors in both), so that the
# second reuses every object the first compiled instead of rebuilding the tree with new flags.
CONFIGURE := cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_WERROR=ON

.PHONY: run test program build deps clean asan check-format tidy

deps:
	@scripts/install-deps

# The program and what it needs at run time (the databases, the help pages); no test, no benchmark.
program: deps
	$(CONFIGURE)
	cmake --build $(BUILD) -j $(JOBS) --target quillmarsh

# Everything: the program, every test and the benchmark.
build: deps
	$(CONFIGURE)
	cmake --build $(BUILD) -j $(JOBS)

run: program
	cd $(BUILD) && ./quillmarsh

# Every tracked source file is formatted as .clang-format says; a difference fails.
check-format: deps
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

# No function of core/ is more complex than a reader can follow: clang-tidy's cognitive
# complexity (threshold 40) over every core source and header, through the compile database of
# build/; any finding, or a file clang-tidy cannot read, fails.
TIDY_CHECK := readability-function-cognitive-complexity

tidy: deps
	$(CONFIGURE)
	run-clang-tidy -p $(BUILD) -j $(JOBS) -quiet -checks='-*,$(TIDY_CHECK)' \
	  -config='{CheckOptions: [{key: $(TIDY_CHECK).Threshold, value: 40}]}' \
	  -header-filter='^$(CURDIR)/core/' '^$(CURDIR)/core/' >$(BUILD)/tidy.log 2>&1 \
	  || { cat $(BUILD)/tidy.log; exit 1; }
	sed 's/\x1b\[[0-9;]*m//g' $(BUILD)/tidy.log | grep -E ': (warning|error):' | sort -u \
	  >$(BUILD)/tidy.findings || true
	@if [ -s $(BUILD)/tidy.findings ]; then cat $(BUILD)/tidy.findings; exit 1; fi
	@echo "tidy: no finding over core/"

# The tests build after the formatting check.
test: deps check-format build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -LE xvfb
	cd $(BUILD) && $(XVFB) ctest --output-on-failure -L xvfb

# Every test under the address and undefined-behaviour sanitizers, in build-asan/, built by
# clang so that the tree is compiled by both compilers (`make test` uses the system's gcc).
# Named on the command line, the compiler also replaces one an earlier build-asan/ was made with.
asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQM_WERROR=ON -DQM_SANITIZE=ON \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
	  UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS) -LE xvfb
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
	  $(XVFB) ctest --output-on-failure -L xvfb

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
