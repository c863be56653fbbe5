// sprites: N moving textured objects (32 x 32 pixels, or the size given) through
// the scene's update and draw passes in the engine's own frame loop, with no
// frame cap, at 1920 x 1080. Prints wall and process CPU milliseconds per frame
// over 300 frames after 30 warm-up frames, and the quad-batch draws per frame
// (and of those, the draws made last quad first over the depth buffer).
//
//     bench_sprites N [size in pixels] [0 to draw one quad at a time]
//
// The workload of the one-draw-per-quad yardstick: each object moves one pixel a
// frame to the right and wraps round at the edge.
#include <LEGameState.h>
#include <LEInput.h>
#include <LESystem.h>
#include <objects/Camera2D.h>
#include <objects/GameObject.h>
#include <src/LEGraphicsOGL.h>
#include <src/LEPlatform.h>
#include <src/LEQuadBatch.h>
#include <src/LETexture.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BenchClock.h"

static constexpr int FRAMES = 300, WARMUP = 30;

static struct {
    int count = 0;
    float size = 32.0f;
    Camera2D* camera = nullptr;
    LEMesh* quad = nullptr;
    LETexture* checker = nullptr;
    int frame = 0;
    BenchInstant frameStart{};
    std::vector<double> wallMs, cpuMs;
    uint64_t batchDrawsAtStart = 0, lastFirstAtStart = 0;
} bench;

struct Mover : GameObject {
    void Update() override
    {
        transform.position.x += 1.0f;
        if (transform.position.x > 944.0f) transform.position.x = -944.0f;
    }
};

static void Load()
{
    bench.camera = new Camera2D;
    bench.quad = CreateUnitQuadMesh(0xFFFFFFFF);
    std::vector<uint8_t> pixels(32 * 32 * 4);
    for (int i = 0; i < 32 * 32; ++i) {
        const bool red = (i / 8 + i / 256) & 1;
        const uint8_t texel[4] = {255, uint8_t(red ? 0 : 255), uint8_t(red ? 0 : 255), 255};
        std::copy(texel, texel + 4, &pixels[size_t(i) * 4]);
    }
    bench.checker = LETextureCreate(32, 32, pixels.data());
}

static void Init()
{
    srand(1);
    for (int i = 0; i < bench.count; ++i)
        AddObject(objectList, new Mover, 1, "Mover", float(rand() % 1888 - 944), float(rand() % 1048 - 524),
                  bench.size, bench.size, 0, bench.quad, bench.checker);
    LoadAllObjects();
}

// A frame runs from one Update to the next: passes, flush, present and the loop.
static void Update()
{
    if (bench.frame == WARMUP) {
        bench.batchDrawsAtStart = LEQuadBatchDrawCount();
        bench.lastFirstAtStart = LEQuadBatchLastFirstDrawCount();
    }
    if (bench.frame > WARMUP) {
        const BenchSpan span = BenchSince(bench.frameStart);
        bench.wallMs.push_back(span.wallMs);
        bench.cpuMs.push_back(span.cpuMs);
    }
    bench.frameStart = BenchNow();
    UpdateScene();
    if (++bench.frame > FRAMES + WARMUP) nextState = STATE_QUIT;
}

static void Draw()
{
    DrawScene(bench.camera);
    FinishFrame();
}

static void Free() { FreeAllObjects(); }

static void Unload()
{
    delete bench.camera;
    LEMeshFree(bench.quad);
    LETextureUnload(bench.checker);
}

int main(int argc, char** argv)
{
    bench.count = argc > 1 ? atoi(argv[1]) : 1000;
    bench.size = argc > 2 ? float(atof(argv[2])) : 32.0f;
    const bool batching = argc > 3 ? atoi(argv[3]) != 0 : true;
    if (!LEPlatformStart() || !LESystemStart("Ember Bastion sprites", 0, 0, 1920, 1080) || !LEGraphicsStart()) {
        fprintf(stderr, "sprites: no display with OpenGL 3.3\n");
        return 2;
    }
    LEInputReset();
    LESystemResetFrameTiming();
    LEMaxFrameRate = 1e6;  // no frame cap: measure the work
    LEGraphicsSetBatching(batching);
    bench.wallMs.reserve(FRAMES + 1);
    bench.cpuMs.reserve(FRAMES + 1);
    LEGameStateAdd(1, Load, Init, Update, Draw, Free, Unload);
    nextState = currentState = 1;
    LEGameStateSelect();
    LEGameLoopRun();

    printf("sprites n=%d size=%g %s wall_ms/frame=%.2f process_cpu_ms/frame=%.2f batch_draws/frame=%.1f "
           "last_first/frame=%.1f\n",
           bench.count, double(bench.size), batching ? "batched" : "one-by-one", BenchMean(bench.wallMs),
           BenchMean(bench.cpuMs), double(LEQuadBatchDrawCount() - bench.batchDrawsAtStart) / FRAMES,
           double(LEQuadBatchLastFirstDrawCount() - bench.lastFirstAtStart) / FRAMES);
    LEGraphicsShutdown();
    LEPlatformShutdown();
    return 0;
}
