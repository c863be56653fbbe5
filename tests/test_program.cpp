// The real program as a process under X: it opens its window in full screen,
// clears it to the menu colour, refuses a second copy and runs again after a
// crash. (A clean close with no leak report: test_install.)
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "X11Probe.h"

namespace {

struct Process {
    pid_t pid = -1;
    std::string errPath;
};

// The program from the source folder, its output and errors in one file.
Process Start(const std::string& errPath, bool withoutDisplay = false)
{
    return {StartProgram(EB_PROGRAM, EB_SOURCE_DIR, errPath, errPath, withoutDisplay), errPath};
}

// Full screen: a borderless window the size of the display at its corner, cleared
// to the main menu's deep green. Start-up is over, the single-instance lock is
// taken and the frame loop runs.
bool MenuInFullScreen(const X11Window& w)
{
    return w.x == 0 && w.y == 0 && w.width == 1920 && w.height == 1080 &&
           X11WindowPixel(w, w.width / 2, w.height / 2) == 0x014421;
}

class ProgramTest : public testing::Test {
protected:
    void SetUp() override { REQUIRE_DISPLAY(); }
    void TearDown() override
    {
        KillProgram(first.pid);
        KillProgram(second.pid);
    }
    Process first, second;
};

// A crashed copy (killed, its lock never given back) does not lock the game out.
TEST_F(ProgramTest, OpensFullScreenRefusesASecondCopyAndOutlivesACrash)
{
    first = Start("/tmp/eb_program_crash.log");
    X11Window window;
    ASSERT_TRUE(X11WaitForWindow(first.pid, "Ember Bastion", MenuInFullScreen, 30, &window))
        << window.x << "," << window.y << " " << window.width << "x" << window.height << "\n" << ReadFile(first.errPath);

    second = Start("/tmp/eb_program_second.log");
    const int secondExit = WaitExit(second.pid, 30);
    if (secondExit != -1) second.pid = -1;
    EXPECT_EQ(secondExit, 1) << ReadFile(second.errPath);
    EXPECT_EQ(WaitExit(first.pid, 0), -1) << "the first copy must keep running";
    kill(first.pid, SIGKILL);
    waitpid(first.pid, nullptr, 0);

    first = Start("/tmp/eb_program_first.log");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the killed copy's window goes
    ASSERT_TRUE(X11WaitForWindow(first.pid, "Ember Bastion", MenuInFullScreen, 30, &window)) << ReadFile(first.errPath);
    EXPECT_EQ(WaitExit(first.pid, 1), -1) << "a new copy must run after a crash";
}

// Asked to end (SIGTERM, as `timeout` or a desktop logout asks) while the
// dialog about damaged files waits for an answer, the game ends within a second,
// the dialog with it, and exits as a normal close does.
TEST_F(ProgramTest, EndsOnRequestEvenWithADialogUp)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("eb_program_dialog_" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    // The game's files as links, but for one damaged picture.
    const fs::path assets = fs::path(EB_SOURCE_DIR) / "Assets";
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(assets)) {
        const fs::path copy = folder / "Assets" / fs::relative(entry.path(), assets);
        if (entry.is_directory())
            fs::create_directories(copy);
        else
            fs::create_symlink(entry.path(), copy);
    }
    const fs::path damaged = folder / "Assets/Logos/team_logo.png";
    fs::remove(damaged);
    std::ofstream(damaged) << "not a picture";

    const std::string errPath = "/tmp/eb_program_dialog.log";
    first.pid = StartProgram(EB_PROGRAM, folder.string(), errPath, errPath, false, true);
    first.errPath = errPath;
    X11Window dialog;
    const std::string title = "Ember Bastion: damaged files";
    ASSERT_TRUE(X11WaitForWindow(first.pid, title, [](const X11Window&) { return true; }, 30, &dialog))
        << ReadFile(errPath);
    kill(first.pid, SIGTERM);
    EXPECT_EQ(WaitExit(first.pid, 10), 0) << ReadFile(errPath);
    first.pid = -1;
    EXPECT_FALSE(X11FindWindow(title, &dialog)) << "the dialog outlived the game";
    fs::remove_all(folder);
}

TEST(ProgramWithoutDisplay, SaysWhyAndExitsNonZero)
{
    const Process p = Start("/tmp/eb_program_nodisplay.log", true);
    EXPECT_EQ(WaitExit(p.pid, 30), 2);
    EXPECT_NE(ReadFile("/tmp/eb_program_nodisplay.log").find("display"), std::string::npos);
}

}  // namespace
