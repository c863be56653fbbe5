// pixelwait: waits until a pixel of the X screen takes a colour, and prints the
// milliseconds it waited. bench/screen_times.sh runs it right after starting the
// game or sending a press, so the figure is how long the player waits for the
// next screen's first frame.
// Usage: pixelwait X Y RRGGBB [TIMEOUT_MS]   (exit status 1 when not seen in time)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

static double NowMs(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

int main(int argc, char** argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: pixelwait X Y RRGGBB [TIMEOUT_MS]\n");
        return 2;
    }
    const double start = NowMs();
    const int x = atoi(argv[1]), y = atoi(argv[2]);
    const unsigned long want = strtoul(argv[3], NULL, 16);
    const double timeout = argc > 4 ? atof(argv[4]) : 30000.0;
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "pixelwait: no X display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    while (NowMs() - start < timeout) {
        XImage* image = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap);
        if (image) {
            const unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
            XDestroyImage(image);
            if (pixel == want) {
                printf("%.0f\n", NowMs() - start);
                return 0;
            }
        }
        usleep(500);
    }
    printf("not seen\n");
    return 1;
}
