#!/bin/bash
# sprite_goals: one run of the sprite and level benchmarks side by side, rounds
# taken in turn so that the machine's drift falls on every program alike:
# 5,000 sprites at 32 x 32 and 1 x 1 pixels through the per-draw yardstick
# (PERDRAW, built from perdraw.cpp), the engine built in BEFORE (a build
# folder of an earlier commit, optional) and this build; then the level's
# enemies through BEFORE and this build. Prints process CPU ms per frame.
# Run from the repository root under a 1920 x 1080 display, for example
#   PERDRAW=/tmp/perdraw BEFORE=/tmp/old/build \
#   xvfb-run -a -s "-screen 0 1920x1080x24" bash bench/sprite_goals.sh 3
# The level loads its pictures relative to the working folder, so BEFORE's
# level runs from BEFORE_SOURCE (default: the folder above BEFORE).
set -euo pipefail

rounds=${1:-3}
now=${BUILD_DIR:-build}/bench
before=${BEFORE:+$BEFORE/bench}
before_source=${BEFORE_SOURCE:-${BEFORE:+$BEFORE/..}}
export LIBGL_ALWAYS_SOFTWARE=${LIBGL_ALWAYS_SOFTWARE:-1}

cpu() { grep -o 'process_cpu_ms/frame=[0-9.]*' | cut -d= -f2; }
level() { (cd "$1" && "$2" 2>/dev/null) | sed -n 2,4p; }

for ((round = 1; round <= rounds; ++round)); do
    for size in 32 1; do
        yard=-; old=-
        [[ -n "${PERDRAW:-}" ]] && yard=$(PROBE_SIZE=$size "$PERDRAW" 5000 1 | cpu)
        [[ -n "$before" ]] && old=$("$before/bench_sprites" 5000 "$size" | cpu)
        new=$("$now/bench_sprites" 5000 "$size" | cpu)
        ratio=-
        [[ "$yard" != - ]] && ratio=$(awk -v n="$new" -v y="$yard" 'BEGIN {printf "%.2f", n / y}')
        echo "round $round sprites ${size}px: yardstick $yard  before $old  now $new  now/yardstick $ratio"
    done
    echo "round $round level (enemies, update, main thread, whole draw):"
    if [[ -n "$before" ]]; then
        echo " before"; level "$before_source" "$(realpath "$before/bench_level_enemies")"
    fi
    echo " now"; level . "$(realpath "$now/bench_level_enemies")"
done
