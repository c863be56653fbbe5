#!/bin/bash
# screen_times: how long a player waits for a screen's first frame, measured on
# the screen itself (a pixel taking the new screen's colour), as the median of
# several runs of the real game driven with xdotool:
# - start-up: from starting the program to the main menu's first frame (its
#   background colour), beside a bare SDL2 + OpenGL 3.3 window's first frame when
#   PERDRAW names that yardstick program (it clears to 004521);
# - Play to level 1: from pressing the button on Play to the level's first
#   frame (the character selection's white backdrop);
# - level to level: from pressing N on level 1's win screen to level 2's first frame.
# Run from the repository root under a 1920 x 1080 display, for example
#   xvfb-run -a -s "-screen 0 1920x1080x24" bash bench/screen_times.sh 5
set -euo pipefail

runs=${1:-5}
game=${GAME:-build/EmberBastion}
waiter=${BUILD_DIR:-build}/pixelwait
gcc -O2 bench/pixelwait.c -o "$waiter" -lX11
export LIBGL_ALWAYS_SOFTWARE=${LIBGL_ALWAYS_SOFTWARE:-1} EMBER_BASTION_NO_DIALOGS=1

hold_key() { xdotool keydown "$@"; sleep 0.1; xdotool keyup "$@"; }
click() { xdotool mousemove "$1" "$2" mousedown 1; sleep 0.1; xdotool mouseup 1; }
median() { grep -v seen | sort -n | awk '{v[NR] = $1} END {print (NR ? v[int((NR + 1) / 2)] : "-")}'; }
# Milliseconds until the pixel takes the colour, or "not seen".
wait_for() { "$waiter" "$@" || true; }

declare -a bare menu play next
for ((run = 1; run <= runs; ++run)); do
    if [[ -n "${PERDRAW:-}" ]]; then
        "$PERDRAW" 10 1 100000 >/dev/null 2>&1 &
        bare+=("$(wait_for 5 5 004521)")
        kill -KILL "$!" 2>/dev/null || true  # the yardstick does not end on a polite request
        wait "$!" 2>/dev/null || true
    fi

    xdotool mousemove 1900 1070  # out of the way of every button
    "$game" >/dev/null 2>&1 &
    pid=$!
    menu+=("$(wait_for 5 5 014421)")
    sleep 0.5
    click 1900 1070  # skips the splash
    sleep 1.5

    # Play is the first menu button, at (-350, -100) in the menu's view.
    xdotool mousemove 260 652 mousedown 1
    play+=("$(wait_for 960 300 ffffff 10000)")
    xdotool mouseup 1

    # The hunter; then six waves ended at once with the endless-wave cheat
    # switched on and off, which wins the level.
    sleep 0.3
    click 720 540
    for ((wave = 0; wave < 6; ++wave)); do
        sleep 0.3
        hold_key Return
        sleep 0.3
        hold_key ctrl+4
        sleep 0.2
        hold_key ctrl+4
        sleep 0.5
    done
    sleep 0.5
    xdotool keydown n
    next+=("$(wait_for 960 300 ffffff 10000)")
    xdotool keyup n

    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
done

echo "first frame, median of $runs runs (ms):"
if [[ -n "${PERDRAW:-}" ]]; then echo "  bare SDL2 + OpenGL window      $(printf '%s\n' "${bare[@]}" | median)"; fi
echo "  main menu after start-up       $(printf '%s\n' "${menu[@]}" | median)"
echo "  level 1 after Play             $(printf '%s\n' "${play[@]}" | median)"
echo "  level 2 after N on a won level $(printf '%s\n' "${next[@]}" | median)"
echo "  (each run: $(printf '%s ' "${menu[@]}")/ $(printf '%s ' "${play[@]}")/ $(printf '%s ' "${next[@]}"))"
