// LEDataRoot: finds the folder that holds the game's files (the one with the
// "Assets" folder in it) and makes it the working directory, once, at start-up.
// Owns nothing afterwards. Called by GameMain before anything is loaded.
//
// Why a change of working directory rather than a prefix in every loader: the
// game names its files by literal relative paths ("Assets/...") in its tables,
// its fonts, its sheets and its start-up check, and the tests and fuzz drivers
// use the same paths. One chdir makes every one of them right, and no loader,
// table or test has to know where the files live. The game opens no other
// relative path (it takes no arguments and writes no file), so nothing else
// changes meaning.
#pragma once

#include <string>

struct LEDataRootPlaces {
    const char* marker;          // the folder that must be there: "Assets"
    const char* fromProgram[2];  // installed trees, relative to the program's folder: from bin/ after
                                 // `cmake --install` and from games/ in the Debian package (the same
                                 // "../share/ember-bastion" in the usual layout); null when unused
    const char* installed;       // the folder the build installs the files to (absolute)
    const char* source;          // the source tree the program was built from (absolute): lets a
                                 // build-tree program started from anywhere find its files
};

// Tries in order the working directory, the program's own folder, the
// program's folder followed by each fromProgram, installed and last source, so
// an installed copy always finds its own files before the source tree. The
// first that holds the marker folder becomes the working directory and its
// absolute path is returned. Empty when none holds it; the working directory
// is then unchanged.
std::string LEDataRootSelect(const LEDataRootPlaces& places);
