#!/usr/bin/env bash
# Ember Bastion's build helper.
#   bash tools/ember.sh play   install what is missing, build, start the game
#   bash tools/ember.sh test   install what is missing, build, run every test
#                              (under Xvfb with Mesa when there is no display)
#   bash tools/ember.sh fuzz M install what is missing, make the sanitizer build,
#                              run each loader's fuzz driver for M minutes
#   bash tools/ember.sh soak M install what is missing, make the sanitizer build,
#                              play the game by script for M minutes (default 60)
#   bash tools/ember.sh screenshots
#                              install what is missing, build, play the game by
#                              script under Xvfb and write its pictures to docs/
# Environment: BUILD_DIR (default build), EB_SANITIZE=1 for an ASan+UBSan build.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES_BUILD=(g++ cmake make pkg-config libsdl2-dev libsdl2-mixer-dev libglew-dev libimgui-dev
                libstb-dev libgtest-dev libx11-dev libgl1-mesa-dri)
PACKAGES_TEST=(xvfb xauth)
PACKAGES_SCREENSHOTS=(xdotool imagemagick)

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
    local dir="${BUILD_DIR:-build}"
    local sanitize=OFF
    [ "${EB_SANITIZE:-0}" = 1 ] && sanitize=ON
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DEB_SANITIZE="$sanitize" >/dev/null
    cmake --build "$dir" -j"$(nproc)" "$@"
}

run_tests() {
    local dir="${BUILD_DIR:-build}"
    export EB_REQUIRE_DISPLAY=1
    # System libraries' lifetime allocations are not ours to report.
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
    local ctest=(ctest --test-dir "$dir" -j"$(nproc)" --output-on-failure)
    if [ -n "${DISPLAY:-}" ]; then
        "${ctest[@]}"
    else
        # One virtual 1920 x 1080 screen for the whole run; Mesa draws in software.
        LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1920x1080x24" "${ctest[@]}"
    fi
}

# Each loader's fuzz driver in the sanitizer build, one after another; any
# sanitizer report stops the run with the guilty input left in /tmp.
run_fuzzers() {
    local minutes="${1:-10}" dir="${BUILD_DIR:-build-asan}"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
    local seconds=$((minutes * 60))
    for loader in sheet sound png font; do
        # The loaders explain every refusal on standard error, and the MP3 decoder
        # its own doubts; only the sanitizers' words matter here.
        LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 640x480x24" "./$dir/fuzz/fuzz_$loader" "$seconds" \
            2> >(grep -a --line-buffered -v -E '^(Cannot|Using|CRITICAL|Note:|Warning:|\[src/libmpg123|$)' >&2)
    done
}

# Scripted play in the sanitizer build; the soak prints its figures and fails on
# any sanitizer report, on memory growth or on a slowing endless wave.
run_soak() {
    local minutes="${1:-60}" dir="${BUILD_DIR:-build-asan}"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
    # Freed blocks still wait in quarantine, so a use after free is caught, but
    # a small quarantine fills in the first cycle and then holds the memory flat.
    export ASAN_OPTIONS="quarantine_size_mb=16"
    # The main menu writes the pointer's position every frame: standard output is dropped.
    LIBGL_ALWAYS_SOFTWARE=1 EMBER_BASTION_NO_DIALOGS=1 xvfb-run -a -s "-screen 0 1920x1080x24" \
        "./$dir/bench/bench_soak" "$minutes" > /dev/null 2> >(grep -a --line-buffered -v -E '^CRITICAL' >&2)
}

# A fresh 1920 x 1080 Xvfb whatever display is set: the script's window pixels
# assume that size, and it must not play on someone's desktop.
run_screenshots() {
    local dir="${BUILD_DIR:-build}"
    mkdir -p docs
    LIBGL_ALWAYS_SOFTWARE=1 EMBER_BASTION_NO_DIALOGS=1 xvfb-run -a -s "-screen 0 1920x1080x24" \
        bash tools/screenshots.sh "./$dir/EmberBastion"
}

case "${1:-}" in
play)
    install_missing "${PACKAGES_BUILD[@]}"
    build
    exec "./${BUILD_DIR:-build}/EmberBastion"
    ;;
test)
    install_missing "${PACKAGES_BUILD[@]}" "${PACKAGES_TEST[@]}"
    build
    run_tests
    ;;
fuzz)
    install_missing "${PACKAGES_BUILD[@]}" "${PACKAGES_TEST[@]}"
    EB_SANITIZE=1 BUILD_DIR="${BUILD_DIR:-build-asan}" build
    BUILD_DIR="${BUILD_DIR:-build-asan}" run_fuzzers "${2:-10}"
    ;;
soak)
    install_missing "${PACKAGES_BUILD[@]}" "${PACKAGES_TEST[@]}"
    EB_SANITIZE=1 BUILD_DIR="${BUILD_DIR:-build-asan}" build
    BUILD_DIR="${BUILD_DIR:-build-asan}" run_soak "${2:-60}"
    ;;
screenshots)
    install_missing "${PACKAGES_BUILD[@]}" "${PACKAGES_TEST[@]}" "${PACKAGES_SCREENSHOTS[@]}"
    build --target EmberBastion
    run_screenshots
    ;;
*)
    echo "usage: bash tools/ember.sh play|test|fuzz MINUTES|soak MINUTES|screenshots" >&2
    exit 2
    ;;
esac
