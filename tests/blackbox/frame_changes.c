/* Looks at the screen, or the rectangle X Y W H of it, RATE times a second for SECONDS
 * whole seconds, as a screen recorder would, and prints for each second how many of its
 * looks found a picture unlike the one before. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

/* FNV-1a over 64-bit words: cheap enough not to slow the game it watches. */
static uint64_t hash_of(const char* data, size_t size) {
    uint64_t hash = 1469598103934665603ull;
    for (size_t i = 0; i + 8 <= size; i += 8) {
        uint64_t word;
        memcpy(&word, data + i, 8);
        hash = (hash ^ word) * 1099511628211ull;
    }
    return hash;
}

int main(int argc, char** argv) {
    if ((argc != 3 && argc != 7) || atoi(argv[1]) <= 0 || atoi(argv[2]) <= 0) {
        fprintf(stderr, "usage: frame_changes SECONDS RATE [X Y W H]\n");
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "frame_changes: cannot open display\n");
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, root, &attributes);
    int x = 0, y = 0, width = attributes.width, height = attributes.height;
    if (argc == 7) {
        x = atoi(argv[3]);
        y = atoi(argv[4]);
        width = atoi(argv[5]);
        height = atoi(argv[6]);
    }
    const int rate = atoi(argv[2]);
    const long step_ns = 1000000000L / rate;
    const long looks = (long)atoi(argv[1]) * rate;
    struct timespec next;
    clock_gettime(CLOCK_MONOTONIC, &next);
    uint64_t last = 0;
    long changes = 0;
    for (long i = 0; i <= looks; ++i) {
        XImage* image =
            XGetImage(display, root, x, y, (unsigned)width, (unsigned)height, AllPlanes, ZPixmap);
        if (image == NULL) {
            fprintf(stderr, "frame_changes: cannot read the screen\n");
            return 1;
        }
        const uint64_t hash =
            hash_of(image->data, (size_t)image->bytes_per_line * (size_t)image->height);
        XDestroyImage(image);
        changes += i > 0 && hash != last;
        last = hash;
        if (i > 0 && i % rate == 0) {
            printf("%ld\n", changes);
            changes = 0;
        }
        next.tv_nsec += step_ns;
        if (next.tv_nsec >= 1000000000L) {
            next.tv_nsec -= 1000000000L;
            ++next.tv_sec;
        }
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, NULL);
    }
    XCloseDisplay(display);
    return 0;
}
