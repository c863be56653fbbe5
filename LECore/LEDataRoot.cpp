// LEDataRoot: the search for the game's files (see LEDataRoot.h).
#include "LEDataRoot.h"

#include <filesystem>  // Required for: is_directory, canonical, current_path

#include "src/LEPlatform.h"

namespace fs = std::filesystem;

std::string LEDataRootSelect(const LEDataRootPlaces& places)
{
    const std::string program = LEPlatformProgramFolder();
    // Without a program folder the relative candidates would fall back on the
    // working directory; leave them out instead.
    const auto besideProgram = [&program](const char* relative) {
        return program.empty() || !relative ? std::string() : program + relative;
    };
    const std::string candidates[] = {".",
                                      program,
                                      besideProgram(places.fromProgram[0]),
                                      besideProgram(places.fromProgram[1]),
                                      places.installed ? places.installed : "",
                                      places.source ? places.source : ""};
    for (const std::string& folder : candidates) {
        std::error_code error;
        if (folder.empty() || !fs::is_directory(fs::path(folder) / places.marker, error)) continue;
        const fs::path root = fs::canonical(folder, error);
        if (error) continue;
        fs::current_path(root, error);
        if (!error) return root.string();
    }
    return {};
}
