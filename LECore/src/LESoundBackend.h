// LESoundBackend: the thin sound back end under LEAudio, nothing more than the calls
// the sound module needs: start the mixer with a fixed number of channels, a
// per-frame step, check or decode a sound file (WAV or MP3), play it held or audible, pause,
// stop, loop count, volume, playing query, release. LEPlatformSDLMixer.cpp
// implements it over SDL2_mixer and is the only file that sees SDL_mixer; LEAudio
// is its only caller. Single-threaded: call everything from the frame-loop thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Mixer channels opened at start-up: one for each record of the sound pool.
constexpr int LE_SOUND_MIXER_CHANNELS = 100;

// A decoded sound, owned by the back end until LESoundBackendReleaseSound.
struct LESoundBackendSound;

// One play on one mixer channel. A channel is reused by later plays; the serial
// tells this play apart from them, so a voice kept after its play ended or was
// stopped answers "not playing" and changes nothing.
struct LESoundVoice {
    int channel = -1;  // -1: no play was obtained
    uint32_t serial = 0;

    explicit operator bool() const { return channel >= 0; }
};

// Opens the audio device and the mixer with channelCount channels. False, with the
// reason in *whyNot, when there is no usable audio device; nothing stays open then.
bool LESoundBackendStart(int channelCount, std::string* whyNot);
// Stops every voice and closes the device. Decoded sounds must be released first.
void LESoundBackendShutdown();
// Once per frame: forgets channels whose sound has ended.
void LESoundBackendUpdate();

// Decodes the whole file into memory; null (with the reason in *whyNot) when it
// is missing or unreadable.
LESoundBackendSound* LESoundBackendCreateSound(const char* path, std::string* whyNot);
// The same for a file already in memory (the fuzzer drives it). The bytes are
// checked first (LESoundFileDamage): a small damaged file never makes the
// mixer reserve what its header claims.
LESoundBackendSound* LESoundBackendDecode(const unsigned char* file, size_t size, std::string* whyNot);
// The start-up check's look at a sound file, without converting its samples: a
// WAV file's chunks, its format and its sound data; an MP3 file (a small
// effect) is decoded and released. False, with the reason in *whyNot in
// the words of LESoundBackendCreateSound, when the file would not play.
bool LESoundBackendCheck(const char* path, std::string* whyNot);
// Stops every voice playing the sound, then frees it. Null is ignored.
void LESoundBackendReleaseSound(LESoundBackendSound* sound);

// Plays the sound once at full volume on a free channel. A held (paused) voice
// makes no sound and keeps its channel until it is resumed or stopped. An empty
// voice comes back when every channel is taken.
LESoundVoice LESoundBackendPlay(LESoundBackendSound* sound, bool paused);
void LESoundBackendSetPaused(LESoundVoice voice, bool paused);
// 0 plays once, -1 loops until stopped. A voice that has not sounded yet keeps
// the count for its start; one already sounding restarts from its beginning.
void LESoundBackendSetLoopCount(LESoundVoice voice, int loopCount);
// 0..1, clamped.
void LESoundBackendSetVolume(LESoundVoice voice, float volume);
void LESoundBackendStop(LESoundVoice voice);
// True while the voice's play is audible or held; false once it ended, was
// stopped, or its channel went to another play.
bool LESoundBackendIsPlaying(LESoundVoice voice);
