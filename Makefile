# The two commands of README.md, and a few helpers for developers.
# Every target does its own set-up: scripts/bootstrap installs what is missing.

BUILD      ?= build
SAN_BUILD  ?= build-san
TSAN_BUILD ?= build-tsan
REL_BUILD  ?= build-release
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja

.PHONY: all demo test test-main test-san tsan bench fuzz art bootstrap package format tidy clean

all: bootstrap
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

bootstrap:
	@scripts/bootstrap

# The main job: the application against the embedded game service and
# virtual toys, from a Release build.
demo: bootstrap
	cmake -S . -B $(REL_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DGLM_BUILD_TESTS=OFF -DGLM_BUILD_BENCHMARKS=OFF
	cmake --build $(REL_BUILD) -j $(JOBS)
	scripts/demo $(REL_BUILD)

# Every test: the ordinary tree, then the AddressSanitizer + UBSan tree.
test: bootstrap test-main test-san

test-main:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)
	scripts/run-ctest $(BUILD)

test-san:
	cmake -S . -B $(SAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DGLM_SANITIZE=address,undefined -DGLM_BUILD_BENCHMARKS=OFF
	cmake --build $(SAN_BUILD) -j $(JOBS)
	scripts/run-ctest $(SAN_BUILD)

# ThreadSanitizer over the tests labelled "concurrency".
tsan: bootstrap
	cmake -S . -B $(TSAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DGLM_SANITIZE=thread -DGLM_BUILD_BENCHMARKS=OFF
	cmake --build $(TSAN_BUILD) -j $(JOBS)
	scripts/run-ctest $(TSAN_BUILD) -L concurrency

bench: bootstrap
	cmake -S . -B $(REL_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DGLM_BUILD_TESTS=OFF -DGLM_BUILD_BENCHMARKS=ON
	cmake --build $(REL_BUILD) -j $(JOBS)
	scripts/run-benchmarks $(REL_BUILD)

# The Debian packages glimmeries and glimmeries-service, from a Release tree,
# into $(REL_BUILD).
package: bootstrap
	cmake -S . -B $(REL_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DGLM_BUILD_TESTS=OFF -DGLM_BUILD_BENCHMARKS=OFF
	cmake --build $(REL_BUILD) -j $(JOBS) --target package

fuzz: bootstrap
	scripts/run-fuzz

art: bootstrap
	scripts/make-art

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

tidy: all
	git ls-files '*.cpp' | grep -v '^fuzz/' | xargs clang-tidy -p $(BUILD) --quiet

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(TSAN_BUILD) $(REL_BUILD)
