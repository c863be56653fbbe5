// test_assets: every data file the game names under "Assets/" exists and loads.
//
// Two sources of names are checked:
//   * every string literal beginning with "Assets/" in the game's C++ sources
//     (found by scanning game/ below EB_SOURCE_DIR, the repository root), and
//   * a fixed list of every picture, sprite-sheet description, font and sound
//     the game loads, so that a file is missed even before its code exists.
// "Loads" means: PNG pictures decode with stb_image, sprite-sheet description
// files parse in the game's small text format and their sheet texture
// decodes, sounds open with SDL2_mixer, fonts initialise with stb_truetype.
// The files come from tools/assets/make_assets.py (fonts: Assets/Fonts).

#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>
#include <stb/stb_image.h>
#include <stb/stb_truetype.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#ifndef EB_SOURCE_DIR
#error "EB_SOURCE_DIR must name the repository root (the folder that holds Assets/ and game/)"
#endif

namespace fs = std::filesystem;

namespace {

const fs::path kRoot = EB_SOURCE_DIR;

// Every asset the game loads, by the path its code passes.
const std::vector<std::string> kNamedAssets = {
    // level backgrounds (levels 1, 2, 3, 4 and the test level 0)
    "Assets/Sprites/Others/Desert_BackGround.png",
    "Assets/Sprites/Others/others_jungle.png",
    "Assets/Sprites/Others/monte.png",
    "Assets/Sprites/Others/Fire.png",
    "Assets/Sprites/Others/others_forest.png",
    // level props
    "Assets/Sprites/Others/others_nexus.png",
    "Assets/Sprites/Others/others_towerplacement.png",
    "Assets/Sprites/Others/others_currency.png",
    "Assets/Sprites/Particles/particles_tower_1.png",
    // enemies
    "Assets/Sprites/Enemies/enemy_goblin_2.png",
    "Assets/Sprites/Enemies/enemy_orc_1.png",
    "Assets/Sprites/Enemies/enemy_skeleton_2.png",
    "Assets/Sprites/Enemies/enemy_wyvern_2.png",
    // turrets, companions and portraits
    "Assets/Sprites/Heroes/hero_knight_2.png",
    "Assets/Sprites/Heroes/hero_mage_2.png",
    "Assets/Sprites/Heroes/hero_nobleman_2.png",
    "Assets/Sprites/Heroes/hero_thief_2.png",
    "Assets/Sprites/Heroes/hero_bard_2.png",
    "Assets/Sprites/Heroes/hero_hunter_2.png",
    "Assets/Sprites/Heroes/hero_thief_1.png",
    "Assets/Sprites/Heroes/hero_bard_1.png",
    "Assets/Sprites/Heroes/hero_hunter_1.png",
    // hero sprite-sheet descriptions
    "Assets/Sprites/Heroes/Animations/Hunter/hero_hunter_spritesheet",
    "Assets/Sprites/Heroes/Animations/Bard/hero_bard_spritesheet",
    "Assets/Sprites/Heroes/Animations/Thief/hero_thief_spritesheet",
    // splash cards and credits
    "Assets/Logos/bw_logo.png",
    "Assets/Logos/team_logo.png",
    "Assets/Logos/fmod_logo.png",
    "Assets/Credits/Credits1.png",
    "Assets/Credits/Credits2.png",
    // fonts
    "Assets/Fonts/arial.ttf",
    "Assets/Fonts/Kingthings Exeter.ttf",
    // music and effects
    "Assets/Audio/Music/music_mainmenu.wav",
    "Assets/Audio/Music/music_level.wav",
    "Assets/Audio/SFX/sfx_orc.wav",
    "Assets/Audio/SFX/sfx_goblin.wav",
    "Assets/Audio/SFX/sfx_skeleton.wav",
    "Assets/Audio/SFX/sfx_wyvern.wav",
    "Assets/Audio/SFX/test_audio.wav",
    "Assets/Audio/SFX/sfx_click.wav",
    "Assets/Audio/SFX/sfx_hunter.mp3",
    "Assets/Audio/SFX/sfx_bard.wav",
    "Assets/Audio/SFX/sfx_thief.wav",
};

// Pictures that cover their whole quad; every other picture is a sprite with
// a shape and must carry an alpha channel with transparent pixels.
const std::set<std::string> kOpaquePictures = {
    "Assets/Sprites/Others/Desert_BackGround.png", "Assets/Sprites/Others/others_jungle.png",
    "Assets/Sprites/Others/monte.png",             "Assets/Sprites/Others/Fire.png",
    "Assets/Sprites/Others/others_forest.png",     "Assets/Credits/Credits1.png",
    "Assets/Credits/Credits2.png",
};

const std::vector<std::string> kMusic = {"Assets/Audio/Music/music_mainmenu.wav",
                                         "Assets/Audio/Music/music_level.wav"};

constexpr std::uintmax_t kAssetBudgetBytes = 25u * 1000u * 1000u;

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

std::vector<unsigned char> ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// ---------------------------------------------------------------------------
// The sprite-sheet description format, read the way the game reads it
// ---------------------------------------------------------------------------

struct SheetFile {
    int frameCount = 0;
    int rows = 0;
    int columns = 0;
    std::string texturePath;
    std::vector<float> durations;
};

// Integer token: collect '-' and digits; the first other character ends the
// token and is consumed. At most 12 characters; converted like atoi.
int ReadIntToken(std::istream& in) {
    std::string tok;
    int c;
    while ((c = in.get()) != EOF) {
        if (c == '-' || (c >= '0' && c <= '9')) {
            if (tok.size() < 12) tok.push_back(static_cast<char>(c));
        } else {
            break;
        }
    }
    return std::atoi(tok.c_str());
}

// A line up to a line feed (consumed, not stored) or the end of the file;
// a carriage return before the line feed is dropped as in text mode.
std::string ReadLine(std::istream& in) {
    std::string line;
    int c;
    while ((c = in.get()) != EOF && c != '\n') {
        if (line.size() < 255) line.push_back(static_cast<char>(c));
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

bool ParseSheet(const fs::path& p, SheetFile* out, std::string* why) {
    std::ifstream in(p, std::ios::binary);
    if (!in) {
        *why = "cannot open " + p.string();
        return false;
    }
    out->frameCount = ReadIntToken(in);
    out->rows = ReadIntToken(in);
    out->columns = ReadIntToken(in);
    out->texturePath = ReadLine(in);
    if (out->frameCount < 1 || out->rows < 1 || out->columns < 1) {
        *why = "header needs frame count, rows and columns of at least 1";
        return false;
    }
    for (int i = 0; i < out->frameCount; ++i) {
        if (!in.good()) {
            *why = "only " + std::to_string(i) + " duration lines for " + std::to_string(out->frameCount) + " frames";
            return false;
        }
        std::string line = ReadLine(in);
        std::size_t colon = line.rfind(':');
        std::string number = colon == std::string::npos ? line : line.substr(colon + 1);
        out->durations.push_back(static_cast<float>(std::atof(number.c_str())));
    }
    return true;
}

// ---------------------------------------------------------------------------
// Loaders
// ---------------------------------------------------------------------------

class Mixer {
public:
    static Mixer& Get() {
        static Mixer m;
        return m;
    }
    bool ok() const { return ok_; }
    int frequency() const { return freq_; }
    int channels() const { return channels_; }
    ~Mixer() {
        if (opened_) Mix_CloseAudio();
        Mix_Quit();
        SDL_Quit();
    }

private:
    Mixer() {
        // No sound card is needed: the dummy driver accepts and discards output.
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (SDL_Init(SDL_INIT_AUDIO) != 0) return;
        Mix_Init(MIX_INIT_MP3);
        if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) return;
        opened_ = true;
        Uint16 format = 0;
        Mix_QuerySpec(&freq_, &format, &channels_);
        ok_ = (format == AUDIO_S16SYS);
    }
    bool ok_ = false;
    bool opened_ = false;
    int freq_ = 0;
    int channels_ = 0;
};

struct Picture {
    int width = 0, height = 0, fileChannels = 0;
    std::vector<unsigned char> rgba;
};

bool LoadPicture(const fs::path& p, Picture* pic, std::string* why) {
    int w = 0, h = 0, comp = 0;
    unsigned char* data = stbi_load(p.string().c_str(), &w, &h, &comp, 4);
    if (!data) {
        *why = std::string("stb_image: ") + (stbi_failure_reason() ? stbi_failure_reason() : "failed");
        return false;
    }
    pic->width = w;
    pic->height = h;
    pic->fileChannels = comp;
    pic->rgba.assign(data, data + static_cast<std::size_t>(w) * h * 4);
    stbi_image_free(data);
    return w > 0 && h > 0;
}

// Seconds of audio and peak level (0..1) of a sound decoded by the mixer.
bool LoadSound(const fs::path& p, double* seconds, double* peak, std::string* why) {
    Mixer& mx = Mixer::Get();
    if (!mx.ok()) {
        *why = std::string("SDL2_mixer could not start: ") + Mix_GetError();
        return false;
    }
    Mix_Chunk* chunk = Mix_LoadWAV(p.string().c_str());
    if (!chunk) {
        *why = std::string("Mix_LoadWAV: ") + Mix_GetError();
        return false;
    }
    const Sint16* s = reinterpret_cast<const Sint16*>(chunk->abuf);
    std::size_t count = chunk->alen / sizeof(Sint16);
    int m = 0;
    for (std::size_t i = 0; i < count; ++i) m = std::max(m, std::abs(static_cast<int>(s[i])));
    *seconds = static_cast<double>(count) / (mx.frequency() * mx.channels());
    *peak = m / 32768.0;
    Mix_FreeChunk(chunk);
    return count > 0;
}

bool LoadFont(const fs::path& p, std::string* why) {
    std::vector<unsigned char> data = ReadFile(p);
    stbtt_fontinfo info;
    if (data.empty() || stbtt_InitFont(&info, data.data(), stbtt_GetFontOffsetForIndex(data.data(), 0)) == 0) {
        *why = "stb_truetype cannot read the font";
        return false;
    }
    return true;
}

// Checks that one asset path exists and loads; returns an empty string or the problem.
std::string CheckAsset(const std::string& rel) {
    fs::path p = kRoot / rel;
    if (EndsWith(rel, "/")) {
        return fs::is_directory(p) ? "" : "missing folder";
    }
    if (!fs::is_regular_file(p)) return "missing file";
    std::string why;
    std::string ext = Lower(p.extension().string());
    if (ext == ".png") {
        Picture pic;
        return LoadPicture(p, &pic, &why) ? "" : why;
    }
    if (ext == ".wav" || ext == ".mp3" || ext == ".ogg") {
        double seconds = 0, peak = 0;
        return LoadSound(p, &seconds, &peak, &why) ? "" : why;
    }
    if (ext == ".ttf" || ext == ".otf") {
        return LoadFont(p, &why) ? "" : why;
    }
    if (ext.empty()) {
        SheetFile sheet;
        if (!ParseSheet(p, &sheet, &why)) return why;
        Picture pic;
        if (!LoadPicture(kRoot / sheet.texturePath, &pic, &why)) return "sheet texture " + sheet.texturePath + ": " + why;
        return "";
    }
    return "";  // other data: existing is enough
}

std::vector<std::string> AssetLiteralsInSources() {
    std::set<std::string> found;
    const std::regex literal("\"(Assets/[^\"\\\\]*)\"");
    fs::path dir = kRoot / "game";
    if (!fs::is_directory(dir)) return {};
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (!entry.is_regular_file()) continue;
        std::string ext = Lower(entry.path().extension().string());
        if (ext != ".cpp" && ext != ".h" && ext != ".hpp" && ext != ".cc" && ext != ".inl") continue;
        std::ifstream in(entry.path());
        std::stringstream ss;
        ss << in.rdbuf();
        std::string text = ss.str();
        for (std::sregex_iterator it(text.begin(), text.end(), literal), end; it != end; ++it) {
            std::string path = (*it)[1].str();
            // format strings and paths built at run time cannot be resolved here
            if (path.find('%') != std::string::npos || path.find('{') != std::string::npos) continue;
            found.insert(path);
        }
    }
    return std::vector<std::string>(found.begin(), found.end());
}

}  // namespace

// ---------------------------------------------------------------------------
// Tests
// ---------------------------------------------------------------------------

TEST(Assets, EveryFileTheGameLoadsExistsAndLoads) {
    for (const std::string& rel : kNamedAssets) {
        EXPECT_EQ(CheckAsset(rel), "") << rel;
    }
}

TEST(Assets, EveryAssetLiteralInTheGameSourcesExistsAndLoads) {
    std::vector<std::string> paths = AssetLiteralsInSources();
    for (const std::string& rel : paths) {
        EXPECT_EQ(CheckAsset(rel), "") << rel << " (named in the game's sources)";
    }
    if (paths.empty()) {
        std::cout << "[ note ] no \"Assets/...\" literal found under " << (kRoot / "game") << "\n";
    }
}

TEST(Assets, SpriteSheetsMatchTheirGridsAndPlayQuickly) {
    for (const char* rel : {"Assets/Sprites/Heroes/Animations/Hunter/hero_hunter_spritesheet",
                            "Assets/Sprites/Heroes/Animations/Bard/hero_bard_spritesheet",
                            "Assets/Sprites/Heroes/Animations/Thief/hero_thief_spritesheet"}) {
        SheetFile sheet;
        std::string why;
        ASSERT_TRUE(ParseSheet(kRoot / rel, &sheet, &why)) << rel << ": " << why;
        EXPECT_LE(sheet.frameCount, sheet.rows * sheet.columns) << rel;
        ASSERT_EQ(static_cast<int>(sheet.durations.size()), sheet.frameCount) << rel;
        float total = 0;
        for (float d : sheet.durations) {
            // one frame is shown for at least one 60 Hz frame
            EXPECT_GE(d, 1.0f / 60.0f) << rel;
            total += d;
        }
        // the attack animation ends well before the next attack (every 1.25 s)
        EXPECT_LT(total, 1.0f) << rel;
        Picture pic;
        ASSERT_TRUE(LoadPicture(kRoot / sheet.texturePath, &pic, &why)) << sheet.texturePath << ": " << why;
        EXPECT_EQ(pic.width % sheet.columns, 0) << sheet.texturePath;
        EXPECT_EQ(pic.height % sheet.rows, 0) << sheet.texturePath;
        EXPECT_EQ(pic.fileChannels, 4) << sheet.texturePath;
    }
}

TEST(Assets, SpritesWithAShapeAreTransparentAroundIt) {
    for (const std::string& rel : kNamedAssets) {
        if (!EndsWith(rel, ".png") || kOpaquePictures.count(rel)) continue;
        Picture pic;
        std::string why;
        ASSERT_TRUE(LoadPicture(kRoot / rel, &pic, &why)) << rel << ": " << why;
        EXPECT_EQ(pic.fileChannels, 4) << rel << " should be stored as RGBA";
        // the corners are outside every shape
        auto alpha = [&](int x, int y) { return pic.rgba[(static_cast<std::size_t>(y) * pic.width + x) * 4 + 3]; };
        EXPECT_EQ(alpha(0, 0), 0) << rel;
        EXPECT_EQ(alpha(pic.width - 1, pic.height - 1), 0) << rel;
    }
}

TEST(Assets, SoundsOpenAndNoneClips) {
    for (const std::string& rel : kNamedAssets) {
        if (!EndsWith(rel, ".wav") && !EndsWith(rel, ".mp3")) continue;
        double seconds = 0, peak = 0;
        std::string why;
        ASSERT_TRUE(LoadSound(kRoot / rel, &seconds, &peak, &why)) << rel << ": " << why;
        EXPECT_LT(peak, 0.99) << rel << " reaches full scale";
        bool isMusic = std::find(kMusic.begin(), kMusic.end(), rel) != kMusic.end();
        if (isMusic) {
            EXPECT_GE(seconds, 60.0) << rel << " should play for a minute or more";
        } else {
            EXPECT_LE(seconds, 3.0) << rel << " is an effect and should be short";
            EXPECT_GT(seconds, 0.02) << rel;
        }
    }
}

// A loop is seamless when the last sample flows into the first one: the jump
// across the loop point is no bigger than the music's ordinary steps.
TEST(Assets, MusicLoopsWithoutASeam) {
    for (const std::string& rel : kMusic) {
        std::vector<unsigned char> bytes = ReadFile(kRoot / rel);
        ASSERT_GT(bytes.size(), 44u) << rel;
        ASSERT_EQ(std::memcmp(bytes.data(), "RIFF", 4), 0) << rel;
        ASSERT_EQ(std::memcmp(bytes.data() + 8, "WAVE", 4), 0) << rel;
        // walk the chunks to "fmt " and "data"
        std::size_t pos = 12;
        int channels = 0, bits = 0;
        const unsigned char* data = nullptr;
        std::size_t dataSize = 0;
        while (pos + 8 <= bytes.size()) {
            std::uint32_t size = bytes[pos + 4] | (bytes[pos + 5] << 8) | (bytes[pos + 6] << 16) |
                                 (static_cast<std::uint32_t>(bytes[pos + 7]) << 24);
            if (std::memcmp(bytes.data() + pos, "fmt ", 4) == 0) {
                channels = bytes[pos + 10] | (bytes[pos + 11] << 8);
                bits = bytes[pos + 22] | (bytes[pos + 23] << 8);
            } else if (std::memcmp(bytes.data() + pos, "data", 4) == 0) {
                data = bytes.data() + pos + 8;
                dataSize = std::min<std::size_t>(size, bytes.size() - pos - 8);
            }
            pos += 8 + size + (size & 1);
        }
        ASSERT_EQ(bits, 16) << rel;
        ASSERT_GE(channels, 1) << rel;
        ASSERT_NE(data, nullptr) << rel;
        const std::size_t frames = dataSize / (2 * channels);
        ASSERT_GT(frames, 1000u) << rel;
        auto sample = [&](std::size_t frame, int ch) {
            const unsigned char* q = data + (frame * channels + ch) * 2;
            return static_cast<int>(static_cast<std::int16_t>(q[0] | (q[1] << 8)));
        };
        for (int ch = 0; ch < channels; ++ch) {
            double sum = 0;
            int largest = 0;
            for (std::size_t i = 1; i < frames; ++i) {
                int step = std::abs(sample(i, ch) - sample(i - 1, ch));
                sum += step;
                largest = std::max(largest, step);
            }
            const double mean = sum / (frames - 1);
            const int seam = std::abs(sample(0, ch) - sample(frames - 1, ch));
            EXPECT_LE(seam, std::max(4.0 * mean, 0.5 * largest)) << rel << ": the loop point clicks";
        }
    }
}

TEST(Assets, AssetsFolderStaysSmall) {
    std::uintmax_t total = 0;
    for (const auto& entry : fs::recursive_directory_iterator(kRoot / "Assets")) {
        if (entry.is_regular_file()) total += entry.file_size();
    }
    EXPECT_LT(total, kAssetBudgetBytes) << "Assets/ holds " << total << " bytes";
}
