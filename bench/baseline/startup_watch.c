/* startup_watch — times a program's start on an X server:
 *   exec -> its window mapped -> first content on screen.
 *
 *   startup_watch WIDTH HEIGHT CMD [ARGS...]
 *
 * Prints "mapped_ms content_ms". The window is the first window of the given
 * client size to be mapped; "first content" is the first moment its pixels
 * on the screen hold more than one colour (a black or blank window does not
 * count; text on a background does). The screen is read back every 0.5 ms.
 * A window that SDL re-creates (for an accelerated surface) counts from
 * its first mapping; its content is read from the newest window mapped.
 * The program is ended (SIGTERM) afterwards. */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

/* A window may go away between its event and our request: not fatal. */
static int ignore_error(Display* d, XErrorEvent* e) {
    (void)d;
    (void)e;
    return 0;
}

static int colours_differ(Display* d, Window w, int width, int height) {
    XImage* img = XGetImage(d, w, 0, 0, (unsigned)width, (unsigned)height, AllPlanes, ZPixmap);
    if (!img) return 0;
    unsigned long first = XGetPixel(img, 0, 0);
    int differ = 0;
    for (int y = 0; y < height && !differ; ++y)
        for (int x = 0; x < width; ++x)
            if (XGetPixel(img, x, y) != first) { differ = 1; break; }
    XDestroyImage(img);
    return differ;
}

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: startup_watch WIDTH HEIGHT CMD [ARGS...]\n");
        return 2;
    }
    int width = atoi(argv[1]), height = atoi(argv[2]);
    Display* d = XOpenDisplay(NULL);
    if (!d) { fprintf(stderr, "startup_watch: no display\n"); return 2; }
    XSetErrorHandler(ignore_error);
    Window root = DefaultRootWindow(d);
    XSelectInput(d, root, SubstructureNotifyMask);
    XSync(d, False);

    double t0 = now_ms();
    pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[3], argv + 3);
        _exit(127);
    }
    double mapped = -1, content = -1;
    Window win = 0;
    int fd = ConnectionNumber(d);
    while (now_ms() - t0 < 10000 && content < 0) {
        while (XPending(d)) {
            XEvent ev;
            XNextEvent(d, &ev);
            if (ev.type != MapNotify) continue;
            XWindowAttributes a = {0};
            if (XGetWindowAttributes(d, ev.xmap.window, &a) && a.width == width && a.height == height &&
                a.class == InputOutput) {
                win = ev.xmap.window;
                if (mapped < 0) mapped = now_ms() - t0;
            }
        }
        if (win && colours_differ(d, win, width, height)) {
            content = now_ms() - t0;
            break;
        }
        fd_set set;
        FD_ZERO(&set);
        FD_SET(fd, &set);
        struct timeval tv = {0, 500};
        select(fd + 1, &set, NULL, NULL, &tv);
    }
    kill(pid, SIGTERM);
    waitpid(pid, NULL, 0);
    printf("%.1f %.1f\n", mapped, content);
    return mapped < 0 || content < 0;
}
