# Quilvern: `make run` and `make test` are the two commands for users and CI.
BUILD    := build
ASAN     := build/asan
JOBS     ?= $(shell nproc)
PREFIX   ?= $(HOME)/.local
PACKAGES := cmake ninja-build g++ make qt6-base-dev qt6-svg-dev libgl1-mesa-dev \
            libgtest-dev libbenchmark-dev xvfb xauth fonts-liberation2 \
            desktop-file-utils appstream poppler-utils \
            pkg-config libxcb1-dev python3 openbox xdotool xclip wmctrl x11-utils strace \
            debhelper dpkg-dev libgl-dev lintian man-db clang-format

.PHONY: run test setup build asan bench screenshot clean deb

run: build
	./$(BUILD)/quilvern

test: build asan deb
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS)

# Installs the missing Debian packages when run as root, or names the command otherwise.
setup:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing: $$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  else \
	    echo "Missing packages. Run: sudo apt-get install -y $$missing"; exit 1; \
	  fi; \
	fi

$(BUILD)/build.ninja: | setup
	cmake -S . -B $(BUILD) -G Ninja

build: setup $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# The window and its tests included; the sanitizers' options are set by ctest itself
# (tests/sanitizer/). A change here configures the folder again.
$(ASAN)/build.ninja: Makefile | setup
	cmake -S . -B $(ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	    -DQUILVERN_WITH_QT=ON -DQUILVERN_SANITIZE=ON

asan: setup $(ASAN)/build.ninja
	cmake --build $(ASAN) -j $(JOBS)

bench: build
	QT_QPA_PLATFORM=offscreen bench/run_benchmarks.sh $(BUILD)

# libFuzzer runs of the Qt-free code with clang in build/libfuzzer, FUZZ_SECONDS (60) each.
.PHONY: fuzz
fuzz:
	FUZZ_SECONDS=$(or $(FUZZ_SECONDS),60) fuzz/run.sh

# One picture per view of the real window, drawn on a virtual X display.
screenshot: build
	xvfb-run -a -s "-screen 0 1024x768x24" ./$(BUILD)/tools/screenshot_tour docs/screenshots
	E2E_SCREENSHOTS=$(CURDIR)/docs/screenshots python3 e2e/run.py $(BUILD)/quilvern test_scaled

# For the current user by default; PREFIX=/absolute/path installs elsewhere. Uninstalling
# leaves the reports, the notes and the settings where they are.
.PHONY: install uninstall
install: setup $(BUILD)/build.ninja
	@case "$(PREFIX)" in /*) ;; *) echo "PREFIX must be an absolute path"; exit 2 ;; esac
	cmake --build $(BUILD) -j $(JOBS) --target quilvern_installed
	cmake --install $(BUILD) --prefix "$(PREFIX)"
	data/move_old_files.sh "$(PREFIX)"

uninstall:
	data/uninstall.sh "$(PREFIX)"

# The Debian package quilvern_VERSION_ARCH.deb, built from debian/ in a copy of the
# source under build/deb (dpkg-buildpackage writes beside the source it builds) and put
# here. The compiler's output is kept between runs, so a second build is quick.
DEB_VERSION = $(shell dpkg-parsechangelog -l debian/changelog -S Version)
DEB_ARCH    = $(shell dpkg-architecture -q DEB_HOST_ARCH)
DEB_OBJ     = obj-$(shell dpkg-architecture -q DEB_HOST_GNU_TYPE)
deb: setup
	@mkdir -p $(BUILD)/deb
	@if [ -d $(BUILD)/deb/quilvern/$(DEB_OBJ) ]; then mv $(BUILD)/deb/quilvern/$(DEB_OBJ) $(BUILD)/deb/; fi
	rm -rf $(BUILD)/deb/quilvern && mkdir $(BUILD)/deb/quilvern
	tar -cf - --exclude=./build --exclude=./.git --exclude='./quilvern_*' . | tar -xf - -C $(BUILD)/deb/quilvern
	@if [ -d $(BUILD)/deb/$(DEB_OBJ) ]; then mv $(BUILD)/deb/$(DEB_OBJ) $(BUILD)/deb/quilvern/; fi
	cd $(BUILD)/deb/quilvern && dpkg-buildpackage -b -nc -us -uc -j$(JOBS)
	cp $(BUILD)/deb/quilvern_$(DEB_VERSION)_$(DEB_ARCH).deb .
	@echo "Built quilvern_$(DEB_VERSION)_$(DEB_ARCH).deb"

# Removes what the build made. The reports, backups and notes of `make run`, which live
# beside build/quilvern, stay.
clean:
	@if [ -d $(BUILD) ]; then \
	  find $(BUILD) -mindepth 1 -maxdepth 1 ! -name 'Report*.txt' ! -name 'Backup*.txt' \
	    ! -name 'Notes.txt' -exec rm -rf {} +; \
	fi
