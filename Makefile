# A thin wrapper over the CMake presets. `make run` and `make test` install what is missing first.
.PHONY: deps build run test bench package fuzz clean

deps:
	@scripts/install-deps

build: deps
	cmake --preset release >/dev/null
	cmake --build --preset release

run: build
	build/release/lotka-volterra

test: deps
	cmake --preset release >/dev/null
	cmake --build --preset release
	ctest --preset release
	cmake --preset sanitize >/dev/null
	cmake --build --preset sanitize
	ctest --preset sanitize

bench: deps
	cmake --preset bench >/dev/null
	cmake --build --preset bench
	scripts/bench build/bench

package: build
	cmake --build --preset release --target package

fuzz: deps
	scripts/fuzz --long

clean:
	rm -rf build
