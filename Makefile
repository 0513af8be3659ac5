# The front door: `make` builds, `make play` plays the bundled game, `make test` runs every test.
BUILD := build
SANITIZED := build-sanitize
JOBS := $(shell nproc 2>/dev/null || echo 2)
GAME := game

.PHONY: all deps play test test-game bench fuzz fuzz-run fuzz-smoke story-map clean web web-deps web-test \
  web-bench dist dist-test

all: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target tessarc tessarc-replay tessarc-check tessarc-explore

deps:
	@./tools/install-deps.sh

# The bundled game's story map, shown in the author's guide.
story-map: all
	./$(BUILD)/tessarc-check --dir game --map $(BUILD)/story-map
	cp $(BUILD)/story-map.svg docs/story-map.svg

play: all
	cd game && ../$(BUILD)/tessarc

test: all
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cmake -S . -B $(SANITIZED) -DCMAKE_BUILD_TYPE=Debug -DTESSARC_SANITIZE=ON >/dev/null
	cmake --build $(SANITIZED) -j $(JOBS)
	cd $(SANITIZED) && ctest --output-on-failure -j $(JOBS)

# A game folder's own tests (GAME=dir, default the bundled game): every GAME/tests/*.input
# played by tessarc-replay from fresh saves.
test-game: all
	./$(BUILD)/tessarc-replay --dir $(GAME) --test $(GAME)/tests

bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTESSARC_TESTS=OFF -DTESSARC_BENCH=ON >/dev/null
	cmake --build build-bench -j $(JOBS)
	./build-bench/bench/tessarc_bench
	@if [ -f build-web/index.html ] && command -v chromium >/dev/null && \
	    /usr/bin/python3 -c 'import selenium' 2>/dev/null; then \
	  /usr/bin/python3 bench/web_bench.py --web build-web; \
	else echo "web figures: not measured (make web-bench builds the page and measures it)"; fi

FUZZ_TARGETS := scanner condition layout itemlist savefile pagesave scene
FUZZ_SECONDS := 600

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTESSARC_TESTS=OFF -DTESSARC_FUZZ=ON -DTESSARC_SANITIZE=ON >/dev/null
	cmake --build build-fuzz -j $(JOBS)
	./tools/fuzz-corpus.sh build-fuzz/corpus

# Runs every fuzz target for FUZZ_SECONDS (30 for the smoke run); findings stop the run.
fuzz-run: fuzz
	for t in $(FUZZ_TARGETS); do \
	  ./build-fuzz/fuzz/$${t}_fuzz $(CURDIR)/build-fuzz/corpus/$$t -max_total_time=$(FUZZ_SECONDS) \
	    -artifact_prefix=$(CURDIR)/build-fuzz/$$t- -print_final_stats=1 || exit 1; \
	done

fuzz-smoke:
	$(MAKE) fuzz-run FUZZ_SECONDS=30

# The game as a web page in build-web/ (GAME=DIR for another game folder), and its test in
# headless Chromium against the native replay driver. Their packages are installed only here.

web-deps:
	@./tools/install-deps.sh web

web: web-deps
	./tools/make-web.sh $(GAME)

web-test: all web
	/usr/bin/python3 tests/web/web_test.py --web build-web --replay $(BUILD)/tessarc-replay

# The web figures: bytes and time before the title, the faces, the whole page (see Performance).
web-bench: web
	/usr/bin/python3 bench/web_bench.py --web build-web

# The packages for players in dist/ (GAME=DIR for another game, NAME=... for the packages'
# name, the game folder's by default), and their test: each unpacked into a fresh folder and
# started, the desktop one on a display without Japanese fonts, the web one in Chromium.
NAME :=

dist: all web-deps
	./tools/make-dist.sh $(GAME) $(NAME)

dist-test: dist
	/usr/bin/python3 tests/dist/dist_test.py --dist dist --name $(or $(NAME),$(notdir $(abspath $(GAME)))) \
	  --replay $(BUILD)/tessarc-replay

clean:
	rm -rf $(BUILD) $(SANITIZED) build-bench build-fuzz build-web build-web-obj build-dist dist
