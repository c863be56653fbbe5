// LESoundFileCheck: what a sound file's bytes must be before SDL_mixer reads
// them. Called by the SDL_mixer back end before every decode and by the game's
// start-up check.
//
// SDL_mixer picks its reader by the file's first four bytes: "RIFF" and "WAVE"
// go to SDL's WAV reader, "FORM" to its AIFF reader, "Crea" to its Creative
// voice reader, and everything else to the music decoders (MP3 by its tag or
// frame sync; Ogg, FLAC, MIDI, and any tracker format for the rest). These
// readers believe the sizes a file declares and reserve them before reading, so
// a file of a few bytes can make them ask for gigabytes. The game plays WAV and
// MP3 only: a WAV file is read here as SDL reads it, every chunk measured
// against the file, and the other forms never reach their readers.
#pragma once

#include <cstddef>

// No sound the game plays comes near this; a larger file is refused unread.
constexpr size_t LE_SOUND_MAX_FILE_BYTES = size_t(64) << 20;
// The mixer's output: every sound is converted to it when loaded.
constexpr int LE_SOUND_MIX_RATE = 44100;
constexpr int LE_SOUND_MIX_CHANNELS = 2;
// The most memory one decoded and converted sound may take: 25 minutes of the
// mixer's output, and far more than any of the game's sounds.
constexpr size_t LE_SOUND_MAX_DECODED_BYTES = size_t(256) << 20;

// Null when the mixer may read the file; otherwise why not, in a player's words.
const char* LESoundFileDamage(const unsigned char* file, size_t size);

// Whether the file is an MP3 file as the mixer tells it: an ID3 tag, or a frame sync.
bool LESoundFileIsMp3(const unsigned char* file, size_t size);
