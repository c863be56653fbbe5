// The installed game: `cmake --install` into a fresh prefix, then the installed
// program started from an empty folder, as a desktop menu starts it, finds its
// files in the prefix, reaches the main menu with every file read and closes
// cleanly, without a leak report.
#include <gtest/gtest.h>

#include <filesystem>

#include "X11Probe.h"

namespace fs = std::filesystem;

namespace {

class InstalledGame : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_DISPLAY();
        char folder[] = "/tmp/eb_install_XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        root = fs::canonical(folder);
    }
    void TearDown() override
    {
        KillProgram(pid);
        std::error_code ignored;
        if (!root.empty()) fs::remove_all(root, ignored);
    }
    fs::path root;
    pid_t pid = -1;
};

TEST_F(InstalledGame, StartsFromAnotherFolderAndReachesTheMainMenu)
{
    const fs::path prefix = root / "prefix", elsewhere = root / "home";
    fs::create_directory(elsewhere);
    const std::string install = std::string("\"") + EB_CMAKE + "\" --install \"" + EB_BINARY_DIR + "\" --prefix \"" +
                                prefix.string() + "\" > \"" + (root / "install.log").string() + "\" 2>&1";
    ASSERT_EQ(system(install.c_str()), 0) << ReadFile(root / "install.log");

    const fs::path out = root / "stdout.log", err = root / "stderr.log";
    pid = StartProgram((prefix / "bin/EmberBastion").string(), elsewhere, out, err);
    X11Window window;
    // The logo cards are over (they end by themselves after about ten seconds),
    // the Play button's grey shows left of its label, and the menu has begun
    // writing the pointer's position, which it does each frame once its buttons
    // take clicks. (The frame that first draws them does not write yet.)
    const auto menuLive = [&out](const X11Window& w) {
        return w.width == 1920 && X11WindowPixel(w, 180, 640) == 0xB2BEB5 && !ReadFile(out).empty();
    };
    // Exit code 1 here means another copy of the game holds the single-instance lock.
    ASSERT_TRUE(X11WaitForWindow(pid, "Ember Bastion", menuLive, 80, &window)) << ReadFile(err);
    ASSERT_TRUE(X11CloseWindow(window));
    EXPECT_EQ(WaitExit(pid, 30), 0);
    pid = -1;

    const std::string errors = ReadFile(err);
    EXPECT_NE(errors.find("Using the game's files in " + (prefix / "share/ember-bastion").string() + "\n"),
              std::string::npos) << errors;
    EXPECT_EQ(errors.find("Cannot"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("NOT ALL RESOURCES"), std::string::npos) << "a clean close leaves no leak report";
}

}  // namespace
