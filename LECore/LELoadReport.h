// LELoadReport: where every loader's refusal goes. A refusal is one line that
// names the file and says why in a player's words ("Cannot open
// Assets/Audio/SFX/sfx_orc.wav: No such file or directory"). It is written to
// standard error at once, or, while the start-up check gathers refusals, kept for
// that check's one combined message. Called by the texture, font and sound
// loaders, the game's sheet reader and the start-up check.
#pragma once

#include <string>
#include <vector>

// One refusal, printf-style, without the trailing newline.
void LEReportLoadFailure(const char* format, ...) __attribute__((format(printf, 1, 2)));

// While gathering, refusals are kept instead of written.
void LEGatherLoadFailures(bool on);
// The refusals kept so far; the list starts again empty.
std::vector<std::string> LETakeLoadFailures();
