# make run  - install missing Debian packages, build, start Kelvora
# make test - install missing Debian packages, build, run every test
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: setup configure build run test bench bench-export stress-export clean

setup:
	@bash scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/app/kelvora

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/bench/kelvora_bench
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/bench/bench_animation

# Picture export against the encoder alone, job scaling and the batch
# dialog, with every target (a few minutes on a quiet 2-core machine).
bench-export: build
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/bench/kelvora_bench_export

# kelvora-export 300 times at --jobs 8 and 300 times at --jobs 1: no run may crash.
stress-export: build
	bench/stress_export.sh 300 $(BUILD)/app/kelvora-export

clean:
	rm -rf $(BUILD)
