// The screen crawler: walks every screen a player can reach, breadth first,
// through the real frame loop with injected input and a fixed frame time. Each
// state is reached again by replaying its path from a fresh start of its game
// state, then every input a player has there is tried, one per replay. After
// every input it checks that
//   1. the way on stays open: within four inputs some button reacts again, and
//      every open screen can be closed or left;
//   2. what takes a click is what is drawn on top at that point (its own label
//      aside; the credits pages count);
//   3. nothing of the field is drawn over an open panel;
//   4. one press does one thing;
//   5. every screen on the stack is shown.
// It prints what it walked and every violation with the path that leads to it.
// EB_CRAWL_DEPTH sends it deeper than six inputs.
#include <LEGameState.h>
#include <LEInput.h>
#include <LESystem.h>
#include <actors/Bard.h>
#include <actors/CharSel.h>
#include <actors/Enemy.h>
#include <actors/Hunter.h>
#include <actors/Player.h>
#include <actors/Shop.h>
#include <actors/Thief.h>
#include <actors/Tower.h>
#include <levels/Level.h>
#include <levels/LevelData.h>
#include <levels/LevelState.h>
#include <main/GameStates.h>
#include <menus/Credits.h>
#include <menus/HTPlay.h>
#include <menus/MainMenu.h>
#include <menus/Pause.h>
#include <menus/Settings.h>
#include <objects/Button.h>
#include <objects/Camera2D.h>
#include <objects/ProgBar.h>
#include <objects/Screens.h>
#include <objects/TextLabel.h>
#include <LEInputScript.h>
#include <src/LEPlatform.h>

#include <SDL2/SDL.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <tuple>
#include <set>
#include <sstream>

#include "TestEngine.h"

namespace {

constexpr int WINDOW_W = 480, WINDOW_H = 270;  // few pixels to fill: the crawl is about logic
constexpr int SETTLE_FRAMES = 2;               // frames after an input before its state is read
constexpr int DEAD_END_REACH = 4;              // inputs within which the way on must show
constexpr Vector2 FIELD_POINT{300, 60};        // a point of every level's field that nothing covers
constexpr Vector2 MENU_ZOOM{0.5f, 0.8888889f};

// ---------------------------------------------------------------------------
// Inputs
// ---------------------------------------------------------------------------
enum class Press { Click, EClick, RightClick, Key, CtrlKey };

struct Input {
    Press press;
    int scancode = 0;  // keys
    Vector2 world{};   // clicks: the point in the state's world
    std::string name;  // what a player would call it
};

Camera2D* StateCamera() { return currentState == STATE_MAIN_MENU ? MainMenuCamera() : levelCamera; }

// A world point as a window pixel. ScreenToWorld is affine in the mouse and
// turns nothing, so three points invert it.
SDL_Point WindowPixel(Vector2 world)
{
    Camera2D* camera = StateCamera();
    if (!camera) return {WINDOW_W / 2, WINDOW_H / 2};
    const Vector2 o = ScreenToWorld(camera, {0, 0}), ex = ScreenToWorld(camera, {1, 0}),
                  ey = ScreenToWorld(camera, {0, 1});
    const float mx = (world.x - o.x) / (ex.x - o.x), my = (world.y - o.y) / (ey.y - o.y);
    return {int(std::lround(float(LEWindowWidth()) * 0.5f + mx)), int(std::lround(float(LEWindowHeight()) * 0.5f - my))};
}

void Step(std::string what, std::function<void()> act) { LEScriptAdd(std::move(what), std::move(act)); }

void PointAt(Vector2 world)
{
    Step("point", [world] {
        const SDL_Point p = WindowPixel(world);
        LEPlatformWarpMouse(p.x, p.y);
    });
}

void PressAndRelease(int sdlButton)
{
    Step("press", [sdlButton] { LEPlatformInjectMouseButton(sdlButton, true); });
    Step("release", [sdlButton] { LEPlatformInjectMouseButton(sdlButton, false); });
}

void Key(int scancode, bool down)
{
    Step("key", [scancode, down] { LEPlatformInjectKey(scancode, down); });
}

void QueueInput(const Input& in)
{
    switch (in.press) {
    case Press::Click: PointAt(in.world); PressAndRelease(SDL_BUTTON_LEFT); break;
    case Press::EClick:
        Key(SDL_SCANCODE_E, true);
        PointAt(in.world);
        PressAndRelease(SDL_BUTTON_LEFT);
        Key(SDL_SCANCODE_E, false);
        break;
    case Press::RightClick: PointAt(in.world); PressAndRelease(SDL_BUTTON_RIGHT); break;
    case Press::Key: Key(in.scancode, true); Key(in.scancode, false); break;
    case Press::CtrlKey:
        Key(SDL_SCANCODE_LCTRL, true);
        Key(in.scancode, true);
        Key(in.scancode, false);
        Key(SDL_SCANCODE_LCTRL, false);
        break;
    }
    LEScriptIdle(SETTLE_FRAMES);
}

Input KeyInput(int scancode, const char* name) { return {Press::Key, scancode, {}, name}; }

// What a player can press in any state; Q only where the crawl checks it once.
std::vector<Input> KeyInputs()
{
    std::vector<Input> keys = {KeyInput(SDL_SCANCODE_RETURN, "Enter"), KeyInput(SDL_SCANCODE_ESCAPE, "Escape"),
                               KeyInput(SDL_SCANCODE_SPACE, "Space"),  KeyInput(SDL_SCANCODE_P, "P"),
                               KeyInput(SDL_SCANCODE_R, "R"),          KeyInput(SDL_SCANCODE_N, "N")};
    const int digits[] = {SDL_SCANCODE_1, SDL_SCANCODE_2, SDL_SCANCODE_3, SDL_SCANCODE_4};
    for (int i = 0; i < 4; ++i) keys.push_back({Press::CtrlKey, digits[i], {}, "Ctrl+" + std::to_string(i + 1)});
    keys.push_back({Press::RightClick, 0, FIELD_POINT, "right click"});
    return keys;
}

bool IsTowerSpot(const GameObject* object) { return object->name == "TowerPlace"; }

// A click at the centre of every shown thing that reacts to clicks (buttons,
// portraits, turrets, tower spots) and at the field; with a hero in play and
// the field on top, the same on the buttons and the field with E held. Things
// at one point are one click.
std::vector<Input> ClickInputs()
{
    std::vector<Input> clicks;
    if (!StateCamera()) return clicks;
    std::map<std::tuple<Press, long, long>, size_t> at;  // the click made at each point
    auto add = [&](Press press, Vector2 p, const std::string& name) {
        const auto key = std::make_tuple(press, std::lround(p.x), std::lround(p.y));
        if (auto found = at.find(key); found != at.end()) {
            clicks[found->second].name = name;  // named after what is drawn last there
            return;
        }
        at[key] = clicks.size();
        clicks.push_back({press, 0, p, name});
    };
    for (GameObject* object : objectList) {
        if (!object->alive || !object->visible) continue;
        const bool button = dynamic_cast<Button*>(object) != nullptr;
        if (!button && !dynamic_cast<Tower*>(object) && !IsTowerSpot(object)) continue;
        const std::string name = object->name + "#" + std::to_string(object->id);
        add(Press::Click, object->transform.position, "click " + name);
        if (button && currentPlayer && currentState != STATE_MAIN_MENU && !TopScreen())
            add(Press::EClick, object->transform.position, "E+click " + name);
    }
    if (currentState != STATE_MAIN_MENU) {
        add(Press::Click, FIELD_POINT, "click the field");
        if (currentPlayer && !TopScreen()) add(Press::EClick, FIELD_POINT, "E+click the field");
    }
    return clicks;
}

// ---------------------------------------------------------------------------
// What is drawn, in drawing order
// ---------------------------------------------------------------------------
struct Box {
    float minX, minY, maxX, maxY;
    bool Contains(Vector2 p) const { return minX <= p.x && p.x <= maxX && minY <= p.y && p.y <= maxY; }
    bool Overlaps(const Box& b) const { return !(b.minX > maxX || b.maxX < minX || b.minY > maxY || b.maxY < minY); }
};

Box BoxOf(Vector2 centre, Vector2 size)
{
    const float hw = std::fabs(size.x) * 0.5f, hh = std::fabs(size.y) * 0.5f;
    return {centre.x - hw, centre.y - hh, centre.x + hw, centre.y + hh};
}

struct Drawn {
    const void* who;  // compared, never followed
    std::string name;
    Box box;
    Vector2 centre;
    bool label = false, button = false, field = false;
};

// The things of the field a panel must cover: enemies, bars, turrets and shots,
// the hero, the nexus, spots, markers and pedestals, the win and lose boxes.
bool OfTheField(const GameObject* object)
{
    static const std::set<std::string> names = {"Enemy",  "healthBar",  "healthBarOutline", "Turret",
                                                "Projectile", "Player", "Nexus", "TowerPlace",
                                                "wherestart0", "wherestart1", "WinBG", "LoseBG"};
    if (names.count(object->name)) return true;
    for (const Button* pedestal : towerButtons)
        if (object == pedestal) return true;
    return dynamic_cast<const Enemy*>(object) || dynamic_cast<const Tower*>(object);
}

std::vector<Drawn> DrawnNow()
{
    std::vector<Drawn> drawn;
    for (GameObject* o : objectList) {
        if (!o->alive || !o->visible || !o->mesh || o->transform.scale.x == 0.0f || o->transform.scale.y == 0.0f)
            continue;
        drawn.push_back({o, o->name + "#" + std::to_string(o->id), BoxOf(o->transform.position, o->transform.scale),
                         o->transform.position, false, dynamic_cast<Button*>(o) != nullptr,
                         currentState != STATE_MAIN_MENU && OfTheField(o)});
    }
    for (TextLabel* l : textList) {
        if (!l->visible || !l->mesh) continue;
        const TextBox t = MeasureText(l->font, l->text);
        const Vector2 size{(t.maxX - t.minX) * l->transform.scale.x, (t.maxY - t.minY) * l->transform.scale.y};
        const bool endMessage = l->id == 1235 || l->id == 1236;
        drawn.push_back({l, "label " + std::to_string(l->id) + " \"" + l->text.substr(0, 24) + "\"",
                         BoxOf(l->transform.position, size), l->transform.position, true, false,
                         endMessage && currentState != STATE_MAIN_MENU});
    }
    for (GameObject* o : overlayList)
        if (o->alive && o->visible)
            drawn.push_back({o, o->name + " page", BoxOf(o->transform.position, o->transform.scale),
                             o->transform.position});
    return drawn;
}

// ---------------------------------------------------------------------------
// States
// ---------------------------------------------------------------------------
std::string StateName(int32_t state) { return state == STATE_MAIN_MENU ? "main menu" : "level " + std::to_string(state); }

// The panel an open screen lays over the field, for those that have one.
const GameObject* PanelOf(const GameObject* screen)
{
    if (const auto* pause = dynamic_cast<const Pause*>(screen)) return pause->background;
    if (const auto* settings = dynamic_cast<const Settings*>(screen)) return settings->panel;
    if (const auto* panel = dynamic_cast<const Shop*>(screen)) return panel->panelBackground;
    if (const auto* selector = dynamic_cast<const CharSel*>(screen)) return selector->screenBackground;
    return nullptr;
}

// The screen is shown: its panel, its text or its box is on the screen.
bool ScreenShown(const GameObject* screen)
{
    if (const auto* pause = dynamic_cast<const Pause*>(screen))
        return pause->background->visible || pause->confirmBox->visible || pause->howToPlay->open ||
               pause->settings->open;
    if (const auto* text = dynamic_cast<const HTPlay*>(screen)) return text->lines[0]->visible;
    if (screen == controlsText) return FindTextLabel(12456) && FindTextLabel(12456)->visible;
    const GameObject* panel = PanelOf(screen);
    return panel ? panel->visible : screen->visible && screen->mesh;
}

struct Observed {
    std::string key;
    size_t screens = 0;
    std::string top;  // the name of the screen on top
    bool leaves = false;  // another game state, or the program ended
};

bool programEnded = false;

Observed Observe(int32_t group)
{
    Observed o;
    std::ostringstream key;
    if (programEnded) {
        o.key = "the program ends";
        o.leaves = true;
        return o;
    }
    key << StateName(currentState);
    o.leaves = currentState != group;
    if (currentState == STATE_MAIN_MENU) {
        if (MainMenuSplashRunning()) key << ", splash";
        if (MainMenuCreditsRunning()) key << ", credits";
    } else {
        key << (levelWon ? ", won" : levelLost ? ", lost" : betweenRounds ? ", between rounds" : ", round");
        if (!currentPlayer) key << ", no hero";
    }
    for (int page : {1, 2})
        if (CreditsPageShown(page)) key << ", credits page " << page;
    const std::vector<GameObject*> screens = OpenScreens();
    o.screens = screens.size();
    for (const GameObject* s : screens) key << " [" << s->name << "]";
    if (!screens.empty()) o.top = screens.back()->name;
    key << " buttons:";
    for (const GameObject* object : objectList) {
        const auto* b = dynamic_cast<const Button*>(object);
        if (!b || !b->alive || !b->visible) continue;
        key << " " << b->name << (b->active ? "" : "(inert)");
    }
    // The turrets' arrangement matters while the field is on top.
    if (currentState != STATE_MAIN_MENU && screens.empty()) {
        int placed = 0;
        bool inHand = false;
        for (const Tower* t : towerList) {
            inHand = inHand || t->dragging;
            placed += t->placed && !t->dragging;
        }
        key << " turrets placed: " << (placed > 2 ? 2 : placed) << (placed > 2 ? "+" : "")
            << (inHand ? ", one in hand" : "");
    }
    o.key = key.str();
    return o;
}

// ---------------------------------------------------------------------------
// The walk
// ---------------------------------------------------------------------------
struct Root {
    std::string name;
    std::function<void()> setUp;  // queues the steps from a fresh start to the root
    bool checksQuit = false;      // Q is tried here, once
};

struct Node {
    Observed seen;
    size_t root = 0;
    std::vector<Input> path;
    std::vector<Input> inputs;
    bool expanded = false;
    bool buttonReacted = false;  // a click on one of its buttons was taken by the button
    std::vector<size_t> next;    // the nodes its inputs lead to
};

struct Violation {
    std::string rule, what, path;
};

struct Job {
    size_t root = 0;
    long from = -1;  // the node the input is tried at, or -1 for a root itself
    Input input{};
};

struct Crawl {
    int32_t group = STATE_MAIN_MENU;
    int depth = 9;  // where every walk today has found all its states
    std::vector<Root> roots;
    std::vector<Node> nodes;
    std::map<std::string, size_t> byKey;
    std::deque<Job> jobs;
    Job job;
    std::vector<PressAction> actions;  // what the input's press did
    std::vector<Drawn> before;         // what was drawn when the input began
    bool collecting = false, done = false;
    size_t transitions = 0, inputsPlayed = 0;
    bool qQuits = false;  // Q on the won level ended the program
    std::vector<Violation> violations;
    std::set<std::string> reported;
    int currentDepth = 0;
    std::vector<size_t> frontier;
} crawl;

std::string PathText(size_t root, const std::vector<Input>& path)
{
    std::string text = crawl.roots[root].name;
    for (const Input& in : path) text += " > " + in.name;
    return text;
}

void Report(const std::string& rule, const std::string& what, const std::string& path)
{
    if (!crawl.reported.insert(rule + what).second) return;  // once per fault, with its shortest path
    crawl.violations.push_back({rule, what, path});
}

// The program as it starts: the settings and the heroes' program-wide flags
// as a new run has them, the window as the test opened it.
struct ProgramStart {
    bool fullscreen = false, vsync = false, vsyncWanted = true;
    int32_t resolutionIndex = 2;
    Vector2 resolution{};
} programStart;

void ResetProgram()
{
    musicVolume = sfxVolume = 1.0f;
    fullscreenWanted = programStart.fullscreen;
    vsyncWanted = programStart.vsyncWanted;
    resolutionIndex = programStart.resolutionIndex;
    chosenResolution = programStart.resolution;
    if (LEWindowIsFullscreen() != programStart.fullscreen) LEWindowSetFullscreen(programStart.fullscreen);
    LEWindowSetSize(uint32_t(programStart.resolution.x), uint32_t(programStart.resolution.y));
    LEGraphicsSetVSync(programStart.vsync);
    hunterAttackReady = hunterAbilityReady = bardAttackReady = bardAbilityReady = thiefAbilityReady = true;
    hunterAttackTimer = hunterAbilityTimer = bardAttackTimer = thiefAbilityTimer = 0.0f;
    bardAuraApplied = false;
    waveState = WaveState{};
    for (int page : {1, 2}) ShowCreditsPage(page, false);
    for (int key : {SDL_SCANCODE_E, SDL_SCANCODE_LCTRL}) LEPlatformInjectKey(key, false);
}

// A fresh start of the group's state: the game's own restart (Free and Init),
// or a switch from wherever the last walk left the game.
void FreshStart()
{
    ResetProgram();
    programEnded = false;
    if (currentState != crawl.group) {
        nextState = crawl.group;
        return;
    }
    // A level divides its zoom back itself when it restarts; the menu, which the
    // game never restarts, has it divided here.
    if (currentState == STATE_MAIN_MENU) {
        StateCamera()->transform.scale.x /= MENU_ZOOM.x;
        StateCamera()->transform.scale.y /= MENU_ZOOM.y;
    }
    nextState = STATE_RESTART;
}

void TakeSnapshot()
{
    crawl.before = DrawnNow();
    crawl.actions.clear();
    crawl.collecting = true;
}

// Checks what the input did and what it led to, and files the state reached.
void Land()
{
    crawl.collecting = false;
    const Job& job = crawl.job;
    std::vector<Input> path;
    if (job.from >= 0) {
        path = crawl.nodes[size_t(job.from)].path;
        path.push_back(job.input);
    }
    const std::string where = PathText(job.root, path);
    Observed seen = Observe(crawl.group);

    if (job.from >= 0) {
        ++crawl.transitions;
        if (job.input.scancode == SDL_SCANCODE_Q && programEnded) crawl.qQuits = true;
        // One press, one action.
        if (crawl.actions.size() > 1) {
            std::string what = job.input.name + " did " + std::to_string(crawl.actions.size()) + " things:";
            for (const PressAction& a : crawl.actions) what += " " + a.what + ";";
            Report("one press, one action", what, where);
        }
        // What takes a click is drawn on top there.
        for (const PressAction& a : crawl.actions) {
            if (!a.taker) continue;
            const auto taker = std::find_if(crawl.before.begin(), crawl.before.end(),
                                            [&](const Drawn& d) { return d.who == a.taker; });
            if (taker == crawl.before.end()) {
                Report("what takes a press is drawn", a.what + " took a click without being drawn", where);
                continue;
            }
            if (taker->button && job.input.press == Press::Click) crawl.nodes[size_t(job.from)].buttonReacted = true;
            for (auto over = taker + 1; over != crawl.before.end(); ++over) {
                if (!over->box.Contains(job.input.world)) continue;
                const bool ownLabel = over->label && std::fabs(over->centre.x - taker->centre.x) < 1.0f &&
                                      std::fabs(over->centre.y - taker->centre.y) < 1.0f;
                if (ownLabel) continue;
                Report("what takes a press is drawn on top", taker->name + " takes the click but " + over->name +
                                                                 " is drawn over it", where);
            }
        }
    }
    if (!seen.leaves) {
        // Nothing of the field over an open panel.
        const std::vector<GameObject*> screens = OpenScreens();
        if (!screens.empty()) {
            const std::vector<Drawn> now = DrawnNow();
            const GameObject* panel = PanelOf(screens.back());
            const auto p = std::find_if(now.begin(), now.end(), [&](const Drawn& d) { return d.who == panel; });
            for (auto over = p == now.end() ? now.end() : p + 1; over != now.end(); ++over)
                if (over->field && over->box.Overlaps(p->box))
                    Report("nothing of the field over a panel", over->name + " is drawn over " + p->name, where);
        }
        // Every screen on the stack is shown.
        for (const GameObject* s : screens)
            if (!ScreenShown(s)) Report("every open screen is shown", s->name + " is open but not shown", where);
    }

    size_t index;
    if (auto found = crawl.byKey.find(seen.key); found != crawl.byKey.end()) {
        index = found->second;
    } else {
        index = crawl.nodes.size();
        crawl.byKey[seen.key] = index;
        Node node;
        node.seen = seen;
        node.root = job.root;
        node.path = path;
        if (!seen.leaves) {
            node.inputs = ClickInputs();
            for (const Input& in : KeyInputs()) node.inputs.push_back(in);
            if (job.from < 0 && crawl.roots[job.root].checksQuit) node.inputs.push_back(KeyInput(SDL_SCANCODE_Q, "Q"));
        }
        crawl.nodes.push_back(node);
        if (!seen.leaves) crawl.frontier.push_back(index);
    }
    if (job.from >= 0) crawl.nodes[size_t(job.from)].next.push_back(index);
}

void QueueJob(const Job& job)
{
    crawl.job = job;
    Step("fresh start", FreshStart);
    LEScriptIdle(1);
    crawl.roots[job.root].setUp();
    if (job.from >= 0)
        for (const Input& in : crawl.nodes[size_t(job.from)].path) QueueInput(in);
    Step("snapshot", TakeSnapshot);
    if (job.from >= 0) QueueInput(job.input);
    // Every input played, the replays' included.
    crawl.inputsPlayed += job.from >= 0 ? crawl.nodes[size_t(job.from)].path.size() + 1 : 0;
    Step("land", Land);
}

// The next depth's jobs: every input of every state first found at this depth.
bool NextJob()
{
    while (crawl.jobs.empty()) {
        if (crawl.frontier.empty() || crawl.currentDepth >= crawl.depth) return false;
        ++crawl.currentDepth;
        for (size_t n : crawl.frontier) {
            crawl.nodes[n].expanded = true;
            for (const Input& in : crawl.nodes[n].inputs) crawl.jobs.push_back({crawl.nodes[n].root, long(n), in});
        }
        crawl.frontier.clear();
    }
    QueueJob(crawl.jobs.front());
    crawl.jobs.pop_front();
    return true;
}

void CrawlStep()
{
    if (crawl.done || LEScriptRun()) return;
    if (!LEScriptFailure().empty()) {
        Report("the walk goes on", "a step failed: " + LEScriptFailure(),
               PathText(crawl.job.root, crawl.job.from >= 0 ? crawl.nodes[size_t(crawl.job.from)].path
                                                            : std::vector<Input>{}));
        LEScriptClear();
    }
    if (!NextJob()) {
        crawl.done = true;
        nextState = STATE_QUIT;
        return;
    }
    LEScriptRun();
}

template <void (*Update)()>
void Crawled()
{
    CrawlStep();
    if (crawl.done) return;
    Update();
    if (crawl.collecting)
        for (const PressAction& a : PressActionsThisFrame()) crawl.actions.push_back(a);
    // The program would end here: the walk notes it and goes on.
    if (nextState == STATE_QUIT) {
        programEnded = true;
        nextState = currentState;
    }
}

// ---------------------------------------------------------------------------
// Roots
// ---------------------------------------------------------------------------
void ChooseHunter()
{
    LEScriptWaitFor("the selector opens", [] { return charSelScreen && charSelScreen->screenOpen; }, 30);
    Step("point at the Hunter", [] {
        const SDL_Point p = WindowPixel(charSelScreen->portraits[0]->transform.position);
        LEPlatformWarpMouse(p.x, p.y);
    });
    PressAndRelease(SDL_BUTTON_LEFT);
    LEScriptWaitFor("a hero is chosen", [] { return currentPlayer != nullptr; }, 30);
    LEScriptIdle(SETTLE_FRAMES);
}

void StartRound()
{
    Key(SDL_SCANCODE_RETURN, true);
    Key(SDL_SCANCODE_RETURN, false);
    LEScriptWaitFor("the round starts", [] { return !betweenRounds; }, 30);
}

std::vector<Root> LevelRoots()
{
    return {
        {"level start", [] { LEScriptIdle(SETTLE_FRAMES); }},
        {"in a round", [] {
             ChooseHunter();
             StartRound();
             LEScriptIdle(SETTLE_FRAMES);
         }},
        {"won", [] {
             ChooseHunter();
             Step("five waves done", [] { waveIndex = WAVE_COUNT - 1; });
             StartRound();
             for (int i = 0; i < 2; ++i) {  // the endless-wave cheat on and off ends the wave
                 Key(SDL_SCANCODE_LCTRL, true);
                 Key(SDL_SCANCODE_4, true);
                 Key(SDL_SCANCODE_4, false);
                 Key(SDL_SCANCODE_LCTRL, false);
             }
             LEScriptWaitFor("the level is won", [] { return levelWon; }, 30);
             LEScriptIdle(SETTLE_FRAMES);
         }, true},
        {"lost", [] {
             ChooseHunter();
             StartRound();
             Step("the nexus falls", [] { nexusHealth = 0; });
             LEScriptWaitFor("the level is lost", [] { return levelLost; }, 30);
             LEScriptIdle(SETTLE_FRAMES);
         }},
    };
}

// ---------------------------------------------------------------------------
// The dead-end rule, over the walked graph
// ---------------------------------------------------------------------------
// Within `reach` inputs of node n lies a node that `good` holds for.
bool WithinReach(size_t n, int reach, const std::function<bool(const Node&)>& good)
{
    std::vector<int> seen(crawl.nodes.size(), -1);
    std::deque<size_t> queue{n};
    seen[n] = 0;
    while (!queue.empty()) {
        const size_t at = queue.front();
        queue.pop_front();
        if (good(crawl.nodes[at])) return true;
        if (seen[at] == reach) continue;
        for (size_t next : crawl.nodes[at].next) {
            if (seen[next] >= 0) continue;
            seen[next] = seen[at] + 1;
            queue.push_back(next);
        }
    }
    return false;
}

void CheckWaysOn()
{
    for (size_t n = 0; n < crawl.nodes.size(); ++n) {
        const Node& node = crawl.nodes[n];
        if (!node.expanded) continue;
        const std::string where = PathText(node.root, node.path);
        if (!WithinReach(n, DEAD_END_REACH, [](const Node& m) { return m.buttonReacted || m.seen.leaves; }))
            Report("no dead end", node.seen.key + ": no button reacts within " + std::to_string(DEAD_END_REACH) +
                                      " inputs", where);
        if (node.seen.screens > 0 &&
            !WithinReach(n, DEAD_END_REACH, [&](const Node& m) { return m.seen.leaves || m.seen.screens < node.seen.screens; }))
            Report("no dead end", node.seen.top + " cannot be closed or left within " +
                                      std::to_string(DEAD_END_REACH) + " inputs", where);
    }
}

// ---------------------------------------------------------------------------
// The test: one walk per game state a player reaches
// ---------------------------------------------------------------------------
struct Group {
    const char* name;
    int32_t state;
};
void PrintTo(const Group& group, std::ostream* out) { *out << group.name; }

class ScreenCrawler : public testing::TestWithParam<Group> {
protected:
    void SetUp() override
    {
        REQUIRE_ENGINE(WINDOW_W, WINDOW_H);
        LESystemSetFixedFrameTime(1.0 / 60.0);
        programStart = {LEWindowIsFullscreen(), LEGraphicsVSync(), vsyncWanted, resolutionIndex,
                        {float(LEWindowWidth()), float(LEWindowHeight())}};
        LEScriptClear();
        LEGameStateClear();
        LEGameStateAdd(STATE_MAIN_MENU, MainMenuLoad, MainMenuInit, Crawled<MainMenuUpdate>, MainMenuDraw,
                       MainMenuFree, MainMenuUnload);
        for (int32_t level : {STATE_LEVEL_1, STATE_LEVEL_2, STATE_LEVEL_3, STATE_LEVEL_4})
            LEGameStateAdd(level, LevelLoad, LevelInit, Crawled<LevelUpdate>, LevelDraw, LevelFree, LevelUnload);
        CreateCredits();
    }

    void TearDown() override
    {
        ResetProgram();
        FreeCredits();
        LEScriptClear();
        StopTestEngine();
    }
};

TEST_P(ScreenCrawler, EveryScreenLeadsOnAndWhatIsDrawnOnTopTakesThePress)
{
    crawl = {};
    crawl.group = GetParam().state;
    if (const char* depth = getenv("EB_CRAWL_DEPTH")) crawl.depth = std::max(9, atoi(depth));
    if (crawl.group == STATE_MAIN_MENU)
        crawl.roots = {{"start", [] {}}};
    else
        crawl.roots = LevelRoots();
    for (size_t r = 0; r < crawl.roots.size(); ++r) crawl.jobs.push_back({r, -1, {}});

    initialState = previousState = currentState = nextState = crawl.group;
    LEGameStateSelect();
    testing::internal::CaptureStdout();  // the forecast, the menu's pointer, the statistics
    LEGameLoopRun();
    testing::internal::GetCapturedStdout();
    CheckWaysOn();

    size_t expanded = 0, elsewhere = 0;
    for (const Node& n : crawl.nodes) {
        expanded += n.expanded;
        elsewhere += n.seen.leaves;
    }
    printf("Crawled %s to a depth of %d inputs: %zu states (%zu walked on, %zu found at the last depth, %zu in "
           "other states or the program's end), %zu transitions, %zu inputs played, %zu violations\n",
           GetParam().name, crawl.depth, crawl.nodes.size(), expanded, crawl.frontier.size(), elsewhere,
           crawl.transitions, crawl.inputsPlayed, crawl.violations.size());
    for (const Violation& v : crawl.violations)
        printf("  VIOLATION (%s): %s\n    path: %s\n", v.rule.c_str(), v.what.c_str(), v.path.c_str());
    fflush(stdout);
    EXPECT_TRUE(crawl.violations.empty()) << crawl.violations.size() << " violations";
    EXPECT_GT(crawl.transitions, 0u);
    if (crawl.group != STATE_MAIN_MENU) {
        EXPECT_TRUE(crawl.qQuits) << "Q on the won level ends the program";
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, ScreenCrawler,
                         testing::Values(Group{"MainMenu", STATE_MAIN_MENU}, Group{"Level1", STATE_LEVEL_1},
                                         Group{"Level2", STATE_LEVEL_2}, Group{"Level3", STATE_LEVEL_3},
                                         Group{"Level4", STATE_LEVEL_4}),
                         [](const testing::TestParamInfo<Group>& info) { return std::string(info.param.name); });

}  // namespace
