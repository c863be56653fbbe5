#!/usr/bin/env bash
# Ember Bastion's build helper.
#   bash tools/ember.sh play   install what is missing, build, start the game
#   bash tools/ember.sh test   install what is missing, build, run every test
#                              (under Xvfb with Mesa when there is no display)
# Environment: BUILD_DIR (default build), EB_SANITIZE=1 for an ASan+UBSan build.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES_BUILD=(g++ cmake make pkg-config libsdl2-dev libsdl2-mixer-dev libglew-dev libimgui-dev
                libstb-dev libgtest-dev libx11-dev libgl1-mesa-dri)
PACKAGES_TEST=(xvfb xauth)

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
    cmake --build "$dir" -j"$(nproc)"
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
*)
    echo "usage: bash tools/ember.sh play|test" >&2
    exit 2
    ;;
esac
