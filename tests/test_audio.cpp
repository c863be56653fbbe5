// Tests of the sound module (LEAudio) on its real SDL2_mixer back end. SDL's "disk"
// audio driver stands in for a sound card: it writes everything the mixer plays to
// a file, so a test can drive the channel pool and then read back what was heard.
// The sounds are made here: sine tones written as WAV files, and one short MP3.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>  // Required for: SDL_InitSubSystem, SDL_WasInit (video must survive sound)

#include <algorithm>   // Required for: std::count, std::max
#include <chrono>      // Required for: polling the back end
#include <cmath>       // Required for: std::sin, std::lround
#include <cstdint>
#include <cstdio>      // Required for: std::remove
#include <cstdlib>     // Required for: setenv, unsetenv, std::abs
#include <cstring>     // Required for: std::memcpy
#include <fstream>
#include <functional>
#include <iterator>    // Required for: std::istreambuf_iterator
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>  // Required for: stat (size of the disk driver's output)
#include <unistd.h>    // Required for: getpid

#include "LEAudio.h"

namespace {

// A 440 Hz sine of 0.15 s at half of full scale, encoded with LAME 3.100
// (`lame -b 32 -m m`, which resamples it to 22.05 kHz mono).
const unsigned char TONE_MP3[] = {
    0xff, 0xf3, 0x40, 0xc4, 0x00, 0x14, 0x50, 0x66, 0x9c, 0x1f, 0x58, 0x18, 0x00, 0x76, 0x49, 0x6e,
    0xc1, 0x9d, 0xb3, 0xb6, 0x76, 0xce, 0xd9, 0xdb, 0x5f, 0x9f, 0x88, 0x33, 0x85, 0x03, 0x2f, 0xf8,
    0x04, 0x26, 0x32, 0x99, 0x46, 0x06, 0x1a, 0x61, 0xb5, 0xf8, 0x7e, 0x59, 0x49, 0x49, 0x18, 0x96,
    0x52, 0x52, 0x02, 0x00, 0xf8, 0x3e, 0x0f, 0x87, 0xf0, 0x43, 0x97, 0x07, 0xf9, 0x47, 0x4e, 0x74,
    0xfb, 0xba, 0x7d, 0xdd, 0x3e, 0xe7, 0x4a, 0x02, 0x61, 0xfc, 0x98, 0x21, 0xc0, 0x67, 0xfb, 0xba,
    0x72, 0xe0, 0xf8, 0x20, 0x08, 0x02, 0x00, 0x80, 0x0c, 0x1f, 0x07, 0xf0, 0x41, 0xda, 0x55, 0x6c,
    0x05, 0xa0, 0x83, 0x0c, 0x30, 0xc2, 0x01, 0x40, 0xff, 0xf3, 0x42, 0xc4, 0x09, 0x16, 0xb9, 0x16,
    0xc1, 0x97, 0x9a, 0x80, 0x02, 0x00, 0x34, 0xa5, 0x8d, 0xa5, 0x65, 0xc9, 0x90, 0x97, 0x28, 0x51,
    0xcd, 0x20, 0x28, 0x43, 0xe4, 0x0c, 0x98, 0x0f, 0x14, 0x80, 0x61, 0xf4, 0x4f, 0x61, 0xbd, 0x14,
    0xec, 0x88, 0xe4, 0x4a, 0x22, 0x15, 0xfc, 0x87, 0x0e, 0x70, 0xe7, 0x7e, 0x43, 0x47, 0x34, 0x65,
    0x49, 0xaf, 0xf2, 0x2c, 0x40, 0x8c, 0x4b, 0xa4, 0xcf, 0xfe, 0x64, 0x5e, 0x2f, 0x22, 0x5d, 0x2e,
    0x9e, 0xfc, 0xb0, 0x54, 0x15, 0x11, 0x05, 0x7f, 0xe0, 0xa8, 0x88, 0x2a, 0x0a, 0x88, 0x82, 0xa7,
    0x7f, 0xfc, 0xa8, 0x88, 0x2a, 0x1a, 0x2c, 0x96, 0xab, 0x29, 0x80, 0x18, 0x00, 0x48, 0x10, 0x00,
    0x70, 0xff, 0xf3, 0x40, 0xc4, 0x0a, 0x16, 0x78, 0x5a, 0x24, 0x01, 0xdf, 0x00, 0x00, 0xb0, 0x0a,
    0x86, 0x06, 0xc8, 0x1e, 0x86, 0x07, 0xb8, 0x9e, 0x86, 0x0e, 0xe8, 0x79, 0x46, 0x1f, 0x78, 0x32,
    0x06, 0x17, 0xb8, 0xe8, 0x06, 0x53, 0x89, 0x1c, 0x07, 0xd4, 0x8a, 0xb8, 0x66, 0x56, 0xc1, 0x08,
    0xa0, 0xe1, 0xce, 0x0c, 0x09, 0x90, 0x1f, 0x8c, 0x10, 0xd0, 0x4d, 0x8c, 0x0a, 0x10, 0x0b, 0x4c,
    0x06, 0xa0, 0x16, 0x4c, 0x03, 0x30, 0x0e, 0x0c, 0x00, 0x30, 0x06, 0x40, 0x40, 0x1c, 0xce, 0xdb,
    0xfe, 0xff, 0xff, 0xff, 0xff, 0x47, 0xff, 0xfd, 0x7f, 0xff, 0xff, 0xfd, 0x3f, 0xd7, 0xce, 0x25,
    0x91, 0x22, 0x08, 0x63, 0x02, 0xf0, 0x4d, 0xb0, 0x20, 0xff, 0xf3, 0x42, 0xc4, 0x0b, 0x0d, 0x60,
    0x52, 0x24, 0x00, 0x7f, 0xf8, 0x24, 0x03, 0x20, 0x10, 0x01, 0x8c, 0x01, 0xb0, 0x03, 0x8c, 0x07,
    0x00, 0x15, 0xcf, 0xa4, 0x44, 0xa9, 0x0e, 0x44, 0x15, 0x07, 0x1b, 0x85, 0x83, 0x29, 0xc4, 0xd5,
    0x9f, 0xb9, 0x5d, 0xc6, 0xd9, 0xfe, 0xef, 0x7f, 0xd9, 0xff, 0xfc, 0xef, 0xfe, 0x8f, 0xff, 0xf9,
    0x55, 0xb6, 0x71, 0x2a, 0x48, 0x0e, 0xa6, 0x06, 0xc8, 0x9a, 0x40, 0x10, 0x05, 0x8c, 0x00, 0x00,
    0x01, 0xcc, 0x01, 0xc0, 0x04, 0xcc, 0x06, 0xf0, 0x18, 0x8f, 0x9d, 0xb5, 0x3e, 0xce, 0x42, 0x1a,
    0x05, 0x1b, 0x44, 0x83, 0x49, 0xc2, 0xd5, 0xe0, 0x49, 0x45, 0xd6, 0x7f, 0xef, 0xd5, 0xd7, 0xff,
    0xff, 0xd9, 0xff, 0xf3, 0x40, 0xc4, 0x31, 0x0e, 0x50, 0x52, 0x24, 0x00, 0x7f, 0xf8, 0x24, 0xff,
    0xff, 0xfe, 0xef, 0x77, 0xf5, 0x7e, 0xfa, 0x55, 0x4c, 0x76, 0xa4, 0x00, 0x00, 0x18, 0xc0, 0x00,
    0x00, 0x38, 0xc0, 0x2c, 0x00, 0x58, 0xc0, 0x45, 0x02, 0x44, 0xc0, 0xa4, 0x0f, 0xbc, 0xc0, 0x71,
    0x0a, 0xcc, 0xc3, 0xd1, 0x0c, 0x34, 0xc4, 0xba, 0x1a, 0xd8, 0xc7, 0x4a, 0x0a, 0xb0, 0xf0, 0x1e,
    0x3a, 0xe0, 0xc7, 0x75, 0x0e, 0xa4, 0xc1, 0x5a, 0x09, 0xa0, 0xc1, 0xa2, 0x04, 0x60, 0xc1, 0x20,
    0x03, 0x20, 0xc0, 0x0f, 0x01, 0xcc, 0x30, 0x04, 0x21, 0x40, 0x02, 0x45, 0x80, 0x43, 0x30, 0x02,
    0x80, 0x00, 0x75, 0x3f, 0xff, 0xff, 0xff, 0xfe, 0xd5, 0x72, 0xff, 0xf3, 0x42, 0xc4, 0x52, 0x14,
    0x20, 0x5a, 0x28, 0x01, 0x5f, 0x00, 0x00, 0x02, 0x09, 0x02, 0xd1, 0x70, 0xb4, 0x6c, 0x36, 0x1b,
    0x0b, 0x80, 0x80, 0x0d, 0xb3, 0xc6, 0x22, 0x10, 0x73, 0x67, 0xc3, 0x21, 0x64, 0x55, 0xce, 0xb9,
    0xad, 0xec, 0x89, 0x1b, 0x46, 0xc1, 0x2f, 0x27, 0xc5, 0xf4, 0xad, 0x9c, 0xe0, 0x64, 0x80, 0x08,
    0xa8, 0x74, 0xe0, 0x64, 0x11, 0x80, 0x72, 0x10, 0x22, 0x1b, 0x8c, 0xb8, 0xb2, 0xca, 0xe0, 0x00,
    0x14, 0x33, 0xe0, 0x0a, 0x0d, 0xe2, 0x77, 0x2f, 0x13, 0x87, 0xc6, 0x38, 0x3e, 0x61, 0xcb, 0x15,
    0xb7, 0xc6, 0x50, 0x88, 0x0b, 0x90, 0x88, 0x2c, 0x61, 0x86, 0x5d, 0x36, 0x10, 0x94, 0x6f, 0x7f,
    0x1c, 0x05, 0x32, 0xff, 0xf3, 0x40, 0xc4, 0x5d, 0x25, 0x3a, 0x5e, 0xd6, 0x5f, 0x98, 0xa0, 0x02,
    0xb9, 0x99, 0x7c, 0xf9, 0x17, 0x16, 0x68, 0xb8, 0x46, 0xb1, 0x01, 0x28, 0x0e, 0x71, 0x97, 0xfd,
    0x24, 0x0f, 0x98, 0x1a, 0x17, 0x0d, 0x26, 0x83, 0x9c, 0x4d, 0x90, 0x22, 0xb1, 0x0d, 0x48, 0x99,
    0x2a, 0x94, 0x7f, 0xfe, 0xb7, 0xa7, 0x4f, 0x75, 0x72, 0x74, 0xb0, 0x5d, 0x40, 0xbc, 0xa2, 0xf2,
    0x66, 0x46, 0xc6, 0x29, 0x18, 0xff, 0xff, 0xd0, 0x1a, 0x72, 0x06, 0x44, 0x5d, 0xe4, 0x52, 0x83,
    0xd9, 0x4b, 0x2d, 0x59, 0x46, 0x36, 0x1c, 0x5c, 0x97, 0x25, 0xe6, 0x30, 0x81, 0x0d, 0xa1, 0xf6,
    0xb3, 0x20, 0x52, 0xa2, 0xe5, 0x36, 0xad, 0x29, 0x41, 0x98, 0x94, 0xff, 0xf3, 0x42, 0xc4, 0x23,
    0x13, 0x98, 0xb6, 0x48, 0x0f, 0xd8, 0x30, 0x00, 0x5b, 0x7c, 0x95, 0x3f, 0xc8, 0x83, 0x00, 0x82,
    0x92, 0x79, 0x99, 0xff, 0xff, 0xe4, 0x89, 0x10, 0x28, 0x2a, 0xe5, 0x9d, 0x12, 0x9d, 0x50, 0x35,
    0xcb, 0x1e, 0x2c, 0xff, 0x95, 0x3a, 0x8f, 0xfe, 0x5b, 0xfc, 0x4b, 0xee, 0xfe, 0xa3, 0xdf, 0xd6,
    0x77, 0xff, 0xc4, 0x55, 0x4c, 0x41, 0x4d, 0x45, 0x33, 0x2e, 0x31, 0x30, 0x30, 0x55, 0x55, 0x55,
    0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55,
    0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55,
    0x55, 0x55, 0x55, 0x55,
};

constexpr double TWO_PI = 6.283185307179586;
constexpr int TONE_RATE = 44100;
// LEAudioStart asks for 16-bit stereo at 44.1 kHz; the disk driver writes exactly that.
constexpr int OUTPUT_BYTES_PER_SECOND = 44100 * 2 * 2;
// Far above rounding noise, far below the tones' peak of 16384.
constexpr int AUDIBLE = 1000;

std::string TempPath(const std::string& name)
{
    return testing::TempDir() + "eb_audio_" + std::to_string(getpid()) + "_" + name;
}

void PutLittleEndian(std::string& bytes, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i) bytes.push_back(char((value >> (8 * i)) & 0xFF));
}

// A 16-bit mono PCM WAV file of a 440 Hz sine at half of full scale.
void WriteToneWav(const std::string& path, double seconds)
{
    const uint32_t frames = uint32_t(seconds * TONE_RATE);
    std::string bytes = "RIFF";
    PutLittleEndian(bytes, 36 + frames * 2, 4);
    bytes += "WAVEfmt ";
    PutLittleEndian(bytes, 16, 4);            // format chunk size
    PutLittleEndian(bytes, 1, 2);             // PCM
    PutLittleEndian(bytes, 1, 2);             // mono
    PutLittleEndian(bytes, TONE_RATE, 4);
    PutLittleEndian(bytes, TONE_RATE * 2, 4); // bytes per second
    PutLittleEndian(bytes, 2, 2);             // bytes per frame
    PutLittleEndian(bytes, 16, 2);            // bits per sample
    bytes += "data";
    PutLittleEndian(bytes, frames * 2, 4);
    for (uint32_t i = 0; i < frames; ++i) {
        const long sample = std::lround(16384.0 * std::sin(TWO_PI * 440.0 * i / TONE_RATE));
        PutLittleEndian(bytes, uint32_t(uint16_t(int16_t(sample))), 2);
    }
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

void WriteBytes(const std::string& path, const unsigned char* data, size_t size)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), std::streamsize(size));
}

long FileSize(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? long(info.st_size) : 0;
}

// Samples as the mixer wrote them: native-endian signed 16-bit.
std::vector<int16_t> ReadSamples(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

size_t CountAudible(const std::vector<int16_t>& samples)
{
    size_t count = 0;
    for (int16_t sample : samples) count += std::abs(int(sample)) > AUDIBLE;
    return count;
}

int Loudest(const std::vector<int16_t>& samples)
{
    int loudest = 0;
    for (int16_t sample : samples) loudest = std::max(loudest, std::abs(int(sample)));
    return loudest;
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

// Sound on SDL's disk driver, with a long tone, a short blip and an MP3 on disk.
class AudioOnDiskDriver : public testing::Test {
protected:
    void SetUp() override
    {
        const std::string test = testing::UnitTest::GetInstance()->current_test_info()->name();
        outputPath = TempPath(test + "_output.raw");
        tonePath = TempPath(test + "_tone.wav");
        blipPath = TempPath(test + "_blip.wav");
        mp3Path = TempPath(test + "_tone.mp3");
        WriteToneWav(tonePath, TONE_SECONDS);
        WriteToneWav(blipPath, 0.02);
        WriteBytes(mp3Path, TONE_MP3, sizeof TONE_MP3);
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", outputPath.c_str(), 1);
        ASSERT_TRUE(LEAudioStart()) << "SDL's disk audio driver should always open";
    }

    void TearDown() override
    {
        LEAudioShutdown();
        for (const std::string& path : {outputPath, tonePath, blipPath, mp3Path}) std::remove(path.c_str());
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
    }

    // Closes the device, which writes out everything mixed so far, and reads it.
    std::vector<int16_t> StopAndReadOutput()
    {
        LEAudioShutdown();
        return ReadSamples(outputPath);
    }

    // Lets the device write at least `seconds` more of output.
    bool LetOutputRun(double seconds)
    {
        const long target = FileSize(outputPath) + long(seconds * OUTPUT_BYTES_PER_SECOND);
        return WaitFor([&] { return FileSize(outputPath) >= target; });
    }

    static constexpr double TONE_SECONDS = 0.25;
    std::string outputPath, tonePath, blipPath, mp3Path;
};

// ---------------------------------------------------------------------------
// The cache

TEST_F(AudioOnDiskDriver, LoadingTheSamePathTwiceGivesOneRecordCountedOnce)
{
    SoundAsset* first = AudioLoad(tonePath.c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(AudioLoad(tonePath.c_str()), first);
    EXPECT_EQ(LEAudioLoadedCount(), 1u);
    EXPECT_EQ(first->path, tonePath);

    SoundAsset* other = AudioLoad(blipPath.c_str());
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other, first);
    EXPECT_EQ(LEAudioLoadedCount(), 2u);

    AudioUnload(first);
    EXPECT_EQ(LEAudioLoadedCount(), 1u);
    EXPECT_NE(AudioLoad(tonePath.c_str()), nullptr) << "an unloaded path loads afresh";
    EXPECT_EQ(LEAudioLoadedCount(), 2u);
}

TEST_F(AudioOnDiskDriver, AMissingFileLoadsAsNullAndIsNotCounted)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(AudioLoad(TempPath("no_such_sound.wav").c_str()), nullptr);
    const std::string complaint = testing::internal::GetCapturedStderr();
    EXPECT_NE(complaint.find("no_such_sound.wav"), std::string::npos) << complaint;
    EXPECT_EQ(AudioLoad(nullptr), nullptr);
    EXPECT_EQ(LEAudioLoadedCount(), 0u);
    EXPECT_EQ(AudioPlay(nullptr, false, SOUND_GROUP_SFX), nullptr);
    EXPECT_EQ(LEAudioFreeCount(), SOUND_POOL_SIZE);
}

// ---------------------------------------------------------------------------
// The pool and its lists

TEST_F(AudioOnDiskDriver, TheFreeListIsAStackAtItsBack)
{
    SoundAsset* blip = AudioLoad(blipPath.c_str());
    ASSERT_NE(blip, nullptr);
    EXPECT_EQ(LEAudioPoolSize(), SOUND_POOL_SIZE);

    // Filled in index order, so the first plays get the highest records.
    SoundChannel first = AudioPlay(blip, true, SOUND_GROUP_SFX);
    SoundChannel second = AudioPlay(blip, true, SOUND_GROUP_SFX);
    EXPECT_EQ(first.Slot(), 99);
    EXPECT_EQ(second.Slot(), 98);
    EXPECT_EQ(LEAudioActiveCount(), 2u);
    EXPECT_EQ(LEAudioFreeCount(), 98u);

    AudioStop(first);
    EXPECT_EQ(AudioPlay(blip, true, SOUND_GROUP_SFX).Slot(), 99) << "a stopped record is the next one out";
}

TEST_F(AudioOnDiskDriver, AudioUpdateHandsBackFinishedRecordsInPlayOrder)
{
    SoundAsset* blip = AudioLoad(blipPath.c_str());
    ASSERT_NE(blip, nullptr);
    SoundChannel first = AudioPlay(blip, false, SOUND_GROUP_SFX);
    SoundChannel second = AudioPlay(blip, false, SOUND_GROUP_SFX);
    ASSERT_TRUE(WaitUntilEnded(first) && WaitUntilEnded(second));

    EXPECT_EQ(AudioUpdate(), 2u);
    // The active list is walked from the front, so the second play's record went
    // back last and is on top of the stack.
    EXPECT_EQ(AudioPlay(blip, true, SOUND_GROUP_SFX).Slot(), second.Slot());
    EXPECT_EQ(AudioPlay(blip, true, SOUND_GROUP_SFX).Slot(), first.Slot());
}

TEST_F(AudioOnDiskDriver, WithAllRecordsActiveTheNextPlayIsNullAndOneUpdateFreesThemAll)
{
    SoundAsset* blip = AudioLoad(blipPath.c_str());
    ASSERT_NE(blip, nullptr);
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

    // Only plays active at the time of the change take it.
    SoundChannel later = AudioPlay(tone, true, SOUND_GROUP_SFX);
    EXPECT_FLOAT_EQ(later->volume, 1.0f);
}

// ---------------------------------------------------------------------------
// Spent handles

TEST_F(AudioOnDiskDriver, AStaleHolderCannotTouchTheSoundThatReusedItsRecord)
{
    SoundAsset* click = AudioLoad(blipPath.c_str());
    SoundAsset* song = AudioLoad(tonePath.c_str());
    ASSERT_TRUE(click && song);

    // A button's click ends and its record is recycled; the music gets that record.
    SoundChannel button = AudioPlay(click, false, SOUND_GROUP_SFX);
    ASSERT_TRUE(WaitUntilEnded(button));
    ASSERT_EQ(AudioUpdate(), 1u);
    SoundChannel music = AudioPlayLooped(song);
    ASSERT_EQ(music.Slot(), button.Slot());

    // The button still holds its old handle, as a button's Unload would.
    EXPECT_FALSE(button);
    EXPECT_FALSE(AudioIsPlaying(button));
    AudioSetPaused(button, true);
    AudioStop(button);
    EXPECT_FLOAT_EQ(button->volume, 1.0f);
    EXPECT_EQ(button->group, SOUND_GROUP_NONE) << "a spent handle reads a detached record";

    EXPECT_TRUE(music);
    EXPECT_TRUE(AudioIsPlaying(music));
    EXPECT_FALSE(music->paused);
    EXPECT_EQ(LEAudioActiveCount(), 1u);
}

TEST_F(AudioOnDiskDriver, AHolderOfAStoppedPlayCannotTouchTheNextPlay)
{
    SoundAsset* tone = AudioLoad(tonePath.c_str());
    ASSERT_NE(tone, nullptr);
    SoundChannel old = AudioPlay(tone, true, SOUND_GROUP_SFX);
    AudioStop(old);
    SoundChannel next = AudioPlay(tone, true, SOUND_GROUP_MUSIC);
    ASSERT_EQ(next.Slot(), old.Slot());
    EXPECT_NE(next, old);

    AudioSetPaused(old, false);
    AudioSetGroupVolume(SOUND_GROUP_SFX, 0.0f);
    AudioStop(old);
    EXPECT_TRUE(next->paused);
    EXPECT_FLOAT_EQ(next->volume, 1.0f);
    EXPECT_TRUE(AudioIsPlaying(next));
    EXPECT_EQ(LEAudioActiveCount(), 1u);
}

TEST_F(AudioOnDiskDriver, AFinishedPlayCannotReachThePlayThatTookOverItsMixerChannel)
{
    SoundAsset* blip = AudioLoad(blipPath.c_str());
    SoundAsset* song = AudioLoad(tonePath.c_str());
    ASSERT_TRUE(blip && song);

    // The blip ends but stays active until the next AudioUpdate; meanwhile the next
    // play gets the mixer channel the blip no longer needs.
    SoundChannel finished = AudioPlay(blip, false, SOUND_GROUP_SFX);
    ASSERT_TRUE(WaitUntilEnded(finished));
    SoundChannel music = AudioPlayLooped(song);
    ASSERT_TRUE(AudioIsPlaying(music));
    EXPECT_FALSE(AudioIsPlaying(finished)) << "the new play on its channel is not the blip";

    AudioSetPaused(finished, true);
    AudioStop(finished);
    EXPECT_TRUE(AudioIsPlaying(music));
    EXPECT_FALSE(music->paused);
    EXPECT_EQ(AudioUpdate(), 0u);
    EXPECT_EQ(LEAudioActiveCount(), 1u);
}

TEST_F(AudioOnDiskDriver, StoppingARecycledRecordDoesNotPutItOnTheFreeListTwice)
{
    SoundAsset* blip = AudioLoad(blipPath.c_str());
    ASSERT_NE(blip, nullptr);
    SoundChannel play = AudioPlay(blip, false, SOUND_GROUP_SFX);
    ASSERT_TRUE(WaitUntilEnded(play));
    ASSERT_EQ(AudioUpdate(), 1u);
    ASSERT_EQ(LEAudioFreeCount(), SOUND_POOL_SIZE);

    AudioStop(play);
    AudioStop(play);
    EXPECT_EQ(LEAudioFreeCount(), SOUND_POOL_SIZE);

    // Were a record listed twice, two of these plays would share it.
    std::set<int> slots;
    for (uint32_t i = 0; i < SOUND_POOL_SIZE; ++i) slots.insert(AudioPlay(blip, true, SOUND_GROUP_SFX).Slot());
    EXPECT_EQ(slots.size(), size_t(SOUND_POOL_SIZE));
    EXPECT_EQ(slots.count(-1), 0u);
    EXPECT_EQ(AudioPlay(blip, true, SOUND_GROUP_SFX), nullptr);
}

TEST_F(AudioOnDiskDriver, UnloadingASoundEndsItsPlays)
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
}

TEST_F(AudioOnDiskDriver, HandlesHeldAcrossShutdownAreSpent)
{
    SoundAsset* tone = AudioLoad(tonePath.c_str());
    SoundChannel music = AudioPlayLooped(tone);
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

TEST_F(AudioOnDiskDriver, AnUnpausedToneReachesTheOutput)
{
    SoundAsset* tone = AudioLoad(tonePath.c_str());
    ASSERT_NE(tone, nullptr);
    SoundChannel play = AudioPlay(tone, false, SOUND_GROUP_SFX);
    ASSERT_TRUE(WaitUntilEnded(play));

    const std::vector<int16_t> output = StopAndReadOutput();
    const size_t toneSamples = size_t(TONE_SECONDS * 44100 * 2);
    EXPECT_GT(CountAudible(output), toneSamples / 2) << "of " << output.size() << " samples written";
}

TEST_F(AudioOnDiskDriver, AnMp3ReachesTheOutput)
{
    SoundAsset* mp3 = AudioLoad(mp3Path.c_str());
    ASSERT_NE(mp3, nullptr) << "MP3 decoding is missing from SDL_mixer";
    SoundChannel play = AudioPlay(mp3, false, SOUND_GROUP_SFX);
    ASSERT_TRUE(WaitUntilEnded(play));

    const std::vector<int16_t> output = StopAndReadOutput();
    EXPECT_GT(CountAudible(output), size_t(0.1 * 44100 * 2)) << "of " << output.size() << " samples written";
}

TEST_F(AudioOnDiskDriver, APausedToneStaysSilent)
{
    SoundAsset* tone = AudioLoad(tonePath.c_str());
    ASSERT_NE(tone, nullptr);
    SoundChannel play = AudioPlay(tone, true, SOUND_GROUP_SFX);
    ASSERT_TRUE(LetOutputRun(3 * TONE_SECONDS)) << "the disk driver stopped writing";
    EXPECT_TRUE(AudioIsPlaying(play));

    const std::vector<int16_t> output = StopAndReadOutput();
    EXPECT_GE(output.size(), size_t(3 * TONE_SECONDS * 44100 * 2));
    EXPECT_EQ(Loudest(output), 0);
}

TEST_F(AudioOnDiskDriver, AStoppedToneStaysSilentEvenWhenItsHolderResumesIt)
{
    SoundAsset* tone = AudioLoad(tonePath.c_str());
    ASSERT_NE(tone, nullptr);
    SoundChannel play = AudioPlay(tone, true, SOUND_GROUP_SFX);
    AudioStop(play);
    AudioSetPaused(play, false);
    ASSERT_TRUE(LetOutputRun(3 * TONE_SECONDS)) << "the disk driver stopped writing";

    EXPECT_EQ(Loudest(StopAndReadOutput()), 0);
}

TEST_F(AudioOnDiskDriver, AToneInAGroupAtZeroVolumeStaysSilent)
{
    SoundAsset* tone = AudioLoad(tonePath.c_str());
    ASSERT_NE(tone, nullptr);
    SoundChannel play = AudioPlay(tone, true, SOUND_GROUP_SFX);
    AudioSetGroupVolume(SOUND_GROUP_SFX, -0.2f);
    AudioSetPaused(play, false);
    ASSERT_TRUE(WaitUntilEnded(play));

    EXPECT_EQ(Loudest(StopAndReadOutput()), 0);
}

TEST_F(AudioOnDiskDriver, ResumingAPausedToneMakesItHeard)
{
    SoundAsset* tone = AudioLoad(tonePath.c_str());
    ASSERT_NE(tone, nullptr);
    SoundChannel play = AudioPlay(tone, true, SOUND_GROUP_SFX);
    ASSERT_TRUE(LetOutputRun(TONE_SECONDS));
    AudioSetPaused(play, false);
    EXPECT_FALSE(play->paused);
    ASSERT_TRUE(WaitUntilEnded(play));

    EXPECT_GT(CountAudible(StopAndReadOutput()), size_t(TONE_SECONDS * 44100 * 2) / 2);
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
