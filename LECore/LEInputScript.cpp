// LEInputScript: the queue of scripted player steps, played through the
// platform's input injection so the engine's own event pump reads them.
#include "LEInputScript.h"

#include <deque>
#include <iterator>

#include "src/LEPlatform.h"

namespace {

struct ScriptStep {
    std::string what;
    std::function<void()> act;
    std::function<bool()> done;
    int limit;
};

struct {
    std::deque<ScriptStep> steps;
    bool begun = false;  // the front step has acted and waits for its condition
    int frames = 0;      // frames the front step has waited
    std::string failure;
} script;

}  // namespace

void LEScriptAdd(std::string what, std::function<void()> act, std::function<bool()> done, int limit)
{
    script.steps.push_back({std::move(what), std::move(act), std::move(done), limit});
}

void LEScriptWaitFor(std::string what, std::function<bool()> done, int limit)
{
    LEScriptAdd(std::move(what), nullptr, std::move(done), limit);
}

void LEScriptIdle(int frames)
{
    for (int i = 0; i < frames; ++i) LEScriptAdd("idle", nullptr);
}

void LEScriptKeys(std::initializer_list<int> scancodes, int heldFrames)
{
    for (int key : scancodes) LEScriptAdd("key down", [key] { LEPlatformInjectKey(key, true); });
    LEScriptIdle(heldFrames - 1);
    for (auto key = std::rbegin(scancodes); key != std::rend(scancodes); ++key)
        LEScriptAdd("key up", [key = *key] { LEPlatformInjectKey(key, false); });
}

void LEScriptClick(int x, int y, int button, int heldFrames)
{
    LEScriptAdd("point", [x, y] { LEPlatformWarpMouse(x, y); });
    LEScriptAdd("press", [button] { LEPlatformInjectMouseButton(button, true); });
    LEScriptIdle(heldFrames - 1);
    LEScriptAdd("release", [button] { LEPlatformInjectMouseButton(button, false); });
}

bool LEScriptRun()
{
    if (!script.failure.empty() || script.steps.empty()) return false;
    ScriptStep& step = script.steps.front();
    if (!script.begun) {
        script.begun = true;
        script.frames = 0;
        if (step.act) step.act();
        if (step.done) return true;
    } else if (!step.done()) {
        if (++script.frames <= step.limit) return true;
        script.failure = step.what;
        return false;
    }
    script.steps.pop_front();
    script.begun = false;
    return true;
}

const std::string& LEScriptFailure() { return script.failure; }

size_t LEScriptStepsLeft() { return script.steps.size(); }

void LEScriptClear() { script = {}; }
