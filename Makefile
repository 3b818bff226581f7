# make run  - install missing Debian packages, build, start Kelvora
# make test - install missing Debian packages, build, run every test
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: setup configure build run test bench bench-export clean

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
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/bench/bench_copybook

# kelvora-export over all 6763 characters, JPEG and PNG (about 15 minutes).
bench-export: build
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/bench/kelvora_bench_export

clean:
	rm -rf $(BUILD)
