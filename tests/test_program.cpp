// The real program as a process under X: it opens its window in full screen,
// clears it to the menu colour, refuses a second copy and runs again after a
// crash. (A clean close with no leak report: test_install.)
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <src/LEPlatform.h>

#include <chrono>
#include <cstring>
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
    EXPECT_NE(ReadFile(second.errPath).find("already running"), std::string::npos) << "a second copy says why";
    EXPECT_EQ(WaitExit(first.pid, 0), -1) << "the first copy must keep running";
    kill(first.pid, SIGKILL);
    waitpid(first.pid, nullptr, 0);

    first = Start("/tmp/eb_program_first.log");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the killed copy's window goes
    ASSERT_TRUE(X11WaitForWindow(first.pid, "Ember Bastion", MenuInFullScreen, 30, &window)) << ReadFile(first.errPath);
    EXPECT_EQ(WaitExit(first.pid, 1), -1) << "a new copy must run after a crash";
}

// Ended while the dialog about damaged files waits for an answer: asked to end
// (SIGTERM, as `timeout` or a desktop logout asks), the game ends within a
// second and exits as a normal close does; killed outright (SIGKILL, "Force
// Quit"), it ends at once. Either way the dialog goes with it, and the next
// start takes the single-instance lock and runs.
TEST_F(ProgramTest, EndsWithItsDialogAndFreesItsLockHoweverItIsEnded)
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

    const struct {
        int signal;
        int exitCode;  // as WaitExit gives it
    } endings[] = {{SIGTERM, 0}, {SIGKILL, 128}};
    const std::string title = "Ember Bastion: damaged files";
    for (const auto& [signal, exitCode] : endings) {
        SCOPED_TRACE(strsignal(signal));
        const std::string errPath = "/tmp/eb_program_dialog.log";
        first.pid = StartProgram(EB_PROGRAM, folder.string(), errPath, errPath, false, true);
        first.errPath = errPath;
        X11Window dialog;
        ASSERT_TRUE(X11WaitForWindow(first.pid, title, [](const X11Window&) { return true; }, 30, &dialog))
            << ReadFile(errPath);
        kill(first.pid, signal);
        EXPECT_EQ(WaitExit(first.pid, 10), exitCode) << ReadFile(errPath);
        first.pid = -1;
        bool dialogGone = false;
        for (int i = 0; i < 50 && !dialogGone; ++i) {
            dialogGone = !X11FindWindow(title, &dialog);
            if (!dialogGone) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        EXPECT_TRUE(dialogGone) << "the dialog outlived the game";

        second = Start("/tmp/eb_program_after_dialog.log");
        X11Window window;
        EXPECT_TRUE(X11WaitForWindow(second.pid, "Ember Bastion", MenuInFullScreen, 30, &window))
            << ReadFile(second.errPath);
        KillProgram(second.pid);
    }
    fs::remove_all(folder);
}

// A game stuck in a frame never reads a request to end: a second one ends the
// process at once, by the signal's default action.
TEST(ProgramSignals, ASecondRequestToEndEndsTheProcessAtOnce)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            LEPlatformStart();  // installs the handlers first, with or without a display
            raise(SIGTERM);
            fprintf(stderr, "the first request is only noted\n");
            raise(SIGTERM);
            _exit(0);
        },
        testing::KilledBySignal(SIGTERM), "the first request is only noted");
}

TEST(ProgramWithoutDisplay, SaysWhyAndExitsNonZero)
{
    const Process p = Start("/tmp/eb_program_nodisplay.log", true);
    EXPECT_EQ(WaitExit(p.pid, 30), 2);
    EXPECT_NE(ReadFile("/tmp/eb_program_nodisplay.log").find("display"), std::string::npos);
}

}  // namespace
