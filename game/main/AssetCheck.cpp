// AssetCheck: the game's file list and the start-up check (see AssetCheck.h).
#include "AssetCheck.h"

#include <cerrno>   // Required for: errno
#include <cstdio>   // Required for: fopen, fclose
#include <cstring>  // Required for: strerror

#include <LEAudio.h>
#include <LELoadReport.h>
#include <src/LEFont.h>
#include <src/LEPlatform.h>
#include <src/LETexture.h>

#include "objects/AnimationSheet.h"

using enum AssetKind;

const AssetFile GAME_ASSETS[] = {
    {.path = "Assets/Fonts/arial.ttf", .kind = Font},
    {.path = "Assets/Fonts/Kingthings Exeter.ttf", .kind = Font},
    {.path = "Assets/Logos/bw_logo.png", .kind = Picture},
    {.path = "Assets/Logos/team_logo.png", .kind = Picture},
    {.path = "Assets/Logos/fmod_logo.png", .kind = Picture},
    {.path = "Assets/Credits/Credits1.png", .kind = Picture},
    {.path = "Assets/Credits/Credits2.png", .kind = Picture},
    {.path = "Assets/Sprites/Others/Desert_BackGround.png", .kind = Picture},
    {.path = "Assets/Sprites/Others/others_jungle.png", .kind = Picture},
    {.path = "Assets/Sprites/Others/monte.png", .kind = Picture},
    {.path = "Assets/Sprites/Others/Fire.png", .kind = Picture},
    {.path = "Assets/Sprites/Others/others_forest.png", .kind = Picture},
    {.path = "Assets/Sprites/Others/others_nexus.png", .kind = Picture},
    {.path = "Assets/Sprites/Others/others_towerplacement.png", .kind = Picture},
    {.path = "Assets/Sprites/Others/others_currency.png", .kind = Picture},
    {.path = "Assets/Sprites/Particles/particles_tower_1.png", .kind = Picture},
    {.path = "Assets/Sprites/Enemies/enemy_skeleton_2.png", .kind = Picture},
    {.path = "Assets/Sprites/Enemies/enemy_goblin_2.png", .kind = Picture},
    {.path = "Assets/Sprites/Enemies/enemy_orc_1.png", .kind = Picture},
    {.path = "Assets/Sprites/Enemies/enemy_wyvern_2.png", .kind = Picture},
    {.path = "Assets/Sprites/Heroes/hero_knight_2.png", .kind = Picture},
    {.path = "Assets/Sprites/Heroes/hero_mage_2.png", .kind = Picture},
    {.path = "Assets/Sprites/Heroes/hero_nobleman_2.png", .kind = Picture},
    {.path = "Assets/Sprites/Heroes/hero_thief_1.png", .kind = Picture},
    {.path = "Assets/Sprites/Heroes/hero_bard_1.png", .kind = Picture},
    {.path = "Assets/Sprites/Heroes/hero_hunter_1.png", .kind = Picture},
    {.path = "Assets/Sprites/Heroes/hero_thief_2.png", .kind = Picture},
    {.path = "Assets/Sprites/Heroes/hero_bard_2.png", .kind = Picture},
    {.path = "Assets/Sprites/Heroes/hero_hunter_2.png", .kind = Picture},
    {.path = "Assets/Sprites/Heroes/Animations/Hunter/hero_hunter_spritesheet", .kind = AnimationSheet},
    {.path = "Assets/Sprites/Heroes/Animations/Hunter/hero_hunter_spritesheet.png", .kind = Picture},
    {.path = "Assets/Sprites/Heroes/Animations/Bard/hero_bard_spritesheet", .kind = AnimationSheet},
    {.path = "Assets/Sprites/Heroes/Animations/Bard/hero_bard_spritesheet.png", .kind = Picture},
    {.path = "Assets/Sprites/Heroes/Animations/Thief/hero_thief_spritesheet", .kind = AnimationSheet},
    {.path = "Assets/Sprites/Heroes/Animations/Thief/hero_thief_spritesheet.png", .kind = Picture},
    {.path = "Assets/Audio/Music/music_mainmenu.wav", .kind = Sound},
    {.path = "Assets/Audio/Music/music_level.wav", .kind = Sound},
    {.path = "Assets/Audio/SFX/sfx_click.wav", .kind = Sound},
    {.path = "Assets/Audio/SFX/sfx_skeleton.wav", .kind = Sound},
    {.path = "Assets/Audio/SFX/sfx_goblin.wav", .kind = Sound},
    {.path = "Assets/Audio/SFX/sfx_orc.wav", .kind = Sound},
    {.path = "Assets/Audio/SFX/sfx_wyvern.wav", .kind = Sound},
    {.path = "Assets/Audio/SFX/sfx_hunter.mp3", .kind = Sound},
    {.path = "Assets/Audio/SFX/sfx_bard.wav", .kind = Sound},
    {.path = "Assets/Audio/SFX/sfx_thief.wav", .kind = Sound},
    {.path = "Assets/Audio/SFX/test_audio.wav", .kind = Sound},
};
const size_t GAME_ASSET_COUNT = sizeof GAME_ASSETS / sizeof GAME_ASSETS[0];

static void CheckOpens(const char* path)
{
    if (FILE* file = fopen(path, "rb")) {
        fclose(file);
    } else {
        LEReportLoadFailure("Cannot open %s: %s", path, strerror(errno));
    }
}

static void CheckOne(const AssetFile& file)
{
    switch (file.kind) {
    case Picture: LETextureCheckFile(file.path); break;
    case Font: LEFontCheckFile(file.path); break;
    case Sound:
        if (LEAudioIsOn()) {
            AudioCheck(file.path);
        } else {
            CheckOpens(file.path);
        }
        break;
    case AnimationSheet: {
        AnimationSheetDesc desc;
        ReadAnimationSheet(file.path, &desc);
        break;
    }
    }
}

std::vector<std::string> CheckAssetFiles(const AssetFile* files, size_t count)
{
    LEGatherLoadFailures(true);
    for (size_t i = 0; i < count; ++i) CheckOne(files[i]);
    LEGatherLoadFailures(false);
    return LETakeLoadFailures();
}

void ReportBadAssetFiles(const std::vector<std::string>& refusals)
{
    if (refusals.empty()) return;
    std::string text = refusals.size() == 1 ? "One of the game's files is missing or damaged"
                                            : std::to_string(refusals.size()) +
                                                  " of the game's files are missing or damaged";
    text += "; the game goes on without them, but pictures, texts or sounds may be missing.\n"
            "Reinstalling the game puts them back.\n";
    for (const std::string& line : refusals) text += "\n" + line;
    LEPlatformMessageBox(LE_MESSAGE_WARNING, "Ember Bastion: damaged files", text.c_str());
}
