// LEPlatformSDLMixer: the sound back end over SDL2_mixer (see LESoundBackend.h).
// Owns the opened mixer and one small state record per mixer channel. SDL_mixer
// mixes on its own audio thread; everything here runs on the frame-loop thread and
// touches that thread only through SDL_mixer's channel calls.
//
// Two things SDL_mixer does not offer directly are built here:
// - A held play. Mix_PlayChannel always starts audible, and pausing right after
//   it could let the audio thread mix a few milliseconds in between. A held voice
//   therefore only reserves its channel; Mix_PlayChannel runs when it is resumed.
// - Voices that cannot outlive their play. SDL_mixer names channels by number and
//   reuses them; each play here bumps the channel's serial, and every call checks
//   the voice's serial first.
#include "LESoundBackend.h"
#include "LESoundFileCheck.h"

#include <cerrno>   // Required for: errno
#include <cstdio>   // Required for: fopen, fread
#include <cstring>  // Required for: strerror

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <algorithm>  // Required for: std::clamp, std::min
#include <cmath>      // Required for: std::lround
#include <vector>

struct LESoundBackendSound {
    Mix_Chunk* chunk = nullptr;
};

namespace {

enum class ChannelUse { Idle, Held, Started };

struct MixerChannel {
    uint32_t serial = 0;           // bumped by every play, stop and release on this channel
    ChannelUse use = ChannelUse::Idle;
    LESoundBackendSound* sound = nullptr;
    int loops = 0;                 // SDL_mixer's count: extra passes, -1 forever
};

struct {
    bool open = false;
    int channelCount = 0;  // channels allocated in SDL_mixer, at most LE_SOUND_MIXER_CHANNELS
    MixerChannel channels[LE_SOUND_MIXER_CHANNELS];
} mixer;

bool Sounding(int index) { return Mix_Playing(index) != 0; }

// The channel the voice still owns, or null when its play is over: stopped,
// replaced by a later play, or a started sound that has run to its end.
MixerChannel* Owned(LESoundVoice voice)
{
    if (!mixer.open || voice.channel < 0 || voice.channel >= mixer.channelCount) return nullptr;
    MixerChannel& channel = mixer.channels[voice.channel];
    if (channel.serial != voice.serial || channel.use == ChannelUse::Idle) return nullptr;
    if (channel.use == ChannelUse::Started && !Sounding(voice.channel)) return nullptr;
    return &channel;
}

void Forget(MixerChannel& channel)
{
    channel.use = ChannelUse::Idle;
    channel.sound = nullptr;
    channel.loops = 0;
    ++channel.serial;
}

// A started channel whose sound has ended is free even before the next update.
bool IsFree(int index)
{
    const MixerChannel& channel = mixer.channels[index];
    return channel.use == ChannelUse::Idle || (channel.use == ChannelUse::Started && !Sounding(index));
}

void Start(int index, MixerChannel& channel)
{
    if (Mix_PlayChannel(index, channel.sound->chunk, channel.loops) < 0) {
        Forget(channel);
        return;
    }
    channel.use = ChannelUse::Started;
}

}  // namespace

bool LESoundBackendStart(int channelCount, std::string* whyNot)
{
    if (mixer.open) return true;
    // Only the audio subsystem: the window and its GL context live in the video
    // subsystem, which sound must neither start nor stop.
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        if (whyNot) *whyNot = SDL_GetError();
        return false;
    }
    // 0 means the driver listed its outputs and found none (-1 would mean it cannot
    // tell). Opening its default device anyway fails the same way, after the system
    // sound library has printed screens of its own complaints.
    if (SDL_GetNumAudioDevices(0) == 0) {
        if (whyNot) *whyNot = std::string("no audio output device found by the ") +
                              SDL_GetCurrentAudioDriver() + " driver";
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    // MP3 is decoded through SDL_mixer's music decoders; WAV needs no extra decoder,
    // so a missing MP3 decoder only makes MP3 files fail to load.
    Mix_Init(MIX_INIT_MP3);
    if (Mix_OpenAudio(LE_SOUND_MIX_RATE, AUDIO_S16SYS, LE_SOUND_MIX_CHANNELS, 1024) != 0) {
        if (whyNot) *whyNot = Mix_GetError();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    mixer.channelCount = Mix_AllocateChannels(std::clamp(channelCount, 1, LE_SOUND_MIXER_CHANNELS));
    for (MixerChannel& channel : mixer.channels) Forget(channel);
    mixer.open = true;
    return true;
}

void LESoundBackendShutdown()
{
    if (!mixer.open) return;
    Mix_HaltChannel(-1);
    for (MixerChannel& channel : mixer.channels) Forget(channel);
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    mixer.open = false;
    mixer.channelCount = 0;
}

void LESoundBackendUpdate()
{
    if (!mixer.open) return;
    for (int index = 0; index < mixer.channelCount; ++index) {
        MixerChannel& channel = mixer.channels[index];
        if (channel.use == ChannelUse::Started && !Sounding(index)) Forget(channel);
    }
}

// The whole file in *bytes (a file past the largest sound is cut there, and
// refused later by its size); false with the reason when it cannot be opened.
static bool ReadSoundFile(const char* path, std::vector<unsigned char>* bytes, std::string* whyNot)
{
    // SDL's own message for a missing file ("Mix_LoadWAV_RW with NULL src")
    // tells a player nothing: ask the file system first.
    FILE* file = fopen(path, "rb");
    if (!file) {
        if (whyNot) *whyNot = std::string("cannot open the file: ") + strerror(errno);
        return false;
    }
    // Room for the whole file at once: a music file is megabytes.
    if (fseek(file, 0, SEEK_END) == 0) {
        const long length = ftell(file);
        if (length > 0) bytes->reserve(std::min(size_t(length), LE_SOUND_MAX_FILE_BYTES + 1));
        rewind(file);
    }
    unsigned char block[65536];
    for (size_t n; bytes->size() <= LE_SOUND_MAX_FILE_BYTES && (n = fread(block, 1, sizeof block, file)) > 0;)
        bytes->insert(bytes->end(), block, block + n);
    fclose(file);
    return true;
}

LESoundBackendSound* LESoundBackendCreateSound(const char* path, std::string* whyNot)
{
    if (!mixer.open || !path) {
        if (whyNot) *whyNot = "sound is off";
        return nullptr;
    }
    std::vector<unsigned char> bytes;
    if (!ReadSoundFile(path, &bytes, whyNot)) return nullptr;
    return LESoundBackendDecode(bytes.data(), bytes.size(), whyNot);
}

static void SayDamage(const char* damage, std::string* whyNot)
{
    if (whyNot) *whyNot = std::string("not a sound the game can play (") + damage + ")";
}

bool LESoundBackendCheck(const char* path, std::string* whyNot)
{
    if (!mixer.open || !path) {
        if (whyNot) *whyNot = "sound is off";
        return false;
    }
    std::vector<unsigned char> bytes;
    if (!ReadSoundFile(path, &bytes, whyNot)) return false;
    // An MP3 file (a small effect) says whether it plays only by being decoded;
    // a WAV file that passes the check is one SDL reads and plays.
    if (LESoundFileIsMp3(bytes.data(), bytes.size())) {
        LESoundBackendSound* sound = LESoundBackendDecode(bytes.data(), bytes.size(), whyNot);
        LESoundBackendReleaseSound(sound);
        return sound != nullptr;
    }
    if (const char* damage = LESoundFileDamage(bytes.data(), bytes.size())) {
        SayDamage(damage, whyNot);
        return false;
    }
    return true;
}

LESoundBackendSound* LESoundBackendDecode(const unsigned char* file, size_t size, std::string* whyNot)
{
    if (!mixer.open) {
        if (whyNot) *whyNot = "sound is off";
        return nullptr;
    }
    if (const char* damage = LESoundFileDamage(file, size)) {
        SayDamage(damage, whyNot);
        return nullptr;
    }
    // Mix_LoadWAV_RW reads WAV directly and hands other formats (MP3) to the
    // decoders started by Mix_Init, decoding the whole file into one chunk. The
    // memory is closed here rather than by the mixer, which forgets to on some
    // of its refusals of a damaged file.
    SDL_RWops* memory = SDL_RWFromConstMem(file, int(size));
    Mix_Chunk* chunk = memory ? Mix_LoadWAV_RW(memory, 0) : nullptr;
    if (memory) SDL_RWclose(memory);
    if (!chunk) {
        SayDamage(Mix_GetError(), whyNot);
        return nullptr;
    }
    return new LESoundBackendSound{chunk};
}

void LESoundBackendReleaseSound(LESoundBackendSound* sound)
{
    if (!sound) return;
    for (int index = 0; index < LE_SOUND_MIXER_CHANNELS; ++index) {
        MixerChannel& channel = mixer.channels[index];
        if (channel.sound != sound) continue;
        if (channel.use == ChannelUse::Started) Mix_HaltChannel(index);
        Forget(channel);
    }
    // Mix_FreeChunk also halts any channel still mixing the chunk.
    Mix_FreeChunk(sound->chunk);
    delete sound;
}

LESoundVoice LESoundBackendPlay(LESoundBackendSound* sound, bool paused)
{
    if (!mixer.open || !sound) return {};
    for (int index = 0; index < mixer.channelCount; ++index) {
        if (!IsFree(index)) continue;
        MixerChannel& channel = mixer.channels[index];
        Forget(channel);
        channel.sound = sound;
        channel.use = ChannelUse::Held;
        // SDL_mixer keeps a channel's volume across plays; every play starts full.
        Mix_Volume(index, MIX_MAX_VOLUME);
        if (!paused) Start(index, channel);
        if (channel.use == ChannelUse::Idle) return {};
        return {index, channel.serial};
    }
    return {};
}

void LESoundBackendSetPaused(LESoundVoice voice, bool paused)
{
    MixerChannel* channel = Owned(voice);
    if (!channel) return;
    if (channel->use == ChannelUse::Held) {
        if (!paused) Start(voice.channel, *channel);
    } else if (paused) {
        Mix_Pause(voice.channel);
    } else {
        Mix_Resume(voice.channel);
    }
}

void LESoundBackendSetLoopCount(LESoundVoice voice, int loopCount)
{
    MixerChannel* channel = Owned(voice);
    if (!channel) return;
    const int loops = loopCount < 0 ? -1 : loopCount;
    if (channel->loops == loops) return;
    channel->loops = loops;
    if (channel->use != ChannelUse::Started) return;
    // SDL_mixer takes the loop count only when a play starts.
    const bool wasPaused = Mix_Paused(voice.channel) != 0;
    Start(voice.channel, *channel);
    if (wasPaused && channel->use == ChannelUse::Started) Mix_Pause(voice.channel);
}

void LESoundBackendSetVolume(LESoundVoice voice, float volume)
{
    if (!Owned(voice)) return;
    const float level = volume >= 0.0f ? std::min(volume, 1.0f) : 0.0f;  // NaN counts as 0
    Mix_Volume(voice.channel, int(std::lround(level * MIX_MAX_VOLUME)));
}

void LESoundBackendStop(LESoundVoice voice)
{
    MixerChannel* channel = Owned(voice);
    if (!channel) return;
    if (channel->use == ChannelUse::Started) Mix_HaltChannel(voice.channel);
    Forget(*channel);
}

bool LESoundBackendIsPlaying(LESoundVoice voice)
{
    // Mix_Playing counts a paused channel as playing, as a held voice is here.
    return Owned(voice) != nullptr;
}
