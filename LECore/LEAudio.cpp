// LEAudio: the sound cache, the channel-record pool and group volumes (see LEAudio.h).
// Owns the module object below and the two volume settings. The free list is a
// stack at its back: AudioPlay takes the last record, AudioStop and AudioUpdate
// put records back at the end. Handles carry the record's generation, which goes
// up each time the record returns to the free list, so a record can only go back
// once per play and a spent handle never reaches the record's next user.
#include "LEAudio.h"

#include <algorithm>  // Required for: std::find, std::min
#include <cstdio>     // Required for: fprintf
#include <map>
#include <vector>

#include "LELoadReport.h"
#include "LESystem.h"

float musicVolume = 1.0f;
float sfxVolume = 1.0f;

static struct {
    bool soundOn = false;  // the back end opened; every call is a no-op without it
    uint32_t loadedCount = 0;
    uint32_t poolSize = 0;
    SoundChannelRecord pool[SOUND_POOL_SIZE];
    std::vector<SoundChannelRecord*> freeList;    // records ready for play; taken from the back
    std::vector<SoundChannelRecord*> activeList;  // records handed out, in order of play
    std::map<std::string, SoundAsset*> cache;     // by file path
} audio;

// Declared after the module object so that it is destroyed first: closes the back
// end at process exit when start-up's owner did not.
static struct AudioExitCleanup {
    ~AudioExitCleanup() { LEAudioShutdown(); }
} audioExitCleanup;

// A spent handle reads this record, never the one its slot now serves.
static const SoundChannelRecord detachedRecord;

struct LEAudioAccess {
    static SoundChannel HandleFor(const SoundChannelRecord& record)
    {
        return SoundChannel(int(&record - audio.pool), record.generation);
    }
};

const SoundChannelRecord* SoundChannel::Record() const
{
    if (slot < 0 || slot >= int(SOUND_POOL_SIZE)) return nullptr;
    const SoundChannelRecord& record = audio.pool[slot];
    return record.active && record.generation == generation ? &record : nullptr;
}

const SoundChannelRecord* SoundChannel::operator->() const
{
    const SoundChannelRecord* record = Record();
    return record ? record : &detachedRecord;
}

// The record a live handle holds, writable; null for a null or spent handle.
static SoundChannelRecord* Held(SoundChannel channel)
{
    return channel.Record() ? &audio.pool[channel.Slot()] : nullptr;
}

// Back to the free list; every handle to the play it served is spent from here on.
static void Recycle(SoundChannelRecord& record)
{
    record.active = false;
    ++record.generation;
    audio.freeList.push_back(&record);
}

// Whether the pointer is a live cache entry. Checked before a SoundAsset is read,
// so an asset that was already unloaded is ignored rather than dereferenced.
static bool IsCached(const SoundAsset* sound)
{
    if (!sound) return false;
    for (const auto& entry : audio.cache) {
        if (entry.second == sound) return true;
    }
    return false;
}

// The pool starts with every record free in index order, so the first plays get
// the highest indices.
static void BuildPool()
{
    audio.freeList.clear();
    audio.activeList.clear();
    for (SoundChannelRecord& record : audio.pool) {
        const uint32_t generation = record.generation + 1;  // spends handles of an earlier run
        record = SoundChannelRecord{};
        record.generation = generation;
        audio.freeList.push_back(&record);
    }
    audio.poolSize = SOUND_POOL_SIZE;
}

bool LEAudioStart()
{
    if (audio.soundOn) return true;
    std::string whyNot;
    if (!LESoundBackendStart(LE_SOUND_MIXER_CHANNELS, &whyNot)) {
        if (whyNot.empty()) whyNot = "no audio device";
        fprintf(stderr, "Sound is off: %s (the game runs silently).\n", whyNot.c_str());
        return false;
    }
    BuildPool();
    audio.soundOn = true;
    return true;
}

void LEAudioShutdown()
{
    if (!audio.soundOn) return;
    for (auto& entry : audio.cache) {
        LESoundBackendReleaseSound(entry.second->sound);
        delete entry.second;
    }
    audio.cache.clear();
    audio.loadedCount = 0;
    for (SoundChannelRecord* record : audio.activeList) {
        record->active = false;
        ++record->generation;
    }
    audio.activeList.clear();
    audio.freeList.clear();
    audio.poolSize = 0;
    LESoundBackendShutdown();
    audio.soundOn = false;
}

bool LEAudioIsOn() { return audio.soundOn; }
uint32_t LEAudioLoadedCount() { return audio.loadedCount; }
uint32_t LEAudioPoolSize() { return audio.poolSize; }
uint32_t LEAudioFreeCount() { return uint32_t(audio.freeList.size()); }
uint32_t LEAudioActiveCount() { return uint32_t(audio.activeList.size()); }

SoundAsset* AudioLoad(const char* path)
{
    const LEFrameLoadScope loading;
    if (!audio.soundOn || !path) return nullptr;
    const auto cached = audio.cache.find(path);
    if (cached != audio.cache.end()) return cached->second;

    std::string whyNot;
    LESoundBackendSound* decoded = LESoundBackendCreateSound(path, &whyNot);
    if (!decoded) {
        LEReportLoadFailure("Cannot load the sound %s: %s", path, whyNot.c_str());
        return nullptr;
    }
    SoundAsset* sound = new SoundAsset{decoded, path};
    audio.cache.emplace(sound->path, sound);
    ++audio.loadedCount;
    return sound;
}

bool AudioCheck(const char* path)
{
    if (!audio.soundOn || !path) return false;
    std::string whyNot;
    if (!LESoundBackendCheck(path, &whyNot)) {
        LEReportLoadFailure("Cannot load the sound %s: %s", path, whyNot.c_str());
        return false;
    }
    return true;
}

void AudioUnload(SoundAsset* sound)
{
    if (!audio.soundOn || !IsCached(sound)) return;
    // Its plays stop with it; their records come back at the next AudioUpdate.
    LESoundBackendReleaseSound(sound->sound);
    audio.cache.erase(sound->path);
    --audio.loadedCount;
    delete sound;
}

// Takes the free list's last record for one play. The back end starts it held and
// it is released only once the pause state and loop count are in place, so no
// sample is mixed before the play is set up.
static float ClampVolume(float volume) { return volume >= 0.0f ? std::min(volume, 1.0f) : 0.0f; }  // NaN is 0

// The player's volume for the group; a play in no group is at full volume.
static float GroupVolume(int32_t group)
{
    return group == SOUND_GROUP_MUSIC ? musicVolume : group == SOUND_GROUP_SFX ? sfxVolume : 1.0f;
}

static SoundChannel PlayOnFreeRecord(SoundAsset* sound, bool paused, int32_t group, int loopCount)
{
    if (!audio.soundOn || !IsCached(sound) || audio.freeList.empty()) return nullptr;
    SoundChannelRecord& record = *audio.freeList.back();
    audio.freeList.pop_back();
    audio.activeList.push_back(&record);
    record.active = true;
    record.group = group;
    record.volume = ClampVolume(GroupVolume(group));  // from its first sample on
    record.loop = false;
    record.paused = true;
    record.channel = LESoundBackendPlay(sound->sound, true);
    if (record.channel) {
        LESoundBackendSetVolume(record.channel, record.volume);
        record.loop = loopCount != 0;
        LESoundBackendSetLoopCount(record.channel, loopCount);
        record.paused = paused;
        LESoundBackendSetPaused(record.channel, paused);
    }
    return LEAudioAccess::HandleFor(record);
}

SoundChannel AudioPlay(SoundAsset* sound, bool paused, int32_t group)
{
    return PlayOnFreeRecord(sound, paused, group, 0);
}

SoundChannel AudioPlayLooped(SoundAsset* sound)
{
    return PlayOnFreeRecord(sound, false, SOUND_GROUP_MUSIC, -1);
}

void AudioStop(SoundChannel channel)
{
    // A spent handle lands here as null: its record is already free, or serves
    // another play, and must not enter the free list a second time.
    SoundChannelRecord* record = Held(channel);
    if (!record) return;
    LESoundBackendStop(record->channel);
    audio.activeList.erase(std::find(audio.activeList.begin(), audio.activeList.end(), record));
    Recycle(*record);
}

void AudioStopAll()
{
    while (!audio.activeList.empty()) {
        SoundChannelRecord* record = audio.activeList.back();
        audio.activeList.pop_back();
        LESoundBackendStop(record->channel);
        Recycle(*record);
    }
}

void AudioSetPaused(SoundChannel channel, bool paused)
{
    SoundChannelRecord* record = Held(channel);
    if (!record || !record->channel) return;
    record->paused = paused;
    LESoundBackendSetPaused(record->channel, paused);
}

bool AudioIsPlaying(SoundChannel channel)
{
    const SoundChannelRecord* record = Held(channel);
    return record && LESoundBackendIsPlaying(record->channel);
}

void AudioSetVolume(SoundChannel channel, float volume)
{
    SoundChannelRecord* record = Held(channel);
    if (!record || !record->channel) return;
    record->volume = ClampVolume(volume);
    LESoundBackendSetVolume(record->channel, record->volume);
}

void AudioSetGroupVolume(int32_t group, float volume)
{
    const float clamped = ClampVolume(volume);
    if (group == SOUND_GROUP_MUSIC) musicVolume = clamped;
    if (group == SOUND_GROUP_SFX) sfxVolume = clamped;
    if (!audio.soundOn || group == SOUND_GROUP_NONE) return;
    for (SoundChannelRecord* record : audio.activeList) {
        if (record->group != group || !record->channel) continue;
        record->volume = clamped;
        LESoundBackendSetVolume(record->channel, clamped);
    }
}

uint32_t AudioUpdate()
{
    if (!audio.soundOn) return 0;
    LESoundBackendUpdate();
    uint32_t freed = 0;
    size_t kept = 0;
    for (SoundChannelRecord* record : audio.activeList) {
        if (record->channel && LESoundBackendIsPlaying(record->channel)) {
            audio.activeList[kept++] = record;
        } else {
            Recycle(*record);
            ++freed;
        }
    }
    audio.activeList.resize(kept);
    return freed;
}
