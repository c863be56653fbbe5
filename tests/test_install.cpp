// The game away from its source tree, started from an empty folder as a desktop
// menu starts it: installed by `cmake --install` into a fresh prefix, unpacked
// from the Debian package that cpack makes, and the build tree's own program.
// Each finds its files, reaches the main menu with every file read and closes
// cleanly, without a leak report.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

#include "X11Probe.h"

namespace fs = std::filesystem;

namespace {

// Runs a shell command with its output in `log`: true when it exits with 0.
bool Shell(const std::string& command, const fs::path& log)
{
    return system((command + " > \"" + log.string() + "\" 2>&1").c_str()) == 0;
}

std::string Quoted(const fs::path& path) { return "\"" + path.string() + "\""; }

// Starts `program` in `folder`, waits for the live main menu, closes the window
// as a window manager does and expects a clean exit that read every file from
// `dataRoot`. Its output goes to `logs`/<name>.out and .err; `pid` is the
// fixture's, so that TearDown kills a program a failed check left running.
void PlayToTheMainMenu(const fs::path& program, const fs::path& folder, const fs::path& dataRoot,
                       const fs::path& logs, const std::string& name, pid_t& pid)
{
    const fs::path out = logs / (name + ".out"), err = logs / (name + ".err");
    pid = StartProgram(program.string(), folder, out, err);
    X11Window window;
    // The logo cards are over (they end by themselves after about ten seconds),
    // the Play button's grey shows left of its label, and the menu has begun
    // writing the pointer's position, which it does each frame once its buttons
    // take clicks. (The frame that first draws them does not write yet.)
    const auto menuLive = [&out](const X11Window& w) {
        return w.width == 1920 && X11WindowPixel(w, 180, 640) == 0xB2BEB5 && !ReadFile(out).empty();
    };
    if (!X11WaitForWindow(pid, "Ember Bastion", menuLive, 80, &window)) {
        const int code = WaitExit(pid, 0);
        if (code != -1) pid = -1;
        // Exit code 1 means another copy of the game holds the single-instance lock.
        FAIL() << name << ": no live main menu (exit code " << code << ", -1 while it runs)\n" << ReadFile(err);
    }
    ASSERT_TRUE(X11CloseWindow(window));
    EXPECT_EQ(WaitExit(pid, 30), 0) << name;
    pid = -1;

    const std::string errors = ReadFile(err);
    EXPECT_NE(errors.find("Using the game's files in " + dataRoot.string() + "\n"), std::string::npos)
        << name << "\n" << errors;
    EXPECT_EQ(errors.find("Cannot"), std::string::npos) << name << "\n" << errors;
    EXPECT_EQ(errors.find("NOT ALL RESOURCES"), std::string::npos) << name << ": a clean close leaves no leak report";
}

class InstalledGame : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_DISPLAY();
        char folder[] = "/tmp/eb_install_XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        root = fs::canonical(folder);
        elsewhere = root / "home";
        fs::create_directory(elsewhere);
    }
    void TearDown() override
    {
        KillProgram(pid);
        std::error_code ignored;
        if (!root.empty()) fs::remove_all(root, ignored);
    }
    fs::path root, elsewhere;
    pid_t pid = -1;
};

// The build tree's program then does the same from the same empty folder: it
// finds no files there or beside itself and falls back on the source tree it was
// built from (unless the game is installed where the build was configured to).
TEST_F(InstalledGame, StartsFromAnotherFolderAndReachesTheMainMenu)
{
    const fs::path prefix = root / "prefix";
    ASSERT_TRUE(Shell("\"" EB_CMAKE "\" --install \"" EB_BINARY_DIR "\" --prefix " + Quoted(prefix),
                    root / "install.log"))
        << ReadFile(root / "install.log");
    EXPECT_FALSE(fs::exists(prefix / "games")) << "only the Debian package puts the program in games/";
    ASSERT_NO_FATAL_FAILURE(
        PlayToTheMainMenu(prefix / "bin/EmberBastion", elsewhere, prefix / "share/ember-bastion", root, "installed", pid));

    const fs::path configured = EB_INSTALLED_DATA_DIR;
    const fs::path buildTreeRoot =
        fs::is_directory(configured / "Assets") ? fs::canonical(configured) : fs::canonical(EB_SOURCE_DIR);
    ASSERT_NO_FATAL_FAILURE(
        PlayToTheMainMenu(EB_BINARY_DIR "/EmberBastion", elsewhere, buildTreeRoot, root, "build_tree", pid));
}

// cpack's Debian package, unpacked with dpkg under a scratch root: the game in
// usr/games finds its files in usr/share/ember-bastion by the relative path it
// was built with, as it does in /usr once installed.
TEST_F(InstalledGame, DebianPackageHoldsTheGameAndItsEntriesAndRuns)
{
    const fs::path packages = root / "packages", unpacked = root / "unpacked";
    ASSERT_TRUE(Shell("\"" EB_CPACK "\" -G DEB --config \"" EB_BINARY_DIR "/CPackConfig.cmake\" -B " + Quoted(packages),
                    root / "cpack.log"))
        << ReadFile(root / "cpack.log");
    fs::path deb;
    for (const fs::directory_entry& entry : fs::directory_iterator(packages))
        if (entry.path().extension() == ".deb") {
            EXPECT_TRUE(deb.empty()) << "one package: " << deb << " and " << entry.path();
            deb = entry.path();
        }
    ASSERT_FALSE(deb.empty()) << ReadFile(root / "cpack.log");
    EXPECT_EQ(deb.filename().string().rfind("ember-bastion_", 0), 0u) << deb;
    ASSERT_TRUE(Shell("dpkg -x " + Quoted(deb) + " " + Quoted(unpacked), root / "dpkg.log")) << ReadFile(root / "dpkg.log");

    // The program only in usr/games; the files, the entries and the icon in usr/share.
    const fs::path usr = unpacked / "usr", share = usr / "share";
    EXPECT_TRUE(fs::is_regular_file(usr / "games/EmberBastion"));
    EXPECT_FALSE(fs::exists(usr / "bin"));
    EXPECT_TRUE(fs::is_directory(share / "ember-bastion/Assets"));
    EXPECT_TRUE(fs::is_regular_file(share / "icons/hicolor/256x256/apps/ember-bastion.png"));
    const fs::path metainfo = share / "metainfo/io.github.emberbastion.EmberBastion.metainfo.xml";
    ASSERT_TRUE(fs::is_regular_file(metainfo));
    const std::string desktop = ReadFile(share / "applications/io.github.emberbastion.EmberBastion.desktop");
    EXPECT_NE(desktop.find("Exec=\"/usr/games/EmberBastion\"\n"), std::string::npos) << desktop;
    // The game is its only program: the tests, benchmarks and fuzz drivers stay behind.
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(unpacked)) {
        if (entry.is_regular_file() && (entry.status().permissions() & fs::perms::owner_exec) != fs::perms::none) {
            EXPECT_EQ(entry.path(), usr / "games/EmberBastion");
        }
    }
    // The libraries it needs come from dpkg-shlibdeps.
    ASSERT_TRUE(Shell("dpkg-deb -f " + Quoted(deb) + " Depends", root / "depends.log"));
    EXPECT_NE(ReadFile(root / "depends.log").find("libsdl2"), std::string::npos) << ReadFile(root / "depends.log");

    if (system("command -v appstreamcli > /dev/null 2>&1") == 0) {
        EXPECT_TRUE(Shell("appstreamcli validate --no-net " + Quoted(metainfo), root / "appstream.log"))
            << ReadFile(root / "appstream.log");
    } else {
        std::cout << "appstreamcli is missing (Debian package appstream): the AppStream entry is not validated\n";
    }

    // Debian's checks: no error, and no warning the package's overrides do not explain.
    if (system("command -v lintian > /dev/null 2>&1") == 0) {
        EXPECT_TRUE(Shell("lintian --fail-on error,warning " + Quoted(deb), root / "lintian.log"))
            << ReadFile(root / "lintian.log");
    } else {
        std::cout << "lintian is missing (Debian package lintian): the package is not checked\n";
    }
    // One licence everywhere it is stated: the LICENSE file's zlib, the fonts' OFL.
    EXPECT_NE(ReadFile(EB_SOURCE_DIR "/LICENSE").find("zlib licence"), std::string::npos);
    EXPECT_NE(ReadFile(metainfo).find("<project_license>Zlib AND OFL-1.1</project_license>"), std::string::npos);
    const std::string copyright = ReadFile(share / "doc/ember-bastion/copyright");
    EXPECT_NE(copyright.find("Files: *\nCopyright: 2026 Ember Bastion developers\nLicense: Zlib\n"), std::string::npos)
        << copyright;

    ASSERT_NO_FATAL_FAILURE(PlayToTheMainMenu(usr / "games/EmberBastion", elsewhere, share / "ember-bastion", root,
                                              "packaged", pid));
}

}  // namespace
