/* Prints a hash of what the X screen shows, so a script can wait until a click has been
 * answered by a new frame; with a path it also saves the screen as a binary PPM picture.
 *   screen_hash [<picture.ppm>] */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdint.h>
#include <stdio.h>

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "screen_hash: cannot open the display\n");
        return 1;
    }
    Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, root, &attributes);
    XImage* image = XGetImage(display, root, 0, 0, (unsigned)attributes.width,
                              (unsigned)attributes.height, AllPlanes, ZPixmap);
    if (!image) {
        fprintf(stderr, "screen_hash: cannot read the screen\n");
        return 1;
    }
    FILE* picture = argc > 1 ? fopen(argv[1], "wb") : NULL;
    if (picture) fprintf(picture, "P6\n%d %d\n255\n", image->width, image->height);
    uint64_t hash = 14695981039346656037ull; /* FNV-1a over the RGB bytes */
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            const unsigned char rgb[3] = {(unsigned char)((pixel & image->red_mask) >> 16),
                                          (unsigned char)((pixel & image->green_mask) >> 8),
                                          (unsigned char)(pixel & image->blue_mask)};
            for (int i = 0; i < 3; ++i) hash = (hash ^ rgb[i]) * 1099511628211ull;
            if (picture) fwrite(rgb, 1, 3, picture);
        }
    }
    if (picture) fclose(picture);
    printf("%016llx\n", (unsigned long long)hash);
    XDestroyImage(image);
    XCloseDisplay(display);
    return 0;
}
