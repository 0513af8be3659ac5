# The front door: `make` builds, `make play` plays the bundled game, `make test` runs every test.
BUILD := build
SANITIZED := build-sanitize
JOBS := $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps play test bench clean

all: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target tessarc tessarc-replay

deps:
	@./tools/install-deps.sh

play: all
	cd game && ../$(BUILD)/tessarc

test: all
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cmake -S . -B $(SANITIZED) -DCMAKE_BUILD_TYPE=Debug -DTESSARC_SANITIZE=ON >/dev/null
	cmake --build $(SANITIZED) -j $(JOBS)
	cd $(SANITIZED) && ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTESSARC_TESTS=OFF -DTESSARC_BENCH=ON >/dev/null
	cmake --build build-bench -j $(JOBS)
	./build-bench/bench/tessarc_bench

clean:
	rm -rf $(BUILD) $(SANITIZED) build-bench
