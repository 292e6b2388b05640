// Asks an X window to close the way a window manager does, with a WM_DELETE_WINDOW message,
// so a test can end a program through its window rather than with a signal.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool acceptsDeleteWindow(Display *display, Window window, Atom deleteWindow)
{
    Atom *protocols = nullptr;
    int count = 0;
    if (!XGetWMProtocols(display, window, &protocols, &count))
        return false;
    bool found = false;
    for (int i = 0; i < count; ++i)
        found = found || protocols[i] == deleteWindow;
    XFree(protocols);
    return found;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s WINDOW-ID\n", argv[0]);
        return 2;
    }
    char *end = nullptr;
    const Window window = std::strtoul(argv[1], &end, 0);
    if (*argv[1] == '\0' || *end != '\0') {
        std::fprintf(stderr, "close_window: not a window id: %s\n", argv[1]);
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "close_window: cannot open the display\n");
        return 1;
    }
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    if (!acceptsDeleteWindow(display, window, deleteWindow)) {
        std::fprintf(stderr, "close_window: window %lu does not take WM_DELETE_WINDOW\n", window);
        XCloseDisplay(display);
        return 1;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
