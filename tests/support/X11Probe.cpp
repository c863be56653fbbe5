// X11Probe: Xlib queries and the close request for process tests.
#include "X11Probe.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

// Xlib's default handler ends the process on an error (a window that vanished
// between two calls, say); a test should fail instead, so errors are ignored here.
static int IgnoreXError(Display*, XErrorEvent*) { return 0; }

static Display* Open()
{
    XSetErrorHandler(IgnoreXError);
    Display* display = XOpenDisplay(nullptr);
    if (!display) fprintf(stderr, "X11Probe: cannot open the display\n");
    return display;
}

// The window's title: its UTF-8 name where it has one (SDL's dialogs set their
// plain name in the locale's encoding, which XFetchName does not read), else
// its plain name.
static std::string Title(Display* display, Window window)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string title;
    const Atom utf8Name = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    if (XGetWindowProperty(display, window, utf8Name, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
            Success && data) {
        title.assign(reinterpret_cast<const char*>(data), count);
        XFree(data);
        if (!title.empty()) return title;
    }
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) {
        title = name;
        XFree(name);
    }
    return title;
}

static bool FindIn(Display* display, Window root, const std::string& title, Window* found)
{
    XWindowAttributes attributes;
    if (Title(display, root) == title && XGetWindowAttributes(display, root, &attributes) &&
        attributes.map_state == IsViewable) {
        *found = root;
        return true;
    }
    Window rootReturn, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, root, &rootReturn, &parent, &children, &count)) return false;
    bool result = false;
    for (unsigned i = 0; i < count && !result; ++i) result = FindIn(display, children[i], title, found);
    if (children) XFree(children);
    return result;
}

bool X11FindWindow(const std::string& title, X11Window* out)
{
    Display* display = Open();
    if (!display) return false;
    Window found = 0;
    const bool ok = FindIn(display, DefaultRootWindow(display), title, &found);
    if (ok) {
        XWindowAttributes a;
        XGetWindowAttributes(display, found, &a);
        Window child;
        int rx = 0, ry = 0;
        XTranslateCoordinates(display, found, DefaultRootWindow(display), 0, 0, &rx, &ry, &child);
        *out = X11Window{found, rx, ry, a.width, a.height};
    }
    XCloseDisplay(display);
    return ok;
}

uint32_t X11WindowPixel(const X11Window& window, int x, int y)
{
    Display* display = Open();
    if (!display) return 0;
    uint32_t rgb = 0;
    if (XImage* image = XGetImage(display, window.id, x, y, 1, 1, AllPlanes, ZPixmap)) {
        rgb = uint32_t(XGetPixel(image, 0, 0)) & 0xFFFFFF;
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return rgb;
}

bool X11CloseWindow(const X11Window& window)
{
    Display* display = Open();
    if (!display) return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window.id;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool ok = XSendEvent(display, window.id, False, NoEventMask, &event) != 0;
    XFlush(display);
    XCloseDisplay(display);
    return ok;
}

bool X11WaitForWindow(pid_t pid, const std::string& title, const std::function<bool(const X11Window&)>& ready,
                      int seconds, X11Window* out)
{
    for (int i = 0; i < seconds * 10; ++i) {
        if (X11FindWindow(title, out) && ready(*out)) return true;
        siginfo_t ended{};  // looked at, not reaped: WaitExit still reads the exit code
        if (waitid(P_PID, id_t(pid), &ended, WEXITED | WNOHANG | WNOWAIT) == 0 && ended.si_pid == pid) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

pid_t StartProgram(const std::string& program, const std::string& folder, const std::string& outPath,
                   const std::string& errPath, bool withoutDisplay, bool dialogs)
{
    const pid_t pid = fork();
    if (pid != 0) return pid;
    if (dialogs) {
        unsetenv("CI");
        unsetenv("EMBER_BASTION_NO_DIALOGS");
    }
    if (withoutDisplay) {
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        setenv("SDL_VIDEODRIVER", "x11", 1);
    }
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int out = outPath == errPath ? dup(err) : open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(err, 2);
    if (chdir(folder.c_str()) != 0) _exit(97);
    execl(program.c_str(), program.c_str(), nullptr);
    _exit(98);
}

int WaitExit(pid_t pid, int seconds)
{
    for (int i = 0;; ++i) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        if (i >= seconds * 20) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

void KillProgram(pid_t& pid)
{
    if (pid > 0 && WaitExit(pid, 0) == -1) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    pid = -1;
}
