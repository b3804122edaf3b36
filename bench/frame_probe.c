/* The stopwatch of bench/measure: watches a window's pixels with a tight XGetImage loop.
 *
 *   frame_probe first-frame TITLE X Y W H MINRED TIMEOUT_MS
 *       Prints "ready", then waits for a top-level window titled TITLE whose area X Y W H shows
 *       at least MINRED red pixels, and prints the CLOCK_MONOTONIC time of that moment in
 *       nanoseconds. The caller notes the same clock just before it starts the program.
 *
 *   frame_probe click TITLE CX CY X Y W H xdotool|xtest TIMEOUT_MS
 *       Puts the pointer on CX CY of the window, keeps the pixels of X Y W H, then clicks the
 *       left button - by starting "xdotool click 1", or by sending the press and release through
 *       the XTEST extension itself - and prints the milliseconds from just before the click to
 *       the first poll that sees those pixels changed. With xdotool the figure includes
 *       xdotool's own start-up; with xtest it is the program's answer alone.
 *
 * Between two polls it sleeps 0.2 ms, so that it leaves the processor to the X server and the
 * program being watched on a machine with few cores; a figure is therefore at most about one
 * poll late. Exit status 1 on a timeout, 2 on bad arguments or without a display.
 */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <spawn.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>

extern char** environ;

static const long PollPauseNanoseconds = 200000;

static int64_t nowNanoseconds(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (int64_t)t.tv_sec * 1000000000 + t.tv_nsec;
}

static void pauseBetweenPolls(void)
{
    struct timespec t = {0, PollPauseNanoseconds};
    nanosleep(&t, NULL);
}

static int ignoreErrors(Display* display, XErrorEvent* error)
{
    (void)display;
    (void)error;
    return 0;  /* a window that goes away between two requests is simply not found */
}

static Window findWindow(Display* display, const char* title)
{
    Window root = DefaultRootWindow(display), rootReturn, parent, *children = NULL;
    unsigned int count = 0;
    Window found = 0;
    if (!XQueryTree(display, root, &rootReturn, &parent, &children, &count))
        return 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        char* name = NULL;
        if (XFetchName(display, children[i], &name) && name) {
            if (strcmp(name, title) == 0)
                found = children[i];
            XFree(name);
        }
    }
    if (children)
        XFree(children);
    return found;
}

/* The area as 32-bit pixels in a buffer of the caller's, or 0 when it cannot be read. */
static int grab(Display* display, Window window, int x, int y, int w, int h, uint32_t* pixels)
{
    XImage* image = XGetImage(display, window, x, y, (unsigned)w, (unsigned)h, AllPlanes, ZPixmap);
    if (!image)
        return 0;
    for (int row = 0; row < h; ++row) {
        if (image->bits_per_pixel == 32) {
            memcpy(pixels + row * w, image->data + row * image->bytes_per_line, sizeof(uint32_t) * (size_t)w);
            continue;
        }
        for (int column = 0; column < w; ++column)
            pixels[row * w + column] = (uint32_t)XGetPixel(image, column, row);
    }
    XDestroyImage(image);
    return 1;
}

static int countRed(const uint32_t* pixels, int count)
{
    int red = 0;
    for (int i = 0; i < count; ++i) {
        const unsigned r = (pixels[i] >> 16) & 0xFF, g = (pixels[i] >> 8) & 0xFF, b = pixels[i] & 0xFF;
        red += r > 96 && g < 40 && b < 40;
    }
    return red;
}

static int firstFrame(Display* display, char** argv)
{
    const char* title = argv[0];
    const int x = atoi(argv[1]), y = atoi(argv[2]), w = atoi(argv[3]), h = atoi(argv[4]);
    const int minRed = atoi(argv[5]);
    const int64_t deadline = nowNanoseconds() + (int64_t)atoi(argv[6]) * 1000000;
    uint32_t* pixels = malloc(sizeof(uint32_t) * (size_t)(w * h));
    Window window = 0;
    puts("ready");
    fflush(stdout);
    while (nowNanoseconds() < deadline) {
        if (!window)
            window = findWindow(display, title);
        if (window && grab(display, window, x, y, w, h, pixels) && countRed(pixels, w * h) >= minRed) {
            printf("%lld\n", (long long)nowNanoseconds());
            free(pixels);
            return 0;
        }
        pauseBetweenPolls();
    }
    free(pixels);
    return 1;
}

typedef int (*FakeButton)(Display*, unsigned int, Bool, unsigned long);

static int click(Display* display, char** argv)
{
    const char* title = argv[0];
    const int cx = atoi(argv[1]), cy = atoi(argv[2]);
    const int x = atoi(argv[3]), y = atoi(argv[4]), w = atoi(argv[5]), h = atoi(argv[6]);
    const int useXtest = strcmp(argv[7], "xtest") == 0;
    const int64_t timeout = (int64_t)atoi(argv[8]) * 1000000;

    FakeButton fakeButton = NULL;
    if (useXtest) {
        void* library = dlopen("libXtst.so.6", RTLD_NOW);
        fakeButton = library ? (FakeButton)dlsym(library, "XTestFakeButtonEvent") : NULL;
        if (!fakeButton) {
            fputs("frame_probe: libXtst.so.6 is missing\n", stderr);
            return 2;
        }
    }
    const Window window = findWindow(display, title);
    if (!window)
        return 1;
    XWarpPointer(display, None, window, 0, 0, 0, 0, cx, cy);
    XSync(display, False);
    struct timespec settle = {0, 50000000};
    nanosleep(&settle, NULL);

    uint32_t* before = malloc(sizeof(uint32_t) * (size_t)(w * h));
    uint32_t* now = malloc(sizeof(uint32_t) * (size_t)(w * h));
    if (!grab(display, window, x, y, w, h, before))
        return 1;

    pid_t clicker = 0;
    const int64_t start = nowNanoseconds();
    if (useXtest) {
        fakeButton(display, 1, True, CurrentTime);
        fakeButton(display, 1, False, CurrentTime);
        XFlush(display);
    } else {
        char* arguments[] = {"xdotool", "click", "1", NULL};
        if (posix_spawnp(&clicker, "xdotool", NULL, NULL, arguments, environ) != 0) {
            fputs("frame_probe: cannot start xdotool\n", stderr);
            return 2;
        }
    }
    int status = 1;
    while (nowNanoseconds() - start < timeout) {
        if (grab(display, window, x, y, w, h, now) && memcmp(before, now, sizeof(uint32_t) * (size_t)(w * h)) != 0) {
            printf("%.3f\n", (double)(nowNanoseconds() - start) / 1e6);
            status = 0;
            break;
        }
        pauseBetweenPolls();
    }
    if (clicker)
        waitpid(clicker, NULL, 0);
    free(before);
    free(now);
    return status;
}

int main(int argc, char** argv)
{
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fputs("frame_probe: no display\n", stderr);
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    int status = 2;
    if (argc == 9 && strcmp(argv[1], "first-frame") == 0)
        status = firstFrame(display, argv + 2);
    else if (argc == 11 && strcmp(argv[1], "click") == 0)
        status = click(display, argv + 2);
    else
        fputs("usage: frame_probe first-frame TITLE X Y W H MINRED TIMEOUT_MS\n"
              "       frame_probe click TITLE CX CY X Y W H xdotool|xtest TIMEOUT_MS\n",
              stderr);
    XCloseDisplay(display);
    return status;
}
