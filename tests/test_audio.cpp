// Tests of the sound module (LEAudio) on its real SDL2_mixer back end. SDL's "disk"
// audio driver stands in for a sound card: it writes everything the mixer plays to
// a file, so a test can drive the channel pool and then read back what was heard.
// The tones are made here as WAV files; the MP3 is the game's own.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>

#include <unistd.h>

#include "LEAudio.h"
#include "TestEngine.h"

namespace {

constexpr int TONE_RATE = 44100;
// LEAudioStart asks for 16-bit stereo at 44.1 kHz; the disk driver writes exactly that.
constexpr int OUTPUT_SAMPLES_PER_SECOND = 44100 * 2;
// Far above rounding noise, far below the tones' peak of 16384.
constexpr int AUDIBLE = 1000;

std::string TempPath(const std::string& name)
{
    return testing::TempDir() + "eb_audio_" + std::to_string(getpid()) + "_" + name;
}

// A 16-bit mono PCM WAV file of a 440 Hz sine at half of full scale.
void WriteToneWav(const std::string& path, double seconds)
{
    struct [[gnu::packed]] {
        char riff[4] = {'R', 'I', 'F', 'F'};
        uint32_t size;
        char wave[8] = {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
        uint32_t formatSize = 16;
        uint16_t pcm = 1, channels = 1;
        uint32_t rate = TONE_RATE, bytesPerSecond = TONE_RATE * 2;
        uint16_t bytesPerFrame = 2, bits = 16;
        char data[4] = {'d', 'a', 't', 'a'};
        uint32_t dataSize;
    } header;
    std::vector<int16_t> samples(size_t(seconds * TONE_RATE));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = int16_t(std::lround(16384.0 * std::sin(6.283185307179586 * 440.0 * double(i) / TONE_RATE)));
    header.dataSize = uint32_t(samples.size() * 2);
    header.size = 36 + header.dataSize;
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(&header), sizeof header);
    file.write(reinterpret_cast<const char*>(samples.data()), std::streamsize(header.dataSize));
}

// How many samples are louder than `level`.
size_t CountAbove(const std::vector<int16_t>& samples, int level)
{
    return size_t(std::count_if(samples.begin(), samples.end(), [level](int16_t s) { return std::abs(int(s)) > level; }));
}

// Polls until done() holds. The limit only catches a back end that hangs; a slow
// machine just waits longer.
bool WaitFor(const std::function<bool()>& done)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done()) {
        if (std::chrono::steady_clock::now() > giveUp) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool WaitUntilEnded(SoundChannel channel)
{
    return WaitFor([&] { return !AudioIsPlaying(channel); });
}

// Sound on SDL's disk driver, with a long tone and a short blip on disk.
class AudioOnDiskDriver : public testing::Test {
protected:
    void SetUp() override
    {
        const std::string test = testing::UnitTest::GetInstance()->current_test_info()->name();
        outputPath = TempPath(test + "_output.raw");
        tonePath = TempPath(test + "_tone.wav");
        blipPath = TempPath(test + "_blip.wav");
        WriteToneWav(tonePath, TONE_SECONDS);
        WriteToneWav(blipPath, 0.02);
        StartDiskAudio(outputPath.c_str());
    }

    void TearDown() override
    {
        AudioSetGroupVolume(SOUND_GROUP_MUSIC, 1.0f);
        AudioSetGroupVolume(SOUND_GROUP_SFX, 1.0f);
        StopDiskAudio();
        for (const std::string& path : {outputPath, tonePath, blipPath}) std::remove(path.c_str());
    }

    // Closes the device, which writes out everything mixed so far, and reads the
    // samples as the mixer wrote them: native-endian signed 16-bit.
    std::vector<int16_t> StopAndReadOutput()
    {
        LEAudioShutdown();
        const std::string bytes = ReadFile(outputPath);
        std::vector<int16_t> samples(bytes.size() / 2);
        std::copy_n(bytes.data(), samples.size() * 2, reinterpret_cast<char*>(samples.data()));
        return samples;
    }

    // Lets the device write at least `seconds` more of output.
    bool LetOutputRun(double seconds)
    {
        std::error_code error;  // no file yet: size -1
        const auto size = [&] { return long(std::filesystem::file_size(outputPath, error)); };
        const long target = std::max(size(), 0L) + long(seconds * OUTPUT_SAMPLES_PER_SECOND * 2);
        return WaitFor([&] { return size() >= target; });
    }

    static constexpr double TONE_SECONDS = 0.25;
    std::string outputPath, tonePath, blipPath;
};

// ---------------------------------------------------------------------------
// The cache and the pool

TEST_F(AudioOnDiskDriver, LoadingTheSamePathTwiceGivesOneRecordAndAMissingFileNone)
{
    SoundAsset* first = AudioLoad(tonePath.c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(AudioLoad(tonePath.c_str()), first);
    EXPECT_EQ(LEAudioLoadedCount(), 1u);
    SoundAsset* other = AudioLoad(blipPath.c_str());
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other, first);
    EXPECT_EQ(LEAudioLoadedCount(), 2u);
    AudioUnload(first);
    EXPECT_EQ(LEAudioLoadedCount(), 1u);
    EXPECT_NE(AudioLoad(tonePath.c_str()), nullptr) << "an unloaded path loads afresh";
    EXPECT_EQ(LEAudioLoadedCount(), 2u);

    testing::internal::CaptureStderr();
    EXPECT_EQ(AudioLoad(TempPath("no_such_sound.wav").c_str()), nullptr);
    const std::string complaint = testing::internal::GetCapturedStderr();
    EXPECT_NE(complaint.find("no_such_sound.wav"), std::string::npos) << complaint;
    EXPECT_EQ(AudioLoad(nullptr), nullptr);
    EXPECT_EQ(LEAudioLoadedCount(), 2u);
    EXPECT_EQ(AudioPlay(nullptr, false, SOUND_GROUP_SFX), nullptr);
    EXPECT_EQ(LEAudioFreeCount(), SOUND_POOL_SIZE);
}

TEST_F(AudioOnDiskDriver, WithAllRecordsActiveTheNextPlayIsNullAndOneUpdateFreesThemAll)
{
    SoundAsset* blip = AudioLoad(blipPath.c_str());
    ASSERT_NE(blip, nullptr);
    EXPECT_EQ(LEAudioPoolSize(), SOUND_POOL_SIZE);
    std::vector<SoundChannel> plays;
    std::set<int> slots;
    for (uint32_t i = 0; i < SOUND_POOL_SIZE; ++i) {
        plays.push_back(AudioPlay(blip, false, SOUND_GROUP_SFX));
        ASSERT_TRUE(plays.back()) << "play " << i;
        slots.insert(plays.back().Slot());
    }
    EXPECT_EQ(slots.size(), size_t(SOUND_POOL_SIZE));
    EXPECT_EQ(LEAudioFreeCount(), 0u);
    EXPECT_EQ(AudioPlay(blip, false, SOUND_GROUP_SFX), nullptr);
    EXPECT_EQ(AudioPlayLooped(blip), nullptr);
    EXPECT_EQ(LEAudioActiveCount(), SOUND_POOL_SIZE);

    for (SoundChannel play : plays) ASSERT_TRUE(WaitUntilEnded(play));
    EXPECT_EQ(AudioUpdate(), SOUND_POOL_SIZE);
    EXPECT_EQ(LEAudioFreeCount(), SOUND_POOL_SIZE);
    EXPECT_EQ(LEAudioActiveCount(), 0u);
    for (SoundChannel play : plays) EXPECT_FALSE(play) << "a recycled play's handle is spent";
}

TEST_F(AudioOnDiskDriver, PlayingOrPausedRecordsAreNeverRecycled)
{
    SoundAsset* blip = AudioLoad(blipPath.c_str());
    ASSERT_NE(blip, nullptr);
    SoundChannel loop = AudioPlayLooped(blip);
    SoundChannel held = AudioPlay(blip, true, SOUND_GROUP_SFX);
    ASSERT_TRUE(loop && held);
    EXPECT_TRUE(loop->loop);
    EXPECT_FALSE(loop->paused);
    EXPECT_EQ(loop->group, SOUND_GROUP_MUSIC);

    // A one-shot of the same sound, started after the loop, ends no earlier than the
    // loop's first pass; each round therefore carries the loop past an end.
    for (int round = 0; round < 3; ++round) {
        SoundChannel once = AudioPlay(blip, false, SOUND_GROUP_NONE);
        ASSERT_TRUE(WaitUntilEnded(once));
        EXPECT_EQ(AudioUpdate(), 1u) << "only the one-shot is finished, round " << round;
        EXPECT_TRUE(loop) << "round " << round;
        EXPECT_TRUE(AudioIsPlaying(loop)) << "round " << round;
        EXPECT_TRUE(AudioIsPlaying(held)) << "a paused play still counts as playing";
    }
    EXPECT_EQ(LEAudioActiveCount(), 2u);

    AudioStop(loop);
    AudioStop(held);
    EXPECT_EQ(LEAudioFreeCount(), SOUND_POOL_SIZE);
}

// ---------------------------------------------------------------------------
// Group volumes

TEST_F(AudioOnDiskDriver, GroupVolumesAreClampedToTheUnitRange)
{
    SoundAsset* tone = AudioLoad(tonePath.c_str());
    ASSERT_NE(tone, nullptr);
    SoundChannel music = AudioPlay(tone, true, SOUND_GROUP_MUSIC);
    SoundChannel effect = AudioPlay(tone, true, SOUND_GROUP_SFX);
    SoundChannel ungrouped = AudioPlay(tone, true, SOUND_GROUP_NONE);

    AudioSetGroupVolume(SOUND_GROUP_MUSIC, 0.25f);
    EXPECT_FLOAT_EQ(music->volume, 0.25f);
    AudioSetGroupVolume(SOUND_GROUP_MUSIC, 1.5f);
    EXPECT_FLOAT_EQ(music->volume, 1.0f);
    AudioSetGroupVolume(SOUND_GROUP_SFX, -0.2f);
    EXPECT_FLOAT_EQ(effect->volume, 0.0f);
    EXPECT_FLOAT_EQ(music->volume, 1.0f) << "other groups keep their volume";

    AudioSetGroupVolume(SOUND_GROUP_NONE, 0.5f);
    EXPECT_FLOAT_EQ(ungrouped->volume, 1.0f) << "the ungrouped plays are never touched";

    // A later play starts at its group's volume, and the volume is the module's to keep.
    SoundChannel later = AudioPlay(tone, true, SOUND_GROUP_SFX);
    EXPECT_FLOAT_EQ(later->volume, 0.0f);
    EXPECT_FLOAT_EQ(sfxVolume, 0.0f);
    EXPECT_FLOAT_EQ(AudioPlay(tone, true, SOUND_GROUP_NONE)->volume, 1.0f);
}

// Measured: a tone played in either group at the group's volume of 100%, 50% and
// 0% comes out at full, half and no strength.
TEST_F(AudioOnDiskDriver, EveryPlayIsHeardAtItsGroupsVolume)
{
    for (int32_t group : {SOUND_GROUP_MUSIC, SOUND_GROUP_SFX}) {
        double full = 0.0;
        for (float volume : {1.0f, 0.5f, 0.0f}) {
            SCOPED_TRACE(testing::Message() << "group " << group << " at " << volume);
            LEAudioShutdown();
            std::remove(outputPath.c_str());
            ASSERT_TRUE(LEAudioStart());
            AudioSetGroupVolume(group, volume);
            ASSERT_TRUE(WaitUntilEnded(AudioPlay(AudioLoad(tonePath.c_str()), false, group)));
            const std::vector<int16_t> output = StopAndReadOutput();
            double sum = 0.0;
            for (int16_t s : output) sum += double(s) * double(s);
            // Over the tone's own length, whatever silence the driver wrote around it.
            const double rms = std::sqrt(sum / (TONE_SECONDS * OUTPUT_SAMPLES_PER_SECOND));
            if (volume == 1.0f) full = rms;
            EXPECT_NEAR(rms, full * volume, full * 0.1) << "full strength " << full;
            if (volume == 0.0f) {
                EXPECT_EQ(rms, 0.0) << "silent";
            }
        }
        AudioSetGroupVolume(group, 1.0f);
    }
}

// ---------------------------------------------------------------------------
// Spent handles

// However a play loses its record, its holder keeps a spent handle that cannot
// reach the play that comes next, nor hand a record back twice.
TEST_F(AudioOnDiskDriver, ASpentHandleCannotTouchTheNextPlayNorFreeARecordTwice)
{
    const struct {
        const char* what;
        bool sameRecord;  // the next play reuses the spent play's record
        std::function<SoundChannel(SoundAsset* blip)> spend;
    } cases[] = {
        // A button's click ends and AudioUpdate recycles its record, as a button's Unload would find it.
        {"recycled after it ended", true, [](SoundAsset* blip) {
             SoundChannel play = AudioPlay(blip, false, SOUND_GROUP_SFX);
             EXPECT_TRUE(WaitUntilEnded(play));
             EXPECT_EQ(AudioUpdate(), 1u);
             AudioStop(play);
             return play;
         }},
        {"stopped by its holder", true, [](SoundAsset* blip) {
             SoundChannel play = AudioPlay(blip, true, SOUND_GROUP_SFX);
             AudioStop(play);
             return play;
         }},
        // Ended but still active until the next AudioUpdate: the next play takes the
        // mixer channel it no longer needs.
        {"ended, its mixer channel taken", false, [](SoundAsset* blip) {
             SoundChannel play = AudioPlay(blip, false, SOUND_GROUP_SFX);
             EXPECT_TRUE(WaitUntilEnded(play));
             return play;
         }},
    };
    SoundAsset* blip = AudioLoad(blipPath.c_str());
    SoundAsset* song = AudioLoad(tonePath.c_str());
    ASSERT_TRUE(blip && song);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SoundChannel spent = c.spend(blip);
        SoundChannel music = AudioPlayLooped(song);
        ASSERT_TRUE(AudioIsPlaying(music));
        EXPECT_EQ(music.Slot() == spent.Slot(), c.sameRecord);
        EXPECT_FALSE(AudioIsPlaying(spent));
        AudioSetPaused(spent, true);
        AudioSetGroupVolume(SOUND_GROUP_SFX, 0.0f);
        AudioStop(spent);
        AudioStop(spent);
        if (c.sameRecord) {
            EXPECT_FALSE(spent);
            EXPECT_FLOAT_EQ(spent->volume, 1.0f);
            EXPECT_EQ(spent->group, SOUND_GROUP_NONE) << "a spent handle reads a detached record";
        }
        EXPECT_TRUE(AudioIsPlaying(music));
        EXPECT_FALSE(music->paused);
        EXPECT_FLOAT_EQ(music->volume, 1.0f);
        EXPECT_EQ(AudioUpdate(), 0u);

        // Were a record listed twice, one of these plays would share it with the music.
        EXPECT_EQ(LEAudioFreeCount(), SOUND_POOL_SIZE - 1);
        std::set<int> slots;
        for (uint32_t i = 1; i < SOUND_POOL_SIZE; ++i) slots.insert(AudioPlay(blip, true, SOUND_GROUP_SFX).Slot());
        EXPECT_EQ(slots.size(), size_t(SOUND_POOL_SIZE - 1));
        EXPECT_EQ(slots.count(-1) + slots.count(music.Slot()), 0u);
        EXPECT_EQ(AudioPlay(blip, true, SOUND_GROUP_SFX), nullptr);
        AudioStopAll();
        AudioSetGroupVolume(SOUND_GROUP_SFX, 1.0f);
    }
}

TEST_F(AudioOnDiskDriver, UnloadingASoundOrStoppingSoundEndsItsPlaysAndSpendsTheirHandles)
{
    SoundAsset* tone = AudioLoad(tonePath.c_str());
    ASSERT_NE(tone, nullptr);
    SoundChannel looped = AudioPlayLooped(tone);
    SoundChannel held = AudioPlay(tone, true, SOUND_GROUP_SFX);
    AudioUnload(tone);
    EXPECT_EQ(LEAudioLoadedCount(), 0u);
    EXPECT_FALSE(AudioIsPlaying(looped));
    EXPECT_FALSE(AudioIsPlaying(held));
    AudioSetPaused(held, false);  // the voice is gone; nothing may start
    EXPECT_EQ(AudioUpdate(), 2u);
    EXPECT_EQ(LEAudioFreeCount(), SOUND_POOL_SIZE);

    // Handles held across a shutdown are spent.
    SoundChannel music = AudioPlayLooped(AudioLoad(tonePath.c_str()));
    ASSERT_TRUE(music);
    LEAudioShutdown();
    EXPECT_FALSE(music);
    EXPECT_FALSE(AudioIsPlaying(music));
    AudioStop(music);
    AudioSetPaused(music, true);
    EXPECT_EQ(LEAudioFreeCount(), 0u);

    // A fresh start gives fresh records; the old handle stays spent.
    ASSERT_TRUE(LEAudioStart());
    EXPECT_FALSE(music);
    EXPECT_EQ(LEAudioFreeCount(), SOUND_POOL_SIZE);
}

// ---------------------------------------------------------------------------
// What reaches the output

TEST_F(AudioOnDiskDriver, OnlyPlaysThatAreAudibleReachTheOutput)
{
    const size_t tone = size_t(TONE_SECONDS * OUTPUT_SAMPLES_PER_SECOND);
    struct Case {
        const char* what;
        const char* path;        // null: the test's tone
        size_t audible;          // samples above AUDIBLE at least; 0: silence throughout
        std::function<void(SoundAsset*)> play;
    };
    const Case cases[] = {
        {"an unpaused tone", nullptr, tone / 2, [](SoundAsset* s) {
             ASSERT_TRUE(WaitUntilEnded(AudioPlay(s, false, SOUND_GROUP_SFX)));
         }},
        {"an MP3", EB_SOURCE_DIR "/Assets/Audio/SFX/sfx_hunter.mp3", size_t(0.1 * OUTPUT_SAMPLES_PER_SECOND),
         [](SoundAsset* s) { ASSERT_TRUE(WaitUntilEnded(AudioPlay(s, false, SOUND_GROUP_SFX))); }},
        {"a paused tone, resumed", nullptr, tone / 2, [this](SoundAsset* s) {
             SoundChannel play = AudioPlay(s, true, SOUND_GROUP_SFX);
             ASSERT_TRUE(LetOutputRun(TONE_SECONDS));
             AudioSetPaused(play, false);
             EXPECT_FALSE(play->paused);
             ASSERT_TRUE(WaitUntilEnded(play));
         }},
        {"a paused tone", nullptr, 0, [this](SoundAsset* s) {
             SoundChannel play = AudioPlay(s, true, SOUND_GROUP_SFX);
             ASSERT_TRUE(LetOutputRun(3 * TONE_SECONDS)) << "the disk driver stopped writing";
             EXPECT_TRUE(AudioIsPlaying(play));
         }},
        {"a stopped tone, even when its holder resumes it", nullptr, 0, [this](SoundAsset* s) {
             SoundChannel play = AudioPlay(s, true, SOUND_GROUP_SFX);
             AudioStop(play);
             AudioSetPaused(play, false);
             ASSERT_TRUE(LetOutputRun(3 * TONE_SECONDS)) << "the disk driver stopped writing";
         }},
        {"a tone in a group at zero volume", nullptr, 0, [this](SoundAsset* s) {
             SoundChannel play = AudioPlay(s, true, SOUND_GROUP_SFX);
             AudioSetGroupVolume(SOUND_GROUP_SFX, -0.2f);
             AudioSetPaused(play, false);
             ASSERT_TRUE(WaitUntilEnded(play));
             ASSERT_TRUE(LetOutputRun(3 * TONE_SECONDS)) << "the disk driver stopped writing";
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LEAudioShutdown();
        std::remove(outputPath.c_str());
        ASSERT_TRUE(LEAudioStart());
        SoundAsset* sound = AudioLoad(c.path ? c.path : tonePath.c_str());
        ASSERT_NE(sound, nullptr);
        c.play(sound);
        const std::vector<int16_t> output = StopAndReadOutput();
        if (c.audible > 0) {
            EXPECT_GT(CountAbove(output, AUDIBLE), c.audible) << "of " << output.size() << " samples written";
        } else {
            EXPECT_GE(output.size(), size_t(3 * TONE_SECONDS * OUTPUT_SAMPLES_PER_SECOND));
            EXPECT_EQ(CountAbove(output, 0), 0u) << "silence throughout";
        }
    }
}

TEST_F(AudioOnDiskDriver, SoundStartsAndStopsWithoutTouchingTheVideoSubsystem)
{
    LEAudioShutdown();
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    EXPECT_TRUE(LEAudioStart());
    LEAudioShutdown();
    EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "stopping sound must leave the window's subsystem up";
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    unsetenv("SDL_VIDEODRIVER");
}

// ---------------------------------------------------------------------------
// No audio device

TEST(AudioWithoutDevice, SaysOnceThatSoundIsOffAndEveryCallIsASafeNoOp)
{
    const std::string tonePath = TempPath("silent_tone.wav");
    WriteToneWav(tonePath, 0.05);
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);

    testing::internal::CaptureStderr();
    const bool started = LEAudioStart();
    const std::string said = testing::internal::GetCapturedStderr();
    unsetenv("SDL_AUDIODRIVER");
    EXPECT_FALSE(started);
    EXPECT_FALSE(LEAudioIsOn());
    EXPECT_EQ(said.rfind("Sound is off: ", 0), 0u) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;

    EXPECT_EQ(AudioLoad(tonePath.c_str()), nullptr);
    EXPECT_EQ(LEAudioLoadedCount(), 0u);
    SoundAsset notLoaded{nullptr, tonePath};  // never handed out by AudioLoad
    EXPECT_EQ(AudioPlay(&notLoaded, false, SOUND_GROUP_SFX), nullptr);
    EXPECT_EQ(AudioPlay(nullptr, true, SOUND_GROUP_MUSIC), nullptr);
    EXPECT_EQ(AudioPlayLooped(&notLoaded), nullptr);
    SoundChannel none;
    AudioStop(none);
    AudioSetPaused(none, false);
    EXPECT_FALSE(AudioIsPlaying(none));
    EXPECT_EQ(none->group, SOUND_GROUP_NONE);
    AudioSetGroupVolume(SOUND_GROUP_MUSIC, 0.5f);
    EXPECT_FLOAT_EQ(musicVolume, 0.5f) << "the player's setting holds with sound off too";
    AudioSetGroupVolume(SOUND_GROUP_MUSIC, 1.0f);
    EXPECT_EQ(AudioUpdate(), 0u);
    AudioUnload(&notLoaded);
    AudioUnload(nullptr);
    EXPECT_EQ(LEAudioPoolSize(), 0u);
    EXPECT_EQ(LEAudioFreeCount(), 0u);
    EXPECT_EQ(LEAudioActiveCount(), 0u);
    LEAudioShutdown();
    std::remove(tonePath.c_str());
}

}  // namespace
