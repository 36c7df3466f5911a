/* XFind: finds a viewable top-level X window by its title (WM_NAME), the way
 * Wine names the X window of each top-level Windows window. */
#ifndef LUMAREL_XFIND_H
#define LUMAREL_XFIND_H

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <string.h>
#include <time.h>

static Window FindNamedWindowUnder(Display* dpy, Window parent, const char* name)
{
    Window root, up, *children = NULL, found = None;
    unsigned int count = 0, i;
    if (!XQueryTree(dpy, parent, &root, &up, &children, &count))
        return None;
    for (i = 0; i < count && found == None; ++i) {
        XWindowAttributes attrs;
        char* title = NULL;
        if (!XGetWindowAttributes(dpy, children[i], &attrs) || attrs.map_state != IsViewable)
            continue;
        if (XFetchName(dpy, children[i], &title) && title) {
            if (strcmp(title, name) == 0)
                found = children[i];
            XFree(title);
        }
        if (found == None)
            found = FindNamedWindowUnder(dpy, children[i], name);
    }
    if (children)
        XFree(children);
    return found;
}

static Window FindNamedWindow(Display* dpy, const char* name)
{
    return FindNamedWindowUnder(dpy, DefaultRootWindow(dpy), name);
}

static double NowSeconds(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

static void SleepMs(long ms)
{
    struct timespec ts = {ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&ts, NULL);
}

/* Waits up to timeout seconds for the window to be there and viewable. */
static Window WaitForNamedWindow(Display* dpy, const char* name, double timeout)
{
    const double end = NowSeconds() + timeout;
    for (;;) {
        Window w = FindNamedWindow(dpy, name);
        if (w != None || NowSeconds() > end)
            return w;
        SleepMs(100);
    }
}

/* The root coordinates of the window's centre (plus an offset). */
static void WindowPoint(Display* dpy, Window w, int dx, int dy, int* x, int* y)
{
    XWindowAttributes attrs;
    Window child;
    XGetWindowAttributes(dpy, w, &attrs);
    XTranslateCoordinates(dpy, w, DefaultRootWindow(dpy), attrs.width / 2 + dx,
                          attrs.height / 2 + dy, x, y, &child);
}

#endif
