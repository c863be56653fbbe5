// test_assets: the data files the game reads are all on its checked list, and
// they are fit for their use: sprite sheets match their grids, sprites with a
// shape are transparent around it, sounds do not clip, effects are short and
// music loops without a seam. (That every listed file exists and loads with the
// game's own loaders is the start-up check's test, in test_damaged_files.)
// The files come from tools/assets/make_assets.py (fonts: Assets/Fonts).
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include <main/AssetCheck.h>
#include <objects/AnimationSheet.h>

#include <algorithm>
#include <filesystem>

#include "TestEngine.h"

namespace fs = std::filesystem;

namespace {

const fs::path kRoot = EB_SOURCE_DIR;

// Pictures that cover their whole quad; every other picture is a sprite with
// a shape and must carry an alpha channel with transparent pixels.
const std::set<std::string> kOpaquePictures = {
    "Assets/Sprites/Others/Desert_BackGround.png", "Assets/Sprites/Others/others_jungle.png",
    "Assets/Sprites/Others/monte.png",             "Assets/Sprites/Others/Fire.png",
    "Assets/Sprites/Others/others_forest.png",     "Assets/Credits/Credits1.png",
    "Assets/Credits/Credits2.png",
};

std::vector<std::string> Listed(AssetKind kind)
{
    std::vector<std::string> paths;
    for (size_t i = 0; i < GAME_ASSET_COUNT; ++i)
        if (GAME_ASSETS[i].kind == kind) paths.push_back(GAME_ASSETS[i].path);
    return paths;
}

TEST(Assets, EveryAssetLiteralInTheGameSourcesIsOnTheCheckedList)
{
    std::set<std::string> listed;
    for (size_t i = 0; i < GAME_ASSET_COUNT; ++i) listed.insert(GAME_ASSETS[i].path);
    size_t found = 0;
    for (const auto& entry : fs::recursive_directory_iterator(kRoot / "game")) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".cpp" && ext != ".h") continue;
        const std::string s = ReadFile(entry.path());
        for (size_t at = s.find("\"Assets/"); at != std::string::npos; at = s.find("\"Assets/", at + 1)) {
            const std::string path = s.substr(at + 1, s.find('"', at + 1) - at - 1);
            // format strings and paths built at run time cannot be resolved here
            if (path.find('%') != std::string::npos || path.find('{') != std::string::npos) continue;
            ++found;
            if (path.back() == '/') EXPECT_TRUE(fs::is_directory(kRoot / path)) << path;
            else EXPECT_EQ(listed.count(path), 1u) << path << " (named in " << entry.path() << ")";
        }
    }
    EXPECT_GE(found, listed.size());
}

TEST(Assets, SpriteSheetsMatchTheirGridsAndPlayQuickly)
{
    const std::vector<std::string> sheets = Listed(AssetKind::AnimationSheet);
    EXPECT_EQ(sheets.size(), 3u);
    for (const std::string& rel : sheets) {
        AnimationSheetDesc sheet;
        ASSERT_TRUE(ReadAnimationSheet((kRoot / rel).c_str(), &sheet)) << rel;
        EXPECT_LE(sheet.frameCount, sheet.rows * sheet.columns) << rel;
        ASSERT_EQ(sheet.durations.size(), sheet.frameCount) << rel;
        float total = 0;
        for (float d : sheet.durations) {
            EXPECT_GE(d, 1.0f / 60.0f) << rel << ": one frame is shown for at least one 60 Hz frame";
            total += d;
        }
        EXPECT_LT(total, 1.0f) << rel << ": the attack animation ends well before the next (every 1.25 s)";
        Picture pic;
        ASSERT_TRUE(LoadPicture((kRoot / sheet.texturePath).string(), &pic));
        EXPECT_EQ(pic.width % int(sheet.columns), 0) << sheet.texturePath;
        EXPECT_EQ(pic.height % int(sheet.rows), 0) << sheet.texturePath;
        EXPECT_EQ(pic.fileChannels, 4) << sheet.texturePath;
    }
}

TEST(Assets, SpritesWithAShapeAreTransparentAroundIt)
{
    for (const std::string& rel : Listed(AssetKind::Picture)) {
        if (kOpaquePictures.count(rel)) continue;
        Picture pic;
        ASSERT_TRUE(LoadPicture((kRoot / rel).string(), &pic));
        EXPECT_EQ(pic.fileChannels, 4) << rel << " should be stored as RGBA";
        // the corners are outside every shape
        EXPECT_EQ(pic.rgba[3], 0) << rel;
        EXPECT_EQ(pic.rgba.back(), 0) << rel;
    }
}

TEST(Assets, SoundsOpenAndNoneClips)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);  // accepts and discards output: no sound card needed
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
    Mix_Init(MIX_INIT_MP3);
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024), 0) << Mix_GetError();
    for (const std::string& rel : Listed(AssetKind::Sound)) {
        Mix_Chunk* chunk = Mix_LoadWAV((kRoot / rel).c_str());
        ASSERT_NE(chunk, nullptr) << rel << ": " << Mix_GetError();
        const Sint16* s = reinterpret_cast<const Sint16*>(chunk->abuf);
        const size_t count = chunk->alen / sizeof(Sint16);
        int peak = 0;
        for (size_t i = 0; i < count; ++i) peak = std::max(peak, std::abs(int(s[i])));
        Mix_FreeChunk(chunk);
        const double seconds = double(count) / (44100 * 2);
        EXPECT_LT(peak / 32768.0, 0.99) << rel << " reaches full scale";
        if (rel.find("/Music/") != std::string::npos) {
            EXPECT_GE(seconds, 60.0) << rel << " should play for a minute or more";
        } else {
            EXPECT_LE(seconds, 3.0) << rel << " is an effect and should be short";
            EXPECT_GT(seconds, 0.02) << rel;
        }
    }
    Mix_CloseAudio();
    Mix_Quit();
    SDL_Quit();
}

// A loop is seamless when the last sample flows into the first one: the jump
// across the loop point is no bigger than the music's ordinary steps.
TEST(Assets, MusicLoopsWithoutASeam)
{
    for (const char* rel : {"Assets/Audio/Music/music_mainmenu.wav", "Assets/Audio/Music/music_level.wav"}) {
        SDL_AudioSpec audio;
        Uint8* bytes = nullptr;
        Uint32 length = 0;
        ASSERT_NE(SDL_LoadWAV((kRoot / rel).c_str(), &audio, &bytes, &length), nullptr) << rel << SDL_GetError();
        ASSERT_EQ(audio.format, AUDIO_S16LSB) << rel;
        const Sint16* data = reinterpret_cast<const Sint16*>(bytes);
        const int channels = audio.channels;
        const size_t frames = length / (2 * channels);
        ASSERT_GT(frames, 1000u) << rel;
        for (int ch = 0; ch < channels; ++ch) {
            const auto sample = [&](size_t frame) { return int(data[frame * channels + ch]); };
            double sum = 0;
            int largest = 0;
            for (size_t i = 1; i < frames; ++i) {
                const int step = std::abs(sample(i) - sample(i - 1));
                sum += step;
                largest = std::max(largest, step);
            }
            const int seam = std::abs(sample(0) - sample(frames - 1));
            EXPECT_LE(seam, std::max(4.0 * sum / double(frames - 1), 0.5 * largest)) << rel << ": the loop clicks";
        }
        SDL_FreeWAV(bytes);
    }
}

TEST(Assets, AssetsFolderStaysSmall)
{
    std::uintmax_t total = 0;
    for (const auto& entry : fs::recursive_directory_iterator(kRoot / "Assets"))
        if (entry.is_regular_file()) total += entry.file_size();
    EXPECT_LT(total, 25'000'000u) << "Assets/ holds " << total << " bytes";
}

}  // namespace
