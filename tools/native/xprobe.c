/* xprobe COMMAND TITLE [ARGS]: looks at and pokes a top-level X window from
 * outside, as a user or a window manager would.
 *
 *   wait TITLE [SECONDS]            until the window is shown; prints "ID X Y W H"
 *   gone TITLE [SECONDS]            until no window has that title
 *   pixel TITLE [DX DY]             prints RRGGBB on screen at its centre (+DX,DY)
 *   wait-colour TITLE RRGGBB [SECONDS] [TOLERANCE]
 *                                   until that pixel is within TOLERANCE per channel
 *   close TITLE                     asks it to close (WM_DELETE_WINDOW), as the
 *                                   close button of a window manager does
 *
 * Exit code 0 on success, 1 when the window or the colour did not come in
 * time, 2 on bad arguments. */
#define _DEFAULT_SOURCE
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "XFind.h"

static int Usage(void)
{
    fprintf(stderr, "usage: xprobe wait|gone|pixel|wait-colour|close TITLE [ARGS]\n");
    return 2;
}

/* The 0xRRGGBB on screen at root coordinates x, y. */
static unsigned long ScreenPixel(Display* dpy, int x, int y)
{
    XImage* image = XGetImage(dpy, DefaultRootWindow(dpy), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return 0;
    const unsigned long pixel = XGetPixel(image, 0, 0);
    const Visual* visual = DefaultVisual(dpy, DefaultScreen(dpy));
    unsigned long rgb = 0;
    const unsigned long masks[3] = {visual->red_mask, visual->green_mask, visual->blue_mask};
    for (int i = 0; i < 3; ++i) {
        unsigned long mask = masks[i], value = pixel & mask;
        int bits = 0;
        while (mask && !(mask & 1)) {
            mask >>= 1;
            value >>= 1;
        }
        while (mask & 1) {
            mask >>= 1;
            ++bits;
        }
        /* Scale the channel to 8 bits. */
        const unsigned long channel = bits >= 8 ? value >> (bits - 8) : value << (8 - bits);
        rgb = (rgb << 8) | (channel & 0xFF);
    }
    XDestroyImage(image);
    return rgb;
}

static int Near(unsigned long a, unsigned long b, int tolerance)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const int da = (int)((a >> shift) & 0xFF), db = (int)((b >> shift) & 0xFF);
        if (abs(da - db) > tolerance)
            return 0;
    }
    return 1;
}

static int SendDeleteWindow(Display* dpy, Window w)
{
    XEvent ev;
    memset(&ev, 0, sizeof(ev));
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = (long)XInternAtom(dpy, "WM_DELETE_WINDOW", False);
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, w, False, NoEventMask, &ev);
    XFlush(dpy);
    return 0;
}

static int Run(Display* dpy, int argc, char** argv)
{
    const char* command = argv[1];
    const char* title = argv[2];

    if (strcmp(command, "wait") == 0) {
        const Window w = WaitForNamedWindow(dpy, title, argc > 3 ? atof(argv[3]) : 20.0);
        if (w == None)
            return 1;
        XWindowAttributes attrs;
        int x, y;
        Window child;
        XGetWindowAttributes(dpy, w, &attrs);
        XTranslateCoordinates(dpy, w, DefaultRootWindow(dpy), 0, 0, &x, &y, &child);
        printf("0x%lx %d %d %d %d\n", (unsigned long)w, x, y, attrs.width, attrs.height);
        return 0;
    }
    if (strcmp(command, "gone") == 0) {
        const double end = NowSeconds() + (argc > 3 ? atof(argv[3]) : 20.0);
        while (FindNamedWindow(dpy, title) != None) {
            if (NowSeconds() > end)
                return 1;
            SleepMs(100);
        }
        return 0;
    }

    const Window w = WaitForNamedWindow(dpy, title, 10.0);
    if (w == None) {
        fprintf(stderr, "xprobe: no window titled \"%s\"\n", title);
        return 1;
    }
    if (strcmp(command, "close") == 0)
        return SendDeleteWindow(dpy, w);
    if (strcmp(command, "pixel") == 0) {
        int x, y;
        WindowPoint(dpy, w, argc > 4 ? atoi(argv[3]) : 0, argc > 4 ? atoi(argv[4]) : 0, &x, &y);
        printf("%06lX\n", ScreenPixel(dpy, x, y));
        return 0;
    }
    if (strcmp(command, "wait-colour") == 0 && argc > 3) {
        const unsigned long want = strtoul(argv[3], NULL, 16);
        const double end = NowSeconds() + (argc > 4 ? atof(argv[4]) : 20.0);
        const int tolerance = argc > 5 ? atoi(argv[5]) : 24;
        unsigned long seen = 0;
        for (;;) {
            int x, y;
            WindowPoint(dpy, w, 0, 0, &x, &y);
            seen = ScreenPixel(dpy, x, y);
            if (Near(seen, want, tolerance)) {
                printf("%06lX\n", seen);
                return 0;
            }
            if (NowSeconds() > end)
                break;
            SleepMs(100);
        }
        fprintf(stderr, "xprobe: centre of \"%s\" is %06lX, not %06lX\n", title, seen, want);
        return 1;
    }
    return Usage();
}

int main(int argc, char** argv)
{
    if (argc < 3)
        return Usage();
    Display* dpy = XOpenDisplay(NULL);
    if (!dpy) {
        fprintf(stderr, "xprobe: cannot open display\n");
        return 1;
    }
    const int rc = Run(dpy, argc, argv);
    XCloseDisplay(dpy);
    return rc;
}
