// LEPlatformSDL: the engine's platform corner over SDL2 (see LEPlatform.h).
// Owns the SDL window, the GL context, the opened game controllers and the
// single-instance lock socket. The event pump here plays the part of the window
// procedure: it writes raw key, button and wheel values into LEInput and tells
// LESystem when the window is closed. Every SDL call of the engine lives here.
#include "LEPlatform.h"

#include <SDL2/SDL.h>

#include <cstdio>   // Required for: fprintf
#include <cstdlib>  // Required for: getenv
#include <dlfcn.h>  // Required for: dlopen
#include <link.h>   // Required for: dl_iterate_phdr
#include <malloc.h> // Required for: mallopt

#include <cerrno>   // Required for: errno, EADDRINUSE
#include <cstring>  // Required for: strcmp, memcpy, strerror, strstr

#include <fcntl.h>        // Required for: open
#include <pthread.h>      // Required for: pthread_atfork
#include <signal.h>       // Required for: sigaction, kill
#include <sys/prctl.h>    // Required for: prctl (PR_SET_PDEATHSIG)
#include <sys/socket.h>  // Required for: the abstract-namespace lock socket
#include <sys/un.h>
#include <unistd.h>

#include "../LEInput.h"
#include "../LESystem.h"

static struct {
    bool started = false;
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    SDL_GameController* pads[4] = {};
    int lockSocket = -1;
} platform;

// Opens the video subsystem on a real display. SDL would otherwise fall back to
// its off-screen driver when the display does not answer, and the game would run
// with no window to see. A display that is busy for a moment gets a few tries.
static bool OpenDisplay()
{
    if (!getenv("SDL_VIDEODRIVER")) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11,wayland");
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (attempt > 0) SDL_Delay(250);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) continue;
        const char* driver = SDL_GetCurrentVideoDriver();
        if (driver && strcmp(driver, "offscreen") != 0 && strcmp(driver, "dummy") != 0) return true;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_SetError("only the %s video driver is available", driver ? driver : "no");
        break;
    }
    fprintf(stderr, "Ember Bastion cannot open a window: %s. A graphical display is needed "
                    "(set DISPLAY, or run under xvfb-run).\n", SDL_GetError());
    return false;
}

// ---------------------------------------------------------------------------
// Ending on request. SIGINT and SIGTERM (Ctrl+C, `timeout`, a desktop logout)
// close the game the way its window's close button does, whatever is on the
// screen. SDL shows a dialog from a child process it forks and waits for; a
// request while a dialog is up ends that child, so the dialog goes, the wait
// returns and the game closes normally. A second request ends the process at
// once, as the default action does: a game stuck in a frame never reads the
// first. SDL's own handlers, which only queue a quit event, are left out.
// ---------------------------------------------------------------------------
static volatile sig_atomic_t quitRequested = 0;
static volatile sig_atomic_t dialogUp = 0;

// Ends every child of the main thread (the dialog SDL forked), found in /proc,
// with calls that are safe in a signal handler.
static void EndDialogProcesses()
{
    char path[64] = "/proc/self/task/";
    char digits[16];
    int count = 0;
    for (pid_t pid = getpid(); pid > 0 && count < 15; pid /= 10) digits[count++] = char('0' + pid % 10);
    size_t at = strlen(path);
    while (count > 0) path[at++] = digits[--count];
    memcpy(path + at, "/children", 10);
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    char list[512];
    const ssize_t length = read(fd, list, sizeof list);
    close(fd);
    pid_t child = 0;
    for (ssize_t i = 0; i < length; ++i) {
        if (list[i] >= '0' && list[i] <= '9') {
            child = child * 10 + (list[i] - '0');
        } else {
            if (child > 0) kill(child, SIGKILL);
            child = 0;
        }
    }
    if (child > 0) kill(child, SIGKILL);
}

static void SetQuitSignalAction(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGINT, SIGTERM}) sigaction(sig, &action, nullptr);
}

static void OnQuitSignal(int)
{
    quitRequested = 1;
    SetQuitSignalAction(SIG_DFL);  // the next request is not asked twice
    if (dialogUp) EndDialogProcesses();
}

// In every child forked from the game (SDL's dialog is one, and outlives a
// game killed outright unless told otherwise): the single-instance lock stays
// with the game's own process, so that it ends when the game does, and the
// quit requests get their default action. A dialog's child also ends with the
// game, and at once when the game was asked to end before the fork.
static pid_t dialogParent = 0;

static void InForkedChild()
{
    if (platform.lockSocket >= 0) close(platform.lockSocket);
    platform.lockSocket = -1;
    SetQuitSignalAction(SIG_DFL);
    if (!dialogUp) return;
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (quitRequested || getppid() != dialogParent) _exit(1);
}

static void HandleQuitSignals()
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SetQuitSignalAction(OnQuitSignal);
    static bool registered = false;
    if (!registered) pthread_atfork(nullptr, nullptr, InForkedChild);
    registered = true;
}

// A state's pictures are decoded into buffers of megabytes that are freed again
// once uploaded. By default the C library hands such buffers straight back to
// the system and asks for fresh pages the next time, so every level paid again
// for the pages of every picture; kept, they are reused by the next load.
static void KeepLargeBuffers()
{
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
#endif
}

void LEPlatformPrepareLoadMemory(size_t bytes)
{
    // Touched once and given back to the program's heap, where it stays (see
    // KeepLargeBuffers): the first level's pictures are decoded into pages the
    // system has already handed over, as every later level's are.
    char* block = static_cast<char*>(malloc(bytes));
    if (!block) return;
    for (size_t at = 0; at < bytes; at += 4096) block[at] = 1;
    free(block);
}

// Mesa, the usual OpenGL on Linux and the software renderer, can do its own work
// for the GL calls (shading corners, setting up and sorting triangles) on a
// thread of its own, so that the game's thread only queues the calls. Asked for
// here, before any window, unless the player has set it either way. Mesa notes
// on standard error each setting that comes from the environment; that note is
// kept quiet unless Mesa's own debugging output is asked for.
static void AskForDriverThread()
{
    if (getenv("mesa_glthread")) return;
    setenv("mesa_glthread", "true", 0);
    setenv("MESA_DEBUG", "silent", 0);
}

bool LEPlatformStart()
{
    if (platform.started) return true;
    KeepLargeBuffers();
    AskForDriverThread();
    HandleQuitSignals();
    if (SDL_Init(SDL_INIT_TIMER) != 0 || !OpenDisplay()) {
        SDL_Quit();
        return false;
    }
    // Game-pads are optional: without them the game plays on keyboard and mouse.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
        fprintf(stderr, "Game-pads are off: %s\n", SDL_GetError());
    platform.started = true;
    return true;
}

void LEPlatformShutdown()
{
    for (SDL_GameController*& pad : platform.pads) {
        if (pad) SDL_GameControllerClose(pad);
        pad = nullptr;
    }
    LEPlatformDestroyGLContext();
    if (platform.window) SDL_DestroyWindow(platform.window);
    platform.window = nullptr;
    if (platform.started) SDL_Quit();
    platform.started = false;
}

bool LEPlatformCreateWindow(const char* title, int x, int y, int width, int height, bool borderless)
{
    if (!platform.started) return false;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, SDL_GL_CONTEXT_FORWARD_COMPATIBLE_FLAG);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    // 24 depth bits: every driver offers them, and everything is drawn at one depth.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    platform.window = SDL_CreateWindow(title, x, y, width, height,
                                       SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_SHOWN |
                                           (borderless ? SDL_WINDOW_BORDERLESS : 0));
    if (!platform.window) {
        fprintf(stderr, "Ember Bastion cannot create its window: %s\n", SDL_GetError());
        return false;
    }
    return true;
}

bool LEPlatformHasWindow() { return platform.window != nullptr; }

void LEPlatformClientSize(uint32_t* width, uint32_t* height)
{
    if (!platform.window) return;
    int w = 0, h = 0;
    SDL_GetWindowSize(platform.window, &w, &h);
    *width = uint32_t(w);
    *height = uint32_t(h);
}

void LEPlatformSetClientSize(int width, int height)
{
    if (platform.window) SDL_SetWindowSize(platform.window, width, height);
}

void LEPlatformWindowCorner(int* x, int* y)
{
    if (!platform.window) return;
    int top = 0, left = 0;
    SDL_GetWindowPosition(platform.window, x, y);
    // The corner is the outer one: step back over the title bar and border.
    if (SDL_GetWindowBordersSize(platform.window, &top, &left, nullptr, nullptr) == 0) {
        *x -= left;
        *y -= top;
    }
}

void LEPlatformPlaceWindow(int x, int y, bool borderless)
{
    if (!platform.window) return;
    SDL_SetWindowBordered(platform.window, borderless ? SDL_FALSE : SDL_TRUE);
    SDL_SetWindowPosition(platform.window, x, y);
    SDL_ShowWindow(platform.window);
}

void LEPlatformScreenSize(int* width, int* height)
{
    SDL_DisplayMode mode;
    const int display = platform.window ? SDL_GetWindowDisplayIndex(platform.window) : 0;
    if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &mode) == 0) {
        *width = mode.w;
        *height = mode.h;
    } else {
        *width = int(LEWindowWidth());
        *height = int(LEWindowHeight());
    }
}

bool LEPlatformCapsLock() { return (SDL_GetModState() & KMOD_CAPS) != 0; }

// Keeps the GL driver's modules loaded until the process ends. SDL unloads them
// at shutdown, before a leak checker looks at what they keep for the whole run:
// it would then report those blocks under no module at all, where no
// suppression can name them (and the driver gains nothing from being unloaded
// a moment before the process ends).
static int PinDriverModule(dl_phdr_info* info, size_t, void*)
{
    const char* name = info->dlpi_name;
    if (name && (strstr(name, "_dri.so") || strstr(name, "libGLX_mesa") || strstr(name, "libgallium")))
        dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}

bool LEPlatformCreateGLContext()
{
    if (!platform.window) return false;
    platform.context = SDL_GL_CreateContext(platform.window);
    if (!platform.context) {
        fprintf(stderr, "Ember Bastion cannot create an OpenGL 3.3 context: %s\n", SDL_GetError());
        return false;
    }
    SDL_GL_MakeCurrent(platform.window, platform.context);
    dl_iterate_phdr(PinDriverModule, nullptr);
    return true;
}

bool LEPlatformWindowHasFocus()
{
    return platform.window && (SDL_GetWindowFlags(platform.window) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void LEPlatformDestroyGLContext()
{
    if (platform.context) SDL_GL_DeleteContext(platform.context);
    platform.context = nullptr;
}

void LEPlatformSwapBuffers()
{
    if (platform.window && platform.context) SDL_GL_SwapWindow(platform.window);
}

void LEPlatformSetVSync(bool on)
{
    if (!platform.context) return;
    if (!on) {
        SDL_GL_SetSwapInterval(0);
        return;
    }
    // One blank a frame, never adaptive: a late frame waits for the next blank
    // rather than tearing.
    if (SDL_GL_SetSwapInterval(1) == 0) return;
    fprintf(stderr, "Vertical sync is not available: %s\n", SDL_GetError());
}

int LEPlatformSwapInterval() { return platform.context ? SDL_GL_GetSwapInterval() : 0; }

// ---------------------------------------------------------------------------
// Key translation: SDL's keys to Windows virtual-key numbers, in one table.
// A letter is the one the key types on the player's layout, as Windows' own
// numbers follow the layout: Q quits where Q is printed, on AZERTY and Dvorak
// alike. Every other key is read by its place (scancode), and so are the four
// walking keys besides their letters (KEY_PLACE_W...), so that the hero walks
// with the keys under the fingers on any layout. A letter the layout does not
// have (a Cyrillic or Greek one) falls back to the key's place.
// ---------------------------------------------------------------------------
static const struct { SDL_Scancode scancode; int vk; } keyTable[] = {
    {SDL_SCANCODE_BACKSPACE, 8}, {SDL_SCANCODE_TAB, 9}, {SDL_SCANCODE_RETURN, 13},
    {SDL_SCANCODE_KP_ENTER, 13}, {SDL_SCANCODE_LSHIFT, 16}, {SDL_SCANCODE_RSHIFT, 16},
    {SDL_SCANCODE_LCTRL, 17}, {SDL_SCANCODE_RCTRL, 17}, {SDL_SCANCODE_LALT, 18},
    {SDL_SCANCODE_RALT, 18}, {SDL_SCANCODE_PAUSE, 19}, {SDL_SCANCODE_CAPSLOCK, 20},
    {SDL_SCANCODE_ESCAPE, 27}, {SDL_SCANCODE_SPACE, 32}, {SDL_SCANCODE_PAGEUP, 33},
    {SDL_SCANCODE_PAGEDOWN, 34}, {SDL_SCANCODE_END, 35}, {SDL_SCANCODE_HOME, 36},
    {SDL_SCANCODE_LEFT, 37}, {SDL_SCANCODE_UP, 38}, {SDL_SCANCODE_RIGHT, 39},
    {SDL_SCANCODE_DOWN, 40}, {SDL_SCANCODE_PRINTSCREEN, 44}, {SDL_SCANCODE_INSERT, 45},
    {SDL_SCANCODE_DELETE, 46}, {SDL_SCANCODE_0, 48}, {SDL_SCANCODE_1, 49}, {SDL_SCANCODE_2, 50},
    {SDL_SCANCODE_3, 51}, {SDL_SCANCODE_4, 52}, {SDL_SCANCODE_5, 53}, {SDL_SCANCODE_6, 54},
    {SDL_SCANCODE_7, 55}, {SDL_SCANCODE_8, 56}, {SDL_SCANCODE_9, 57},
    {SDL_SCANCODE_LGUI, 91}, {SDL_SCANCODE_RGUI, 92}, {SDL_SCANCODE_APPLICATION, 93},
    {SDL_SCANCODE_KP_0, 96}, {SDL_SCANCODE_KP_1, 97}, {SDL_SCANCODE_KP_2, 98},
    {SDL_SCANCODE_KP_3, 99}, {SDL_SCANCODE_KP_4, 100}, {SDL_SCANCODE_KP_5, 101},
    {SDL_SCANCODE_KP_6, 102}, {SDL_SCANCODE_KP_7, 103}, {SDL_SCANCODE_KP_8, 104},
    {SDL_SCANCODE_KP_9, 105}, {SDL_SCANCODE_KP_MULTIPLY, 106}, {SDL_SCANCODE_KP_PLUS, 107},
    {SDL_SCANCODE_KP_MINUS, 109}, {SDL_SCANCODE_KP_PERIOD, 110}, {SDL_SCANCODE_KP_DIVIDE, 111},
    {SDL_SCANCODE_F1, 112}, {SDL_SCANCODE_F2, 113}, {SDL_SCANCODE_F3, 114}, {SDL_SCANCODE_F4, 115},
    {SDL_SCANCODE_F5, 116}, {SDL_SCANCODE_F6, 117}, {SDL_SCANCODE_F7, 118}, {SDL_SCANCODE_F8, 119},
    {SDL_SCANCODE_F9, 120}, {SDL_SCANCODE_F10, 121}, {SDL_SCANCODE_F11, 122},
    {SDL_SCANCODE_F12, 123}, {SDL_SCANCODE_NUMLOCKCLEAR, 144}, {SDL_SCANCODE_SCROLLLOCK, 145},
    {SDL_SCANCODE_SEMICOLON, 186}, {SDL_SCANCODE_EQUALS, 187}, {SDL_SCANCODE_COMMA, 188},
    {SDL_SCANCODE_MINUS, 189}, {SDL_SCANCODE_PERIOD, 190}, {SDL_SCANCODE_SLASH, 191},
    {SDL_SCANCODE_GRAVE, 192}, {SDL_SCANCODE_LEFTBRACKET, 219}, {SDL_SCANCODE_BACKSLASH, 220},
    {SDL_SCANCODE_RIGHTBRACKET, 221}, {SDL_SCANCODE_APOSTROPHE, 222},
    {SDL_SCANCODE_NONUSBACKSLASH, 226},
};

int LEPlatformVirtualKey(int scancode, int keycode)
{
    // Letters are contiguous in every numbering.
    if (keycode >= SDLK_a && keycode <= SDLK_z) return KEY_A + (keycode - SDLK_a);
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return KEY_A + (scancode - SDL_SCANCODE_A);
    for (const auto& entry : keyTable)
        if (entry.scancode == scancode) return entry.vk;
    return -1;
}

int LEPlatformKeyPlace(int scancode)
{
    switch (scancode) {
    case SDL_SCANCODE_W: return KEY_PLACE_W;
    case SDL_SCANCODE_A: return KEY_PLACE_A;
    case SDL_SCANCODE_S: return KEY_PLACE_S;
    case SDL_SCANCODE_D: return KEY_PLACE_D;
    default: return -1;
    }
}

static int MouseButtonSlot(uint8_t sdlButton)
{
    switch (sdlButton) {
    case SDL_BUTTON_LEFT: return MOUSE_LEFT;
    case SDL_BUTTON_RIGHT: return MOUSE_RIGHT;
    case SDL_BUTTON_MIDDLE: return MOUSE_MIDDLE;
    default: return -1;
    }
}

static void HandleEvent(const SDL_Event& e)
{
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        // Auto-repeat is the same press still held: it must not bring back a
        // press someone has taken.
        if (e.key.repeat) break;
        const bool down = e.type == SDL_KEYDOWN;
        const int vk = LEPlatformVirtualKey(e.key.keysym.scancode, e.key.keysym.sym);
        if (vk >= 0) LEInputRawKey(vk, down);
        const int place = LEPlatformKeyPlace(e.key.keysym.scancode);
        if (place >= 0) LEInputRawKey(place, down);
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        LEInputRawMouseButton(MouseButtonSlot(e.button.button), e.type == SDL_MOUSEBUTTONDOWN);
        break;
    case SDL_MOUSEWHEEL:
        LEInputRawWheel(e.wheel.preciseY);
        break;
    case SDL_WINDOWEVENT:
        // Closing the window ends the program the way destroying it would.
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
            SDL_HideWindow(platform.window);
            LESystemWindowDestroyed();
        } else if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
            LESystemWindowFocus(true);
        } else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            LESystemWindowFocus(false);
        }
        break;
    case SDL_QUIT:
        LESystemWindowDestroyed();
        break;
    default:
        break;
    }
}

void LEPlatformPumpEvents()
{
    if (!platform.started) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) HandleEvent(e);
    if (quitRequested) LESystemWindowDestroyed();
}

// The pointer as the window's own motion events left it. (The desktop-wide
// state is refreshed only by raw motion, which some X servers never send
// unless a button is held.)
void LEPlatformCursorPosition(int* x, int* y)
{
    if (!platform.window) return;
    SDL_GetMouseState(x, y);
}

std::string LEPlatformProgramFolder()
{
    // SDL reads /proc/self/exe; it needs no SDL_Init, so it works before the window.
    char* base = SDL_GetBasePath();
    std::string folder = base ? base : "";
    SDL_free(base);
    return folder;
}

uint64_t LEPlatformCounter() { return SDL_GetPerformanceCounter(); }
uint64_t LEPlatformCounterFrequency() { return SDL_GetPerformanceFrequency(); }
void LEPlatformSleepMs(uint32_t milliseconds) { SDL_Delay(milliseconds); }

// ---------------------------------------------------------------------------
// Message boxes
// ---------------------------------------------------------------------------
static bool EnvironmentSays(const char* name, const char* value)
{
    const char* v = getenv(name);
    return v && strcmp(v, value) == 0;
}

bool LEPlatformDialogsAllowed()
{
    if (EnvironmentSays("CI", "true") || EnvironmentSays("EMBER_BASTION_NO_DIALOGS", "1")) return false;
    return platform.started;
}

void LEPlatformMessageBox(LEMessageKind kind, const char* title, const char* text)
{
    fprintf(stderr, "%s: %s\n", title, text);
    fflush(stderr);
    if (!LEPlatformDialogsAllowed()) return;
    const Uint32 flags = kind == LE_MESSAGE_ERROR     ? SDL_MESSAGEBOX_ERROR
                         : kind == LE_MESSAGE_WARNING ? SDL_MESSAGEBOX_WARNING
                                                      : SDL_MESSAGEBOX_INFORMATION;
    // Once the game has been asked to end, no dialog holds it up. The flag goes
    // up before the request is read: a request after this line either finds the
    // dialog's child to end or is seen by the child as it starts.
    dialogParent = getpid();
    dialogUp = 1;
    if (quitRequested) {
        dialogUp = 0;
        return;
    }
    const int shown = SDL_ShowSimpleMessageBox(flags, title, text, platform.window);
    dialogUp = 0;
    // (A dialog ended by a request to quit is no failure.)
    if (shown != 0 && !quitRequested) fprintf(stderr, "The dialog could not be shown: %s\n", SDL_GetError());
}

// ---------------------------------------------------------------------------
// Synthetic input
// ---------------------------------------------------------------------------
void LEPlatformInjectKey(int scancode, bool down)
{
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = SDL_Scancode(scancode);
    SDL_PushEvent(&e);
}

void LEPlatformInjectMouseButton(int button, bool down)
{
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.button = Uint8(button);
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    SDL_PushEvent(&e);
}

void LEPlatformWarpMouse(int x, int y)
{
    if (platform.window) SDL_WarpMouseInWindow(platform.window, x, y);
}

// ---------------------------------------------------------------------------
// Single-instance lock: a socket bound to a name in Linux's abstract namespace.
// The kernel frees the name when the process ends, crashed or not.
// ---------------------------------------------------------------------------
bool LEPlatformAcquireLock(const char* name)
{
    if (platform.lockSocket >= 0) return true;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return true;  // no lock facility: let the game run
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const size_t length = strnlen(name, sizeof address.sun_path - 2);
    memcpy(address.sun_path + 1, name, length);  // sun_path[0] == 0: abstract name
    const socklen_t size = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + length);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0) {
        const int error = errno;
        close(fd);
        // Only a name already taken means another copy runs; any other failure
        // leaves the game without its lock, not without the game.
        if (error == EADDRINUSE) return false;
        fprintf(stderr, "Ember Bastion cannot take its single-instance lock (%s); starting anyway\n",
                strerror(error));
        return true;
    }
    platform.lockSocket = fd;
    return true;
}

void LEPlatformReleaseLock()
{
    if (platform.lockSocket >= 0) close(platform.lockSocket);
    platform.lockSocket = -1;
}

// ---------------------------------------------------------------------------
// Game-pads through SDL's game-controller interface, reported on XInput's scale.
// ---------------------------------------------------------------------------
static const struct { SDL_GameControllerButton button; uint16_t bit; } padButtons[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_UP, 0x0001}, {SDL_CONTROLLER_BUTTON_DPAD_DOWN, 0x0002},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0x0004}, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 0x0008},
    {SDL_CONTROLLER_BUTTON_START, 0x0010}, {SDL_CONTROLLER_BUTTON_BACK, 0x0020},
    {SDL_CONTROLLER_BUTTON_LEFTSTICK, 0x0040}, {SDL_CONTROLLER_BUTTON_RIGHTSTICK, 0x0080},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 0x0100}, {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 0x0200},
    {SDL_CONTROLLER_BUTTON_A, 0x1000}, {SDL_CONTROLLER_BUTTON_B, 0x2000},
    {SDL_CONTROLLER_BUTTON_X, 0x4000}, {SDL_CONTROLLER_BUTTON_Y, 0x8000},
};

// SDL's y axes point down and XInput's up; -32768 has no positive twin.
static int16_t FlipAxis(int16_t v) { return v == -32768 ? 32767 : int16_t(-v); }
static uint8_t TriggerByte(int16_t v) { return uint8_t(v <= 0 ? 0 : (int(v) * 255) / 32767); }

bool LEPlatformPollGamepad(int index, LEGamepadRaw* raw)
{
    if (!platform.started || index < 0 || index >= 4) return false;
    SDL_GameController*& pad = platform.pads[index];
    if (pad && !SDL_GameControllerGetAttached(pad)) {
        SDL_GameControllerClose(pad);
        pad = nullptr;
    }
    if (!pad) {
        SDL_GameControllerUpdate();
        if (index >= SDL_NumJoysticks() || !SDL_IsGameController(index)) return false;
        pad = SDL_GameControllerOpen(index);
        if (!pad) return false;
    }
    *raw = LEGamepadRaw{};
    for (const auto& b : padButtons)
        if (SDL_GameControllerGetButton(pad, b.button)) raw->buttons |= b.bit;
    raw->leftTrigger = TriggerByte(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT));
    raw->rightTrigger = TriggerByte(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT));
    raw->leftX = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
    raw->leftY = FlipAxis(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY));
    raw->rightX = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX);
    raw->rightY = FlipAxis(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTY));
    return true;
}

void LEPlatformRumbleGamepad(int index, float left, float right)
{
    if (index < 0 || index >= 4 || !platform.pads[index]) return;
    SDL_GameControllerRumble(platform.pads[index], Uint16(left * 65535.0f), Uint16(right * 65535.0f), 0);
}
