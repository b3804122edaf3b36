/* Prints a hash of what the X screen shows, so that a script can wait until a click has been
 * answered by a new frame. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdint.h>
#include <stdio.h>

int main(void) {
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "screen_hash: cannot open the display\n");
        return 1;
    }
    XWindowAttributes root;
    XGetWindowAttributes(display, DefaultRootWindow(display), &root);
    XImage* image = XGetImage(display, DefaultRootWindow(display), 0, 0, (unsigned)root.width,
                              (unsigned)root.height, AllPlanes, ZPixmap);
    if (!image) {
        fprintf(stderr, "screen_hash: cannot read the screen\n");
        return 1;
    }
    uint64_t hash = 14695981039346656037ull; /* FNV-1a over the pixel values */
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x)
            hash = (hash ^ XGetPixel(image, x, y)) * 1099511628211ull;
    printf("%016llx\n", (unsigned long long)hash);
    XDestroyImage(image);
    XCloseDisplay(display);
    return 0;
}
