# The project's commands; see the README.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
CLANG_FORMAT ?= clang-format
FORMATTED = $(shell git ls-files -co --exclude-standard -- '*.cpp' '*.h')

.PHONY: deps build test run-tests demo bench bench-instructions bench-rotation bench-saver bench-x11 bench-wayland format format-check native win64 win32 i386 release misto install uninstall deb pictures x11-pictures wayland-pictures clean

# A plain `make` builds the X11 saver alone; `make test` builds and tests everything.
.DEFAULT_GOAL := misto

deps:
	@scripts/install-deps

native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

win64: deps
	cmake --preset win64 >/dev/null
	cmake --build --preset win64 -j $(JOBS)

win32: deps
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j $(JOBS)

# The core's tests built as a 32-bit Linux program with the 32-bit Windows build's float code.
i386: deps
	cmake --preset i386 >/dev/null
	cmake --build --preset i386 -j $(JOBS)

# The native programs as shipped (misto-render and misto): optimised, without the sanitizers the
# native test build carries (which make misto-render several times slower).
release: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS) --target misto-render misto

# The saver as shipped, for installing and packing: needs only CMake, a C++17 compiler,
# pkg-config and the X11, Xext, Xrandr and stb headers (the README lists the packages), and
# never installs anything itself. Where libwayland-client and wayland-protocols are installed
# too, its Wayland host misto-wayland is built beside it.
misto:
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS) --target misto

# Where xscreensaver and its hosts look: PREFIX/libexec/xscreensaver/misto, its settings
# dialog's controls, the .desktop file MATE and Xfce list, the manual page. DESTDIR stages.
# Installs what `make misto` built, and builds nothing, so that `sudo make install` leaves no
# file owned by root in build/. `make uninstall` removes exactly what `make install` puts.
PREFIX ?= /usr/local
install uninstall:
	@PREFIX=$(PREFIX) DESTDIR=$(DESTDIR) scripts/x11-install $@

# The Debian package and its -dbgsym, built by dpkg-buildpackage, into out/.
deb:
	@scripts/make-deb out

# The deliverables, laid out where other tools look for them; the test builds stay in build/.
build: native win64 win32 release
	@scripts/lay-out-dist

format-check:
	@$(CLANG_FORMAT) --dry-run -Werror $(FORMATTED) && echo "format: clean"

format:
	@$(CLANG_FORMAT) -i $(FORMATTED)

# The i386 handler is registered for the whole run (and removed after it when the run made it):
# Wine prefixes booted without it lack their 32-bit half.
test: build i386 format-check
	scripts/with-i386-binfmt $(MAKE) --no-print-directory run-tests

run-tests:
	ctest --preset native -j $(JOBS)
	ctest --preset win64 -j $(JOBS)
	ctest --preset i386
	ctest --preset win32 -j $(JOBS)

demo: build
	@scripts/demo

bench: deps
	cmake --preset bench >/dev/null
	cmake --build --preset bench -j $(JOBS) --target misto-bench
	@mkdir -p out
	build/bench/misto-bench --benchmark_out=out/bench.json --benchmark_out_format=json

# Timed in rotation in one process: the frame against its own memory floor, and the frame on
# huge pages against ordinary ones.
bench-rotation: deps
	cmake --preset bench >/dev/null
	cmake --build --preset bench -j $(JOBS) --target misto-floor-rotation misto-huge-pages-rotation
	@mkdir -p out
	set -o pipefail; for size in "1920 1080" "3840 2160"; do \
	    build/bench/misto-floor-rotation $$size 50; done | tee out/floor_rotation.txt
	set -o pipefail; for size in "1920 1080" "3840 2160"; do \
	    build/bench/misto-huge-pages-rotation $$size 50; done | tee out/huge_pages_rotation.txt

# Instructions of one settled 1080p density-50 frame by part, under callgrind (about half a
# minute): the same on every machine.
bench-instructions: deps
	cmake --preset bench >/dev/null
	cmake --build --preset bench -j $(JOBS) --target misto-frame-instructions
	@mkdir -p out
	set -o pipefail; bench/scripts/frame_instructions.sh build/bench/misto-frame-instructions | tee out/frame_instructions.txt

# The full-screen saver's CPU per frame under Wine beside the whole-copy yardstick, at three
# desktop sizes and three densities (about eight minutes), into out/saver_cpu.txt.
bench-saver: win64
	@mkdir -p out
	set -o pipefail; bench/scripts/saver_cpu.sh build/win64/misto.scr | tee out/saver_cpu.txt

# misto's CPU a frame in Xvfb at 1920x1080, densities 0, 25 and 50, beside a whole-frame
# XShmPutImage yardstick and misto-render's own frame (about three minutes), into
# out/x11_cpu.txt.
bench-x11: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS) --target misto misto-render present-reference-x11
	@mkdir -p out
	set -o pipefail; bench/scripts/x11_cpu.sh build/release | tee out/x11_cpu.txt

# misto's CPU a frame on a headless sway at 1920x1080, densities 0, 25 and 50, beside a
# whole-buffer wl_shm yardstick and misto-render's own frame (about three minutes), into
# out/wayland_cpu.txt.
bench-wayland: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS) --target misto misto-wayland misto-render present-reference-wayland
	@mkdir -p out
	set -o pipefail; bench/scripts/wayland_cpu.sh build/release | tee out/wayland_cpu.txt

# The README's pictures of misto on an X screen and of xscreensaver's settings dialog.
x11-pictures: native
	@scripts/x11-pictures

# The README's picture of misto on a Wayland output.
wayland-pictures: native
	@scripts/wayland-pictures

# The README's pictures of the rain, rendered by misto-render.
pictures: native
	@scripts/render-pictures

clean:
	rm -rf build dist out
