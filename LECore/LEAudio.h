// LEAudio: the game's sound module. Owns the sound cache (one SoundAsset per file
// path), the pool of 100 channel records with its free and active lists, and the
// two volume settings. Start-up calls LEAudioStart once; states and objects load,
// play and release sounds, and each state calls AudioUpdate once per frame from its
// Update. Plays the sound through the thin back end in src/LESoundBackend.h.
//
// Without an audio device the module stays off: LEAudioStart prints one line on
// standard error, and every call after it does nothing and returns null/false/0,
// so the game runs silently.
//
// Callers hold a SoundChannel for each play: a small handle naming a pool record
// and the use of it that the play got. Once the module takes the record back (the
// caller stopped it, or AudioUpdate found the sound finished) the handle is spent:
// it tests false, AudioIsPlaying says false, and stopping, pausing or reading it
// never reaches the record's next user.
#pragma once

#include <cstddef>  // Required for: std::nullptr_t
#include <cstdint>
#include <string>

#include "src/LESoundBackend.h"

// Volume groups. Group volume changes never touch SOUND_GROUP_NONE.
constexpr int32_t SOUND_GROUP_MUSIC = 100;
constexpr int32_t SOUND_GROUP_SFX = 200;
constexpr int32_t SOUND_GROUP_NONE = -1;

constexpr uint32_t SOUND_POOL_SIZE = 100;

// The player's volumes (0..1, both start at 1.0), kept here for the whole run and
// changed only through AudioSetGroupVolume. Every play in a group starts at its
// group's volume, whichever state plays it.
extern float musicVolume;
extern float sfxVolume;

// One loaded sound file; the cache owns it until AudioUnload.
struct SoundAsset {
    LESoundBackendSound* sound = nullptr;
    std::string path;  // key of the cache
};

// One of the pool's channel records.
struct SoundChannelRecord {
    LESoundVoice channel;           // the back-end play of the current or last use
    float volume = 1.0f;            // last group volume applied to this play (0..1)
    bool loop = false;              // played with AudioPlayLooped
    bool paused = true;             // last pause state set through the module
    int32_t group = SOUND_GROUP_NONE;
    uint32_t generation = 0;        // bumped each time the record goes back to the free list
    bool active = false;            // in the active list
};

// A caller's hold on one play (see the top of this file). Reads like a pointer to
// the record: null by default, tests false once spent, and -> reads the record's
// fields (a spent handle reads a record in its default state).
class SoundChannel {
public:
    SoundChannel() = default;
    SoundChannel(std::nullptr_t) {}

    // The record while this play still holds it, otherwise null.
    const SoundChannelRecord* Record() const;
    explicit operator bool() const { return Record() != nullptr; }
    const SoundChannelRecord* operator->() const;
    // Index of the pool record this play was given, -1 for a null handle.
    int Slot() const { return slot; }

    friend bool operator==(SoundChannel a, SoundChannel b)
    {
        return a.slot == b.slot && a.generation == b.generation;
    }
    friend bool operator!=(SoundChannel a, SoundChannel b) { return !(a == b); }
    friend bool operator==(SoundChannel a, std::nullptr_t) { return !a; }
    friend bool operator!=(SoundChannel a, std::nullptr_t) { return bool(a); }

private:
    friend struct LEAudioAccess;  // LEAudio.cpp, the only maker of live handles
    SoundChannel(int slot, uint32_t generation) : slot(slot), generation(generation) {}
    int slot = -1;
    uint32_t generation = 0;
};

// Opens the back end with 100 channels and builds the pool. False, after one
// "Sound is off: <reason>" line on standard error, when there is no audio device.
bool LEAudioStart();
// Releases every cached sound, spends every handle and closes the back end. Also
// runs at process exit if start-up's owner never called it; call it before SDL_Quit.
void LEAudioShutdown();
bool LEAudioIsOn();

uint32_t LEAudioLoadedCount();  // cached SoundAsset records
uint32_t LEAudioPoolSize();     // 100 while sound is on, else 0
uint32_t LEAudioFreeCount();    // records ready for AudioPlay
uint32_t LEAudioActiveCount();  // records handed out

// The cached record for the path, loading it on first use; null when the file
// is missing or unreadable (with a line on standard error) or sound is off.
SoundAsset* AudioLoad(const char* path);
// The start-up check's look at a sound file: whether AudioLoad would take it,
// found without converting a WAV file's samples (see LESoundBackendCheck).
// False after one line in AudioLoad's words when it would not; false and
// silent while sound is off. Loads and caches nothing.
bool AudioCheck(const char* path);
// Stops its plays, releases the sound and destroys the record. Null is ignored.
void AudioUnload(SoundAsset* sound);

// Plays once on the record at the back of the free list. Null when the sound is
// null or all 100 records are handed out. Starts at its group's volume (effects
// belong in SOUND_GROUP_SFX; SOUND_GROUP_NONE plays at full volume).
SoundChannel AudioPlay(SoundAsset* sound, bool paused, int32_t group);
// Plays audible and looping forever, in SOUND_GROUP_MUSIC.
SoundChannel AudioPlayLooped(SoundAsset* sound);
// Stops the play and returns its record to the free list. A null or spent handle
// is ignored.
void AudioStop(SoundChannel channel);
// Stops every play and returns every record to the free list.
void AudioStopAll();
void AudioSetPaused(SoundChannel channel, bool paused);
// True while the play is audible or paused; false once it ended or was stopped.
bool AudioIsPlaying(SoundChannel channel);
// Clamps volume to 0..1 and applies it to this one play. A null or spent handle is ignored.
void AudioSetVolume(SoundChannel channel, float volume);
// Clamps volume to 0..1, keeps it as the group's volume (musicVolume or sfxVolume)
// and applies it to every active play of the group.
void AudioSetGroupVolume(int32_t group, float volume);
// Once per frame: steps the back end and returns every active record whose sound
// has ended to the back of the free list. Returns how many records it freed.
uint32_t AudioUpdate();
