// BenchClock: the benchmarks' two clocks and their summaries. Wall time is what
// the player waits; process CPU time counts every thread of the process, the GL
// driver's own included (Mesa's software renderer draws on worker threads).
// `FinishFrame` waits for GL to finish, so a draw is measured with the driver's
// work rather than only its submission.
#pragma once

#include <GL/glew.h>

#include <algorithm>
#include <ctime>
#include <vector>

#include <src/LEGraphicsOGL.h>

struct BenchInstant {
    double wall, cpu, threadCpu;  // seconds
};

inline double BenchSeconds(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

inline BenchInstant BenchNow()
{
    return {BenchSeconds(CLOCK_MONOTONIC), BenchSeconds(CLOCK_PROCESS_CPUTIME_ID), BenchSeconds(CLOCK_THREAD_CPUTIME_ID)};
}

// Milliseconds of wall, process CPU and this thread's CPU time since `start`.
struct BenchSpan {
    double wallMs, cpuMs, threadCpuMs;
};

inline BenchSpan BenchSince(BenchInstant start)
{
    const BenchInstant now = BenchNow();
    return {(now.wall - start.wall) * 1000.0, (now.cpu - start.cpu) * 1000.0,
            (now.threadCpu - start.threadCpu) * 1000.0};
}

// Everything queued so far, batched quads included, drawn to the end. Handed
// over first, as the frame's end does, so that a driver with a thread of its
// own does the work there rather than on this thread while it waits.
inline void FinishFrame()
{
    LEGraphicsFlush();
    glFlush();
    glFinish();
}

inline double BenchMedian(std::vector<double> values)
{
    if (values.empty()) return 0.0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

inline double BenchMean(const std::vector<double>& values)
{
    double sum = 0.0;
    for (double v : values) sum += v;
    return values.empty() ? 0.0 : sum / double(values.size());
}
