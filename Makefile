# make run  - install missing Debian packages, build the window, start Kelvora
# make test - install missing Debian packages, build everything, run every test
# make test-asan - the same tests under AddressSanitizer and UBSan
# make package   - a .deb of the program and its tools
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: setup configure build run test test-asan package bench bench-export stress-export print-check clean

setup:
	@bash scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Only the window and what it links: the tests, benchmarks and tools wait
# for `make test`.
run: configure
	@cmake --build $(BUILD) -j $(JOBS) --target kelvora
	./$(BUILD)/app/kelvora

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Every test again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
# Qt and fontconfig keep caches alive to the end, so leaks are not reported.
ASAN_BUILD ?= build-asan
test-asan: setup
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVORA_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# A Debian package in build/: kelvora_<version>_<arch>.deb.
package: build
	cd $(BUILD) && cpack -G DEB

bench: build
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/bench/kelvora_bench
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/bench/bench_animation
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/bench/bench_copybook
	./$(BUILD)/bench/bench_strokecheck

# Picture export against the encoder alone, job scaling and the batch
# dialog, with every target (a few minutes on a quiet 2-core machine).
bench-export: build
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/bench/kelvora_bench_export

# kelvora-export 300 times at --jobs 8 and 300 times at --jobs 1: no run may crash.
stress-export: build
	bench/stress_export.sh 300 $(BUILD)/app/kelvora-export

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)

# Printing through a private cupsd with a cups-pdf queue and to PDF files,
# every page choice of the print dialog; needs root (see the README).
print-check: configure
	@cmake --build $(BUILD) -j $(JOBS) --target print_check
	bash scripts/print-check.sh $(BUILD)
