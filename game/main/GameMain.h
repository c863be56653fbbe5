// GameMain: start-up, the frame loop and shutdown of the whole program.
// Called by main(); returns the process exit code.
#pragma once

// Exit codes besides 0: another copy is running, or no window/OpenGL 3.3.
constexpr int EXIT_ALREADY_RUNNING = 1;
constexpr int EXIT_NO_DISPLAY = 2;

int GameMain();
