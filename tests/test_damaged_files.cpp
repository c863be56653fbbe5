// Damaged copies of the game's files: empty, cut short, garbage and missing.
// Each loader refuses them with null and one line that names the file and says
// what is wrong in a player's words, and creates nothing.
#include <gtest/gtest.h>

#include <LEAudio.h>
#include <main/AssetCheck.h>
#include <src/LEFont.h>
#include <src/LETexture.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "TestEngine.h"

namespace {

std::string Garbage(size_t size)
{
    std::mt19937 rng(7);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = char(rng());
    return bytes;
}

struct Damage {
    const char* what;
    std::string content;  // written to the file; null content with missing = true
    bool missing;
    const char* said;     // a piece of the line on standard error
};

// Writes each damaged file, loads it, and checks the refusal and its words; the
// start-up check, which does not decode, names the file in the same words.
void ExpectRefused(const std::vector<Damage>& damages, const char* extension, AssetKind kind,
                   const std::function<bool(const char*)>& load)
{
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.what);
        const std::string path = std::string("/tmp/eb_damaged_") + d.what + extension;
        std::remove(path.c_str());
        if (!d.missing) std::ofstream(path, std::ios::binary) << d.content;
        testing::internal::CaptureStderr();
        const bool loaded = load(path.c_str());
        const std::string said = testing::internal::GetCapturedStderr();
        const AssetFile file{path.c_str(), kind};
        const std::vector<std::string> checked = CheckAssetFiles(&file, 1);
        std::remove(path.c_str());
        EXPECT_FALSE(loaded);
        EXPECT_NE(said.find(path), std::string::npos) << said;
        EXPECT_NE(said.find(d.said), std::string::npos) << said;
        ASSERT_EQ(checked.size(), 1u) << "the start-up check missed it";
        EXPECT_NE(checked[0].find(path), std::string::npos) << checked[0];
        EXPECT_NE(checked[0].find(d.said), std::string::npos) << checked[0];
    }
}

using DamagedFiles = EngineTest<640, 360>;

TEST_F(DamagedFiles, PicturesFontsAndSoundsAreRefusedInWords)
{
    const std::string png = ReadFile(EB_SOURCE_DIR "/Assets/Sprites/Others/others_nexus.png");
    const std::string ttf = ReadFile(EB_SOURCE_DIR "/Assets/Fonts/arial.ttf");
    const std::string wav = ReadFile(EB_SOURCE_DIR "/Assets/Audio/SFX/sfx_orc.wav");
    ASSERT_TRUE(png.size() > 1000 && ttf.size() > 1000 && wav.size() > 1000);
    ExpectRefused({{"empty", "", false, "not a PNG image"},
                   {"truncated", png.substr(0, 100), false, "not a PNG image"},
                   {"garbage", Garbage(4000), false, "not a PNG image"},
                   {"missing", "", true, "No such file"}},
                  ".png", AssetKind::Picture, [](const char* path) { return LETextureLoad(path) != nullptr; });
    EXPECT_EQ(LETextureCount(), 0);

    ExpectRefused({{"empty", "", false, "too short to be a font"},
                   {"two bytes", ttf.substr(0, 2), false, "too short to be a font"},
                   {"truncated", ttf.substr(0, 100), false, "past the end of the file"},
                   {"garbage", Garbage(4000), false, "not a TrueType or OpenType font"},
                   {"missing", "", true, "No such file"}},
                  ".ttf", AssetKind::Font, [](const char* path) { return LEFontLoad(path, 20, 1.0f) != nullptr; });
    EXPECT_EQ(LEFontCount(), 0);

    StartDiskAudio();
    ExpectRefused({{"empty", "", false, "not a sound the game can play"},
                   {"truncated", wav.substr(0, 30), false, "not a sound the game can play"},
                   {"garbage", Garbage(4000), false, "not a sound the game can play"},
                   {"missing", "", true, "cannot open the file: No such file"}},
                  ".wav", AssetKind::Sound, [](const char* path) { return AudioLoad(path) != nullptr; });
    EXPECT_EQ(LEAudioLoadedCount(), 0u);
    StopDiskAudio();
}

// Every input that once crashed a loader, or that aims at a known weak point of
// one (tools/fuzz/craft_inputs.py), stays here and must now be refused (or read)
// without harm; the crafted ones are refused in these words.
TEST_F(DamagedFiles, InputsThatOnceCrashedTheFuzzersAreHarmless)
{
    const std::map<std::string, std::string> refusals = {
        {"font_cmap12_groups.ttf", "a character map subtable runs past its end"},
        {"font_contours_unordered.ttf", "a glyph's outline is damaged"},
        {"font_compound_itself.ttf", "built of itself"},
        {"font_loca_outside.ttf", "points outside the glyph table"},
        {"font_flat_line.ttf", "its ascent does not rise above its descent"},
        {"font_nan_scale.ttf", "its ascent does not rise above its descent"},
        {"font_zero_em.ttf", "its em size is zero or absurd"},
        {"sound_huge_data.wav", "claims more bytes than the file holds"},
        {"sound_bare_wave_huge_data.wav", "claims more bytes than the file holds"},
        {"sound_one_hertz.wav", "more memory than any sound the game plays"},
        {"sound_aiff_huge_count.wav", "a format the game does not play"},
        {"sound_voc_silence.wav", "a format the game does not play"},
        {"png_empty_first_idat.png", "its first image data chunk is empty"},
        {"png_chunk_claims_a_gigabyte.png", "a chunk claims more bytes than the file holds"},
    };
    StartDiskAudio();
    size_t cases = 0, crafted = 0;
    for (const auto& entry : std::filesystem::directory_iterator(EB_SOURCE_DIR "/tests/data/fuzz")) {
        const std::string path = entry.path().string(), extension = entry.path().extension().string();
        SCOPED_TRACE(path);
        testing::internal::CaptureStderr();
        bool loaded = false;
        if (extension == ".ttf") {
            LEFont* font = LEFontLoad(path.c_str(), 20, 1.0f);
            loaded = font != nullptr;
            LEFontFree(font);
        } else if (extension == ".png") {
            LETexture* texture = LETextureLoad(path.c_str());
            loaded = texture != nullptr;
            LETextureUnload(texture);
        } else if (extension == ".wav") {
            SoundAsset* sound = AudioLoad(path.c_str());
            loaded = sound != nullptr;
            AudioUnload(sound);
        } else {
            ADD_FAILURE() << "a regression case for no loader";
        }
        const std::string said = testing::internal::GetCapturedStderr();
        ++cases;
        const auto refusal = refusals.find(entry.path().filename().string());
        if (refusal == refusals.end()) continue;
        ++crafted;
        EXPECT_FALSE(loaded);
        EXPECT_NE(said.find(refusal->second), std::string::npos) << said;
    }
    StopDiskAudio();
    EXPECT_EQ(crafted, refusals.size());
    EXPECT_GT(cases, crafted);
    EXPECT_EQ(LEFontCount(), 0);
    EXPECT_EQ(LETextureCount(), 0);
    EXPECT_EQ(LEAudioLoadedCount(), 0u);
}

// The sound check lets through every form SDL's WAV reader plays (each coding,
// the bare form type, chunks between) and MP3: each loads and passes the
// start-up check (tools/fuzz/craft_inputs.py writes them).
TEST_F(DamagedFiles, EverySoundFormTheReadersPlayStillPlays)
{
    StartDiskAudio();
    size_t forms = 0;
    for (const auto& entry : std::filesystem::directory_iterator(EB_SOURCE_DIR "/tests/data/sound_forms")) {
        const std::string path = entry.path().string();
        SCOPED_TRACE(path);
        testing::internal::CaptureStderr();
        SoundAsset* sound = AudioLoad(path.c_str());
        const AssetFile file{path.c_str(), AssetKind::Sound};
        const std::vector<std::string> checked = CheckAssetFiles(&file, 1);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(sound, nullptr) << said;
        EXPECT_EQ(checked, std::vector<std::string>{});
        AudioUnload(sound);
        ++forms;
    }
    StopDiskAudio();
    EXPECT_GE(forms, 13u);
}

// The start-up check: the shipped files all pass and the list names every file
// under Assets/ the game can read; a damaged set gives one line per bad file.
TEST_F(DamagedFiles, TheStartUpCheckNamesEveryBadFileAndNoGoodOne)
{
    StartDiskAudio();
    std::vector<std::string> listed, onDisk;
    for (size_t i = 0; i < GAME_ASSET_COUNT; ++i) listed.push_back(GAME_ASSETS[i].path);
    for (const auto& entry : std::filesystem::recursive_directory_iterator("Assets")) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && name != "README" && name.rfind("LICENSE", 0) != 0)
            onDisk.push_back(entry.path().string());
    }
    std::sort(listed.begin(), listed.end());
    std::sort(onDisk.begin(), onDisk.end());
    EXPECT_EQ(listed, onDisk);
    EXPECT_EQ(CheckAssetFiles(GAME_ASSETS, GAME_ASSET_COUNT), std::vector<std::string>{});

    // Among them damage that decoding may never notice: one byte changed in a
    // picture's image data, a picture without its end chunk.
    const std::string png = ReadFile("Assets/Sprites/Others/others_nexus.png");
    const std::string wav = ReadFile("Assets/Audio/SFX/sfx_orc.wav");
    std::string flipped = png;
    flipped[png.size() / 2] = char(~flipped[png.size() / 2]);
    std::ofstream("/tmp/eb_check_cut.png", std::ios::binary) << png.substr(0, 200);
    std::ofstream("/tmp/eb_check_flipped.png", std::ios::binary) << flipped;
    std::ofstream("/tmp/eb_check_no_end.png", std::ios::binary) << png.substr(0, png.size() - 12);
    std::ofstream("/tmp/eb_check_cut.wav", std::ios::binary) << wav.substr(0, wav.size() / 2);
    std::ofstream("/tmp/eb_check_garbage.ttf", std::ios::binary) << Garbage(3000);
    std::ofstream("/tmp/eb_check_sheet", std::ios::binary) << "0\n0\n0\n";
    std::ofstream("/tmp/eb_check_empty.wav", std::ios::binary);
    std::remove("/tmp/eb_check_missing.mp3");
    const struct {
        AssetFile file;
        const char* said;  // null: a good file, never named
    } cases[] = {
        {{"/tmp/eb_check_cut.png", AssetKind::Picture}, "not a PNG image"},
        {{"/tmp/eb_check_flipped.png", AssetKind::Picture}, "checksum is wrong"},
        {{"/tmp/eb_check_no_end.png", AssetKind::Picture}, "cut short"},
        {{"Assets/Fonts/arial.ttf", AssetKind::Font}, nullptr},
        {{"/tmp/eb_check_garbage.ttf", AssetKind::Font}, "not a TrueType or OpenType font"},
        {{"/tmp/eb_check_sheet", AssetKind::AnimationSheet}, "frame count"},
        {{"/tmp/eb_check_empty.wav", AssetKind::Sound}, "not a sound the game can play"},
        {{"Assets/Audio/SFX/sfx_orc.wav", AssetKind::Sound}, nullptr},
        {{"/tmp/eb_check_cut.wav", AssetKind::Sound}, "claims more bytes than the file holds"},
        {{"/tmp/eb_check_missing.mp3", AssetKind::Sound}, "No such file"},
    };
    std::vector<AssetFile> files;
    for (const auto& c : cases) files.push_back(c.file);
    testing::internal::CaptureStderr();
    const std::vector<std::string> refusals = CheckAssetFiles(files.data(), files.size());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "the check gathers the refusals for one message";
    size_t next = 0;
    for (const auto& c : cases) {
        if (!c.said) continue;
        ASSERT_LT(next, refusals.size()) << c.file.path;
        EXPECT_NE(refusals[next].find(c.file.path), std::string::npos) << refusals[next];
        EXPECT_NE(refusals[next++].find(c.said), std::string::npos) << c.file.path;
    }
    EXPECT_EQ(next, refusals.size()) << "one line per bad file";
    EXPECT_EQ(LETextureCount(), 0);
    EXPECT_EQ(LEFontCount(), 0);
    EXPECT_EQ(LEAudioLoadedCount(), 0u);
    StopDiskAudio();
}

}  // namespace
