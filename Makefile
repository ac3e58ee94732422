# The two commands of the README: `make run` and `make test`; `make demo` for machines without a display.
BUILD      ?= build
TEST_BUILD ?= build-test
JOBS       ?= $(shell nproc)

.PHONY: run test demo build deps bench fuzz clean

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLBAR_TESTS=OFF

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ]; then \
	  echo "No display (\$$DISPLAY is not set): 'make demo' runs the bar on a virtual screen and saves a screenshot."; \
	else \
	  $(BUILD)/bin/quillbar; \
	fi

demo: build
	scripts/demo.sh $(BUILD) $(BUILD)/demo.png

$(TEST_BUILD)/build.ninja:
	cmake -S . -B $(TEST_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DQUILLBAR_SANITIZE=ON -DQUILLBAR_WERROR=ON -DQUILLBAR_BENCH=OFF

test: deps $(TEST_BUILD)/build.ninja
	cmake --build $(TEST_BUILD) -j $(JOBS)
	scripts/run-tests.sh $(TEST_BUILD)

bench: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLBAR_TESTS=OFF
	cmake --build build-bench -j $(JOBS)

fuzz: deps
	CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DQUILLBAR_FUZZ=ON -DQUILLBAR_TESTS=OFF -DQUILLBAR_BENCH=OFF
	cmake --build build-fuzz -j $(JOBS)

clean:
	rm -rf $(BUILD) $(TEST_BUILD) build-bench build-fuzz
