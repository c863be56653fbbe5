// LEInputScript: a player's actions played into the real frame loop, one step a
// frame: keys, clicks and pointer moves injected as real events, pauses, and
// conditions to wait for. Owns the queue of steps. The soak benchmark and the
// journey tests queue steps and call LEScriptRun at the top of the update of
// each state they drive; what a step injects is read at the next frame.
#pragma once

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>

// Queues a step. `act` runs on the frame the step begins. Without `done` the step
// ends there and the next one begins on the next frame; with it, the step ends on
// the first later frame where `done` holds, and the script fails, naming the step
// by `what`, when `done` has not held within `limit` frames.
void LEScriptAdd(std::string what, std::function<void()> act, std::function<bool()> done = nullptr,
                 int limit = 600);
void LEScriptWaitFor(std::string what, std::function<bool()> done, int limit = 600);
// Does nothing for `frames` frames.
void LEScriptIdle(int frames);
// Presses the keys (SDL scancodes) in order a frame apart, holds them for
// `heldFrames` frames and lets them go in reverse order: {LCTRL, 4} is Ctrl+4.
void LEScriptKeys(std::initializer_list<int> scancodes, int heldFrames = 1);
// Moves the pointer to a window pixel, then presses an SDL button there, holds it
// for `heldFrames` frames and lets it go.
void LEScriptClick(int x, int y, int button, int heldFrames = 1);

// Plays this frame's part of the current step. False when there is nothing left
// to play: the queue is empty or the script has failed.
bool LEScriptRun();
const std::string& LEScriptFailure();  // the failed step, empty while none has
size_t LEScriptStepsLeft();
void LEScriptClear();
