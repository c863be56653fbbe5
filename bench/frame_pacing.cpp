// Frame pacing: the real frame loop with an empty state for five seconds in a
// 1920 x 1080 full-screen window. Prints frames per second, the median, 99th
// percentile and largest frame time, and the share of one core the process used.
// Targets: 59-63 fps, p99 < 18 ms, max < 25 ms, under 20% of a core.
#include <LEGameState.h>
#include <LEInput.h>
#include <LESystem.h>
#include <src/LEGraphicsOGL.h>
#include <src/LEPlatform.h>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

static std::vector<double> frameTimes;
static double startClock = 0.0;
static constexpr double RUN_SECONDS = 5.0;

static double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

static void Update()
{
    // The first frames include the window's first exposure; measure from the third.
    if (LEFrameCounter() == 2) startClock = LEClockSeconds();
    if (LEFrameCounter() > 2) frameTimes.push_back(LEFrameTime());
    if (startClock > 0.0 && LEClockSeconds() - startClock >= RUN_SECONDS) nextState = STATE_QUIT;
}

int main()
{
    if (!LEPlatformStart() || !LESystemStart("Ember Bastion frame pacing", 100, 100, 1920, 1080) ||
        !LEGraphicsStart()) {
        fprintf(stderr, "frame pacing: no display with OpenGL 3.3\n");
        return 2;
    }
    LEInputReset();
    LEGamepadReset();
    LESystemResetFrameTiming();
    LEWindowSetFullscreen(true);
    LEGraphicsSetBackgroundColor(0xFF014421);

    LEGameStateAdd(1, nullptr, nullptr, Update, nullptr, nullptr, nullptr);
    nextState = currentState = 1;
    LEGameStateSelect();
    const double cpuBefore = CpuSeconds();
    LEGameLoopRun();
    const double wall = LEClockSeconds() - startClock;
    const double cpu = CpuSeconds() - cpuBefore;

    std::vector<double> sorted = frameTimes;
    std::sort(sorted.begin(), sorted.end());
    const auto at = [&](double q) { return sorted[std::min(sorted.size() - 1, size_t(q * double(sorted.size())))]; };
    printf("window %ux%u, %zu frames in %.2f s\n", LEWindowWidth(), LEWindowHeight(), frameTimes.size(), wall);
    printf("frames per second   %.2f   (target 59-63)\n", double(frameTimes.size()) / wall);
    printf("median frame time   %.2f ms\n", at(0.5) * 1000.0);
    printf("99th percentile     %.2f ms (target < 18)\n", at(0.99) * 1000.0);
    printf("max frame time      %.2f ms (target < 25)\n", sorted.back() * 1000.0);
    printf("CPU use             %.1f%% of one core (target < 20%%)\n", 100.0 * cpu / wall);

    LEGraphicsShutdown();
    LEPlatformShutdown();
    return 0;
}
