// fuzz_sheet: libFuzzer target for the sprite-sheet description reader, on each
// input as a whole description. What it accepts must be playable: a grid that
// holds every frame and a duration for each.
#include <LELoadReport.h>
#include <objects/AnimationSheet.h>

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    LEGatherLoadFailures(true);  // refusals are expected by the million: keep them quiet
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    AnimationSheetDesc d;
    if (ParseAnimationSheet("input", std::string(reinterpret_cast<const char*>(data), size), &d)) {
        const bool playable = d.frameCount > 0 && d.rows > 0 && d.columns > 0 &&
                              d.durations.size() == d.frameCount && d.frameCount <= d.rows * d.columns;
        if (!playable) abort();
    }
    LETakeLoadFailures();
    return 0;
}
