# A thin wrapper over the CMake presets. Each command first installs the Debian packages it
# needs and that are missing: `make run` only what builds and runs the program, the others
# the test and packaging tools as well.
.PHONY: deps deps-run build run test bench package fuzz clean

deps:
	@scripts/install-deps test

deps-run:
	@scripts/install-deps run

# Builds the program alone. A fresh tree is configured without the tests, whose tools
# `make run` does not install; `make test` turns them on. A configured tree is not
# configured again: Ninja re-runs CMake itself when a CMake file has changed.
build: deps-run
	@[ -f build/release/build.ninja ] || cmake --preset release -DBUILD_TESTING=OFF >/dev/null
	@cmake --build --preset release --target lotka-volterra

run: build
	build/release/lotka-volterra

test: deps
	cmake --preset release -DBUILD_TESTING=ON >/dev/null
	cmake --build --preset release
	ctest --preset release
	cmake --preset sanitize >/dev/null
	cmake --build --preset sanitize
	ctest --preset sanitize

bench: deps
	cmake --preset bench >/dev/null
	cmake --build --preset bench
	scripts/bench build/bench

package: deps build
	cmake --build --preset release --target package

fuzz: deps
	scripts/fuzz --long

clean:
	rm -rf build
