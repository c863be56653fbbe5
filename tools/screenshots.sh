#!/usr/bin/env bash
# Plays Ember Bastion by script on the X display it is given (ember.sh starts
# it under a 1920 x 1080 Xvfb) and writes 640 x 360 pictures of it to docs/:
# the main menu, the character selection, each of the four levels mid-wave, the
# shop and the pause menu. xdotool plays, ImageMagick shoots and scales.
#   bash tools/screenshots.sh PROGRAM     (from the repository root)
# Every key and button is held for HOLD seconds (a tenth by default): a tap
# shorter than a frame is never seen. Slow machines may want HOLD=0.2 and a
# larger WAIT (a factor on every pause for loading and walking enemies).
set -euo pipefail

program="$1"
HOLD="${HOLD:-0.1}"
WAIT="${WAIT:-1}"
shots="$(mktemp -d /tmp/eb_shots_XXXXXX)"
log="$shots/game.log"

pause() { sleep "$(awk -v s="$1" -v f="$WAIT" 'BEGIN { print s * f }')"; }
key() { xdotool keydown "$1"; sleep "$HOLD"; xdotool keyup "$1"; sleep 0.3; }
ctrl_key() { xdotool keydown Control_L; sleep "$HOLD"; key "$1"; xdotool keyup Control_L; sleep 0.3; }
# A window pixel; a level's world point (x, y) lies at (960 + x / 0.41666666, 540 - y / 0.57347673).
click() { xdotool mousemove "$1" "$2"; sleep 0.3; xdotool mousedown 1; sleep "$HOLD"; xdotool mouseup 1; sleep 0.3; }
shot() {
    import -window root "$shots/$1.png"
    # 256 colours: a third of the size, and the pictures still read well.
    convert "$shots/$1.png" -resize 640x360 -strip -colors 256 "PNG8:docs/$1.png"
    echo "docs/$1.png"
}

# The main menu writes the pointer's position every frame: standard output is dropped.
"$program" > /dev/null 2> "$log" &
game=$!
trap 'kill "$game" 2>/dev/null || true; rm -rf "$shots"' EXIT
for _ in $(seq 120); do
    xdotool search --onlyvisible --name '^Ember Bastion$' > /dev/null && break
    kill -0 "$game" 2>/dev/null || break
    sleep 0.5
done
pause 3
if ! kill -0 "$game" 2>/dev/null || ! xdotool search --onlyvisible --name '^Ember Bastion$' > /dev/null; then
    echo "the game opened no window or stopped (exit code 1: another copy is running)" >&2
    cat "$log" >&2
    exit 1
fi

# The logo cards, skipped; the main menu.
xdotool mousemove 960 900
key space
pause 2
shot menu

# Play: level 1 opens on the character selection.
click 260 652          # Play, menu world (-350, -100)
pause 6
shot character_selection

for level in 1 2 3 4; do
    if [ "$level" -gt 1 ]; then pause 6; fi
    click 720 540      # the Hunter, world (-100, 0)
    pause 1
    ctrl_key 3         # the nexus cannot fall
    key Return         # the first wave
    pause 12           # enemies spawn every three seconds and walk in
    shot "level$level"
    if [ "$level" = 1 ]; then
        ctrl_key 1     # gold to spend
        click 120 976  # Shop, world (-350, -250)
        pause 1.5
        shot shop
        key Escape
        pause 1
        key Escape     # the pause menu
        pause 1.5
        shot pause
        click 960 261  # Resume, world (0, 160)
        pause 1
    fi
    [ "$level" = 4 ] && break
    # The endless-wave cheat switched on and off again leaves no enemy to kill:
    # each wave ends at once. Six waves win the level; N goes on to the next.
    ctrl_key 4; ctrl_key 4
    for wave in 2 3 4 5 6; do
        key Return
        ctrl_key 4; ctrl_key 4
    done
    pause 1
    key n
done

grep -E '^Cannot' "$log" >&2 || true
