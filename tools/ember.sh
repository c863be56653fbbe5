#!/usr/bin/env bash
# Ember Bastion's build helper.
#   bash tools/ember.sh play   install what is missing, build, start the game
#   bash tools/ember.sh test   install what is missing, build, run every test
#                              (under Xvfb with Mesa when there is no display)
#   bash tools/ember.sh fuzz M install what is missing (clang), make the fuzzing
#                              build and run each loader's libFuzzer target for
#                              M minutes (FUZZ_TARGETS picks some: "font png")
#   bash tools/ember.sh soak M install what is missing, make the sanitizer build,
#                              play the game by script for M minutes (default 60)
#   bash tools/ember.sh screenshots
#                              install what is missing, build, play the game by
#                              script under Xvfb and write its pictures to docs/
# Environment: BUILD_DIR (default build), EB_SANITIZE=1 for an ASan+UBSan build.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES_BUILD=(g++ cmake make pkg-config libsdl2-dev libsdl2-mixer-dev libglew-dev libimgui-dev
                libstb-dev zlib1g-dev libgtest-dev libx11-dev libxtst-dev libgl1-mesa-dri)
# xfonts-base: the X fonts SDL's dialogs are drawn with (without them no dialog opens).
PACKAGES_TEST=(xvfb xauth xfonts-base appstream dpkg-dev file lintian)
PACKAGES_SCREENSHOTS=(xdotool imagemagick)
PACKAGES_FUZZ=(clang libclang-rt-14-dev)

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

# The fuzzing build: clang's libFuzzer with ASan and UBSan over the whole engine.
build_fuzz() {
    local dir="$1"
    CXX=clang++ CC=clang cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DEB_FUZZ=ON >/dev/null
    cmake --build "$dir" -j"$(nproc)" --target fuzz_sheet fuzz_sound fuzz_png fuzz_font
}

# Seeds from the game's own files (the small ones: a seed sets the largest
# input tried), a sound of every form the game plays and the regression inputs,
# per loader.
seed_fuzzers() {
    local seeds="$1"
    rm -rf "$seeds"
    mkdir -p "$seeds"/{sheet,sound,png,font}
    cp Assets/Sprites/Heroes/Animations/*/*_spritesheet "$seeds/sheet/"
    find Assets/Audio tests/data/fuzz tests/data/sound_forms -type f \( -name '*.wav' -o -name '*.mp3' \) -size -400k -exec cp {} "$seeds/sound/" \;
    find Assets tests/data/fuzz -type f -name '*.png' -size -200k -exec cp --backup=numbered {} "$seeds/png/" \;
    find Assets tests/data/fuzz -type f -name '*.ttf' -exec cp --backup=numbered {} "$seeds/font/" \;
}

# Each target for MINUTES with the limits a player's machine would want: any
# report stops it and leaves the input in DIR/artifacts/LOADER/. The corpus each
# grows stays in DIR/corpus/LOADER/ for the next run. Prints one line per target.
run_fuzzers() {
    local minutes="${1:-10}" dir="${BUILD_DIR:-build-fuzz}" failed=0 seconds
    seconds=$(awk -v m="$minutes" 'BEGIN { printf "%d", m * 60 }')
    export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=0"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
    for loader in ${FUZZ_TARGETS:-sheet sound png font}; do
        mkdir -p "$dir/corpus/$loader" "$dir/artifacts/$loader"
        local log="$dir/fuzz_$loader.log"
        if ! "./$dir/fuzz/fuzz_$loader" "$dir/corpus/$loader" "$dir/seeds/$loader" -dict="tools/fuzz/$loader.dict" \
            -max_total_time="$seconds" -rss_limit_mb=2048 -malloc_limit_mb=512 -timeout=10 \
            -artifact_prefix="$dir/artifacts/$loader/" -print_final_stats=1 > "$log" 2>&1; then
            failed=1
            echo "fuzz_$loader found a fault (see $log and $dir/artifacts/$loader/):" >&2
            grep -a -E 'ERROR|SUMMARY|runtime error|==[0-9]+==' "$log" | head -n 20 >&2
        fi
        local done_line executed corpus
        done_line=$(grep -a -E '^#[0-9]+.*(DONE|cov:)' "$log" | tail -n 1)
        executed=$(grep -a -E '^stat::number_of_executed_units' "$log" | awk '{print $2}')
        corpus=$(find "$dir/corpus/$loader" -type f | wc -l)
        echo "fuzz_$loader: ${executed:-?} executions; $(grep -o -E 'cov: [0-9]+ ft: [0-9]+' <<< "$done_line"); corpus ${corpus} files"
    done
    return $failed
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
    install_missing "${PACKAGES_BUILD[@]}" "${PACKAGES_FUZZ[@]}"
    build_fuzz "${BUILD_DIR:-build-fuzz}"
    seed_fuzzers "${BUILD_DIR:-build-fuzz}/seeds"
    BUILD_DIR="${BUILD_DIR:-build-fuzz}" run_fuzzers "${2:-10}"
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
