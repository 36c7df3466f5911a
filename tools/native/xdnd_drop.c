/* xdnd-drop [-n TITLE] [-w SECONDS] FILE...
 *
 * Drops files onto an X window the way a file manager does: an XDND drag
 * source offering the files as text/uri-list. The target is the viewable
 * top-level window titled TITLE (default "Lumarel Test"), and the drop point
 * is its centre. Exits 0 once the drop was delivered, 1 when the window is
 * missing or does not take drops, 2 on bad arguments.
 *
 * Wine asks for the uri list as soon as XdndEnter arrives, so the source
 * answers selection requests all along; and a target that is busy may never
 * answer XdndFinished, so that wait is bounded. */
#define _DEFAULT_SOURCE
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "XFind.h"

static const int kXdndVersion = 5;

typedef struct
{
    Display* dpy;
    Window source;
    Window target;
    Atom aware, selection, enter, position, status, drop, finished, copy, uriList, targets;
    char* uris; /* "file:///a\r\nfile:///b\r\n" */
    int statusSeen;
    int accepted;
    int finishedSeen;
} Drag;

/* file:///path with every byte outside the unreserved set as %XX. */
static void AppendUri(char** list, size_t* len, const char* path)
{
    static const char kHex[] = "0123456789ABCDEF";
    const size_t need = strlen("file://") + 3 * strlen(path) + 3;
    size_t at = *len;
    *list = realloc(*list, *len + need + 1);
    at += sprintf(*list + at, "file://");
    for (const unsigned char* p = (const unsigned char*)path; *p; ++p) {
        if ((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z') || (*p >= '0' && *p <= '9')
            || strchr("/-._~", *p)) {
            (*list)[at++] = (char)*p;
        } else {
            (*list)[at++] = '%';
            (*list)[at++] = kHex[*p >> 4];
            (*list)[at++] = kHex[*p & 15];
        }
    }
    (*list)[at++] = '\r';
    (*list)[at++] = '\n';
    (*list)[at] = '\0';
    *len = at;
}

static void SendToTarget(Drag* d, Atom type, long l1, long l2, long l3, long l4)
{
    XEvent ev;
    memset(&ev, 0, sizeof(ev));
    ev.xclient.type = ClientMessage;
    ev.xclient.display = d->dpy;
    ev.xclient.window = d->target;
    ev.xclient.message_type = type;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = (long)d->source;
    ev.xclient.data.l[1] = l1;
    ev.xclient.data.l[2] = l2;
    ev.xclient.data.l[3] = l3;
    ev.xclient.data.l[4] = l4;
    XSendEvent(d->dpy, d->target, False, NoEventMask, &ev);
    XFlush(d->dpy);
}

static void AnswerSelectionRequest(Drag* d, const XSelectionRequestEvent* req)
{
    XEvent reply;
    memset(&reply, 0, sizeof(reply));
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = req->display;
    reply.xselection.requestor = req->requestor;
    reply.xselection.selection = req->selection;
    reply.xselection.target = req->target;
    reply.xselection.time = req->time;
    reply.xselection.property = req->property != None ? req->property : req->target;
    if (req->target == d->uriList) {
        XChangeProperty(d->dpy, req->requestor, reply.xselection.property, d->uriList, 8,
                        PropModeReplace, (unsigned char*)d->uris, (int)strlen(d->uris));
    } else if (req->target == d->targets) {
        Atom offered[2] = {d->targets, d->uriList};
        XChangeProperty(d->dpy, req->requestor, reply.xselection.property, XA_ATOM, 32,
                        PropModeReplace, (unsigned char*)offered, 2);
    } else {
        reply.xselection.property = None;
    }
    XSendEvent(d->dpy, req->requestor, False, NoEventMask, &reply);
    XFlush(d->dpy);
}

/* Handles what arrives for up to `seconds`, or until *done becomes true. */
static void Pump(Drag* d, double seconds, const int* done)
{
    const double end = NowSeconds() + seconds;
    while (!(done && *done) && NowSeconds() < end) {
        if (!XPending(d->dpy)) {
            SleepMs(10);
            continue;
        }
        XEvent ev;
        XNextEvent(d->dpy, &ev);
        if (ev.type == SelectionRequest) {
            AnswerSelectionRequest(d, &ev.xselectionrequest);
        } else if (ev.type == ClientMessage && ev.xclient.message_type == d->status) {
            d->statusSeen = 1;
            d->accepted = (ev.xclient.data.l[1] & 1) != 0;
        } else if (ev.type == ClientMessage && ev.xclient.message_type == d->finished) {
            d->finishedSeen = 1;
        }
    }
}

static int TargetVersion(Drag* d)
{
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = NULL;
    int version = 0;
    if (XGetWindowProperty(d->dpy, d->target, d->aware, 0, 1, False, XA_ATOM, &type, &format,
                           &count, &after, &data) == Success
        && data && count == 1 && format == 32)
        version = (int)*(long*)data;
    if (data)
        XFree(data);
    return version;
}

int main(int argc, char** argv)
{
    const char* title = "Lumarel Test";
    double waitSeconds = 10.0;
    int opt;
    while ((opt = getopt(argc, argv, "n:w:")) != -1) {
        if (opt == 'n')
            title = optarg;
        else if (opt == 'w')
            waitSeconds = atof(optarg);
        else
            return 2;
    }
    if (optind >= argc) {
        fprintf(stderr, "usage: xdnd-drop [-n TITLE] [-w SECONDS] FILE...\n");
        return 2;
    }

    Drag d;
    memset(&d, 0, sizeof(d));
    size_t len = 0;
    for (int i = optind; i < argc; ++i) {
        char full[PATH_MAX];
        /* A file that does not exist is dropped by the name given. */
        AppendUri(&d.uris, &len, realpath(argv[i], full) ? full : argv[i]);
    }

    d.dpy = XOpenDisplay(NULL);
    if (!d.dpy) {
        fprintf(stderr, "xdnd-drop: cannot open display\n");
        return 1;
    }
    d.aware = XInternAtom(d.dpy, "XdndAware", False);
    d.selection = XInternAtom(d.dpy, "XdndSelection", False);
    d.enter = XInternAtom(d.dpy, "XdndEnter", False);
    d.position = XInternAtom(d.dpy, "XdndPosition", False);
    d.status = XInternAtom(d.dpy, "XdndStatus", False);
    d.drop = XInternAtom(d.dpy, "XdndDrop", False);
    d.finished = XInternAtom(d.dpy, "XdndFinished", False);
    d.copy = XInternAtom(d.dpy, "XdndActionCopy", False);
    d.uriList = XInternAtom(d.dpy, "text/uri-list", False);
    d.targets = XInternAtom(d.dpy, "TARGETS", False);

    int rc = 1;
    d.target = WaitForNamedWindow(d.dpy, title, waitSeconds);
    const int version = d.target != None ? TargetVersion(&d) : 0;
    if (d.target == None) {
        fprintf(stderr, "xdnd-drop: no window titled \"%s\"\n", title);
    } else if (version < 3) {
        fprintf(stderr, "xdnd-drop: \"%s\" does not take drops (XdndAware %d)\n", title, version);
    } else {
        d.source = XCreateSimpleWindow(d.dpy, DefaultRootWindow(d.dpy), 0, 0, 1, 1, 0, 0, 0);
        XSetSelectionOwner(d.dpy, d.selection, d.source, CurrentTime);
        int x, y;
        WindowPoint(d.dpy, d.target, 0, 0, &x, &y);
        const long use = version < kXdndVersion ? version : kXdndVersion;

        SendToTarget(&d, d.enter, use << 24, (long)d.uriList, None, None);
        Pump(&d, 0.5, NULL); /* the target reads the list now */
        SendToTarget(&d, d.position, 0, ((long)x << 16) | y, CurrentTime, (long)d.copy);
        Pump(&d, 3.0, &d.statusSeen);
        if (d.statusSeen && !d.accepted) {
            fprintf(stderr, "xdnd-drop: \"%s\" refused the files\n", title);
            SendToTarget(&d, XInternAtom(d.dpy, "XdndLeave", False), 0, 0, 0, 0);
        } else {
            if (!d.statusSeen)
                fprintf(stderr, "xdnd-drop: no XdndStatus (the target may be busy); dropping\n");
            SendToTarget(&d, d.drop, 0, CurrentTime, 0, 0);
            Pump(&d, 5.0, &d.finishedSeen);
            if (!d.finishedSeen)
                fprintf(stderr, "xdnd-drop: no XdndFinished (the target may be busy)\n");
            rc = 0;
        }
        XDestroyWindow(d.dpy, d.source);
    }
    XCloseDisplay(d.dpy);
    free(d.uris);
    return rc;
}
