// AssetCheck: the list of every file the game reads, and the start-up check that
// opens and examines each one and reports all bad files in one message, so a
// player learns at once what is missing instead of meeting blank pictures and
// silent enemies one by one. Called by GameMain once the window, GL and sound are up.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

enum class AssetKind { Picture, Font, Sound, AnimationSheet };

struct AssetFile {
    const char* path;  // relative to the game's working directory
    AssetKind kind;
};

extern const AssetFile GAME_ASSETS[];
extern const size_t GAME_ASSET_COUNT;

// Checks each file the way its loader would take it, short of the slow part of
// loading (decoding pictures' pixels, baking fonts, converting sounds), and
// returns the refusals in the loaders' words, one line per bad file. Sounds are
// only opened while sound is off, as a silent game never decodes them. Damage
// that only decoding shows (picture data whose checksums hold but which does
// not inflate) is left to the load that needs the file, which says so then.
std::vector<std::string> CheckAssetFiles(const AssetFile* files, size_t count);

// Writes the refusals to standard error as one message, and shows it in a
// dialog when someone can answer it. Nothing when the list is empty.
void ReportBadAssetFiles(const std::vector<std::string>& refusals);
