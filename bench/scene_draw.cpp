// Scene drawing: 2,000 textured objects and 100 labels through the real frame
// loop in a 1920 x 1080 window. Prints the process CPU milliseconds per frame of
// the update pass, of the whole draw (the draw pass and the driver's work to the
// end, GL finished) and of rebuilding all label texts, and the number of C++
// heap allocations in a steady frame (target 0; the GL driver's own allocations
// are not counted).
#include <LEGameState.h>
#include <LEInput.h>
#include <LESystem.h>
#include <objects/Camera2D.h>
#include <objects/GameObject.h>
#include <objects/TextLabel.h>
#include <src/LEFont.h>
#include <src/LEGraphicsOGL.h>
#include <src/LEPlatform.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "BenchClock.h"

static size_t allocations = 0;

void* operator new(size_t size)
{
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

static constexpr int OBJECTS = 2000, LABELS = 100, FRAMES = 600, WARMUP = 60;

static struct {
    Camera2D* camera = nullptr;
    LEMesh* quad = nullptr;
    LETexture* texture = nullptr;
    LEFont* font = nullptr;
    std::vector<double> updateMs, drawMs, rebuildMs;
    std::vector<size_t> steadyAllocations;
    size_t frameStartAllocations = 0;
    int frame = 0;
} bench;

// A simple object that drifts, so the update pass has work to do.
struct Drifter : GameObject {
    float speed = 0.0f;
    void Update() override
    {
        transform.position.x += speed * float(LEFrameTime());
        if (transform.position.x > 960.0f) transform.position.x = -960.0f;
    }
};

static void Load()
{
    bench.camera = new Camera2D;
    bench.quad = CreateUnitQuadMesh(0xFFFFFFFF);
    std::vector<uint8_t> pixels(64 * 64 * 4);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(i * 7);
    bench.texture = LETextureCreate(64, 64, pixels.data());
    bench.font = LEFontLoad("Assets/Fonts/arial.ttf", 20, 1.0f);
}

static void Init()
{
    for (int i = 0; i < OBJECTS; ++i) {
        Drifter* d = new Drifter;
        d->speed = float(20 + i % 50);
        AddObject(objectList, d, uint32_t(i % 16), "Drifter", float(i % 40) * 48.0f - 940.0f,
                  float(i / 40) * 21.0f - 520.0f, 40, 40, 1.5707964f, bench.quad, bench.texture);
    }
    LoadAllObjects();
    for (int i = 0; i < LABELS; ++i) {
        TextLabel* label = AddTextLabel(new TextLabel(bench.font, TransformMakeValues(float(i % 10) * 180.0f - 800.0f,
                                                      float(i / 10) * 100.0f - 450.0f, 1, 1, 0), "", uint32_t(i), 0xFFFFFFFF));
        SetLabelText(label, "Label " + std::to_string(i));
    }
}

static void Update()
{
    bench.frameStartAllocations = allocations;
    const BenchInstant start = BenchNow();
    UpdateScene();
    if (bench.frame >= WARMUP) bench.updateMs.push_back(BenchSince(start).cpuMs);

    // Every tenth frame all labels change their text, as counters do.
    if (bench.frame % 10 == 5) {
        const BenchInstant rebuild = BenchNow();
        for (TextLabel* label : textList) SetLabelText(label, "Gold: " + std::to_string(bench.frame + int(label->id)));
        bench.rebuildMs.push_back(BenchSince(rebuild).cpuMs);
    }
    if (++bench.frame >= FRAMES + WARMUP) nextState = STATE_QUIT;
}

static void Draw()
{
    const BenchInstant start = BenchNow();
    DrawScene(bench.camera);
    FinishFrame();
    if (bench.frame > WARMUP) bench.drawMs.push_back(BenchSince(start).cpuMs);
    // Steady frames: past the warm-up and not a text-change frame.
    if (bench.frame > WARMUP && bench.frame % 10 != 6)
        bench.steadyAllocations.push_back(allocations - bench.frameStartAllocations);
}

static void Free()
{
    FreeAllObjects();
    FreeAllTextLabels();
}

static void Unload()
{
    delete bench.camera;
    LEMeshFree(bench.quad);
    LETextureUnload(bench.texture);
    LEFontFree(bench.font);
}

int main()
{
    if (!LEPlatformStart() || !LESystemStart("Ember Bastion scene draw", 0, 0, 1920, 1080) || !LEGraphicsStart()) {
        fprintf(stderr, "scene draw: no display with OpenGL 3.3\n");
        return 2;
    }
    LEInputReset();
    LESystemResetFrameTiming();
    LEMaxFrameRate = 1000.0;  // measure the work, not the frame cap
    // The bench's own records must not count as the frame's allocations.
    for (auto* v : {&bench.updateMs, &bench.drawMs, &bench.rebuildMs}) v->reserve(FRAMES + WARMUP);
    bench.steadyAllocations.reserve(FRAMES + WARMUP);
    LEGameStateAdd(1, Load, Init, Update, Draw, Free, Unload);
    nextState = currentState = 1;
    LEGameStateSelect();
    LEGameLoopRun();

    size_t maxAllocations = 0;
    for (size_t a : bench.steadyAllocations) maxAllocations = std::max(maxAllocations, a);
    printf("%d objects, %d labels, %d frames\n", OBJECTS, LABELS, FRAMES);
    printf("update pass        %.3f CPU ms per frame (median)\n", BenchMedian(bench.updateMs));
    printf("whole draw         %.3f CPU ms per frame (median, GL finished)\n", BenchMedian(bench.drawMs));
    printf("text rebuild       %.3f CPU ms for all %d labels (median)\n", BenchMedian(bench.rebuildMs), LABELS);
    printf("heap allocations   %zu per steady frame at most (target 0)\n", maxAllocations);

    LEGraphicsShutdown();
    LEPlatformShutdown();
    return 0;
}
