# The two commands of the README. Both install what is missing, then build in build/.
BUILD := build
JOBS := $(shell nproc 2>/dev/null || echo 4)

.PHONY: run test build deps clean

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD) && ./quillmarsh

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD)
