// The real program as a process under X: it opens its window in full screen,
// clears it to the menu colour, refuses a second copy and exits 0 when its window
// is closed, without a leak report.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
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

// The window has gone full screen and shows the main menu's green: start-up is
// over, the single-instance lock is taken and the frame loop runs.
testing::AssertionResult WaitForMainMenu(X11Window* window, int seconds)
{
    bool found = false;
    uint32_t pixel = 0;
    for (int i = 0; i < seconds * 10; ++i) {
        found = X11FindWindow("Ember Bastion", window);
        pixel = found ? X11WindowPixel(*window, window->width / 2, window->height / 2) : 0;
        if (found && window->x == 0 && window->width == 1920 && pixel == 0x014421)
            return testing::AssertionSuccess();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (system("xwininfo -root -tree | grep -i ember >&2; ps aux | grep -i [E]mberB >&2") != 0) {}
    return testing::AssertionFailure() << (found ? "window" : "no window") << " at " << window->x << ","
                                       << window->y << " size " << window->width << "x" << window->height
                                       << " centre pixel 0x" << std::hex << pixel;
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
TEST_F(ProgramTest, OpensFullScreenRefusesASecondCopyOutlivesACrashAndClosesCleanly)
{
    first = Start("/tmp/eb_program_crash.log");
    X11Window window;
    // Full screen: a borderless window the size of the display at its corner,
    // cleared to the main menu's deep green.
    ASSERT_TRUE(WaitForMainMenu(&window, 30)) << ReadFile(first.errPath);
    EXPECT_EQ(window.y, 0);
    EXPECT_EQ(window.height, 1080);

    second = Start("/tmp/eb_program_second.log");
    const int secondExit = WaitExit(second.pid, 30);
    if (secondExit != -1) second.pid = -1;
    EXPECT_EQ(secondExit, 1) << ReadFile(second.errPath);
    EXPECT_EQ(WaitExit(first.pid, 0), -1) << "the first copy must keep running";
    kill(first.pid, SIGKILL);
    waitpid(first.pid, nullptr, 0);

    first = Start("/tmp/eb_program_first.log");
    // The killed copy's window may linger for a moment; wait for the new one.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(WaitForMainMenu(&window, 30)) << ReadFile(first.errPath);
    EXPECT_EQ(WaitExit(first.pid, 1), -1) << "a new copy must run after a crash";
    ASSERT_TRUE(X11CloseWindow(window));
    EXPECT_EQ(WaitExit(first.pid, 30), 0);
    first.pid = -1;
    const std::string log = ReadFile("/tmp/eb_program_first.log");
    EXPECT_EQ(log.find("NOT ALL RESOURCES"), std::string::npos) << log;
}

TEST(ProgramWithoutDisplay, SaysWhyAndExitsNonZero)
{
    const Process p = Start("/tmp/eb_program_nodisplay.log", true);
    EXPECT_EQ(WaitExit(p.pid, 30), 2);
    EXPECT_NE(ReadFile("/tmp/eb_program_nodisplay.log").find("display"), std::string::npos);
}

}  // namespace
