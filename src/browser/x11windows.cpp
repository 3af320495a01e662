#include "browser/x11windows.h"

// Xlib last: its macros (None, Bool, Status, ...) would break Qt headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

// Set by the error handler while one of these calls talks to the server.
bool xErrorSeen = false;

int recordXError(Display *, XErrorEvent *) {
  xErrorSeen = true;
  return 0;
}

// One short-lived connection per call: these calls are rare, and a
// connection of our own cannot disturb Qt's. A window that vanishes midway
// raises an X error; the default handler would end the whole program, so a
// quiet one is installed for the duration and the previous one put back.
class XConnection {
public:
  XConnection() : display_(XOpenDisplay(nullptr)) {
    if (display_) {
      xErrorSeen = false;
      previous_ = XSetErrorHandler(recordXError);
    }
  }
  ~XConnection() {
    if (display_) {
      XSync(display_, False);
      XSetErrorHandler(previous_);
      XCloseDisplay(display_);
    }
  }
  XConnection(const XConnection &) = delete;
  XConnection &operator=(const XConnection &) = delete;

  Display *display() const { return display_; }

private:
  Display *display_;
  XErrorHandler previous_ = nullptr;
};

bool hasProperty(Display *dpy, Window w, Atom property) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char *data = nullptr;
  if (XGetWindowProperty(dpy, w, property, 0, 0, False, AnyPropertyType, &type,
                         &format, &count, &after, &data) != Success)
    return false;
  if (data)
    XFree(data);
  return type != 0;
}

bool pidEquals(Display *dpy, Window w, Atom netWmPid, qint64 pid) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char *data = nullptr;
  if (XGetWindowProperty(dpy, w, netWmPid, 0, 1, False, XA_CARDINAL, &type,
                         &format, &count, &after, &data) != Success)
    return false;
  bool match = false;
  if (data && type == XA_CARDINAL && format == 32 && count == 1)
    match = qint64(*reinterpret_cast<unsigned long *>(data)) == pid;
  if (data)
    XFree(data);
  return match;
}

// A top-level window is a child of the root (no window manager) or a client
// window inside a window-manager frame, which carries WM_STATE. Frames may
// nest the client a level or two deep.
Window findByPid(Display *dpy, Window w, int depth, Atom wmState, Atom netWmPid,
                 qint64 pid) {
  constexpr int maxDepth = 3;
  if (depth > 0) {
    const bool managed = hasProperty(dpy, w, wmState);
    if ((depth == 1 || managed) && pidEquals(dpy, w, netWmPid, pid))
      return w;
    if (managed || depth >= maxDepth)
      return 0;
  }
  Window rootReturn = 0, parentReturn = 0, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(dpy, w, &rootReturn, &parentReturn, &children, &count))
    return 0;
  Window found = 0;
  for (unsigned int i = 0; i < count && !found; ++i)
    found = findByPid(dpy, children[i], depth + 1, wmState, netWmPid, pid);
  if (children)
    XFree(children);
  return found;
}

} // namespace

quintptr findTopLevelWindowByPid(qint64 pid) {
  if (pid <= 0)
    return 0;
  XConnection connection;
  Display *dpy = connection.display();
  if (!dpy)
    return 0;
  const Atom wmState = XInternAtom(dpy, "WM_STATE", False);
  const Atom netWmPid = XInternAtom(dpy, "_NET_WM_PID", False);
  return findByPid(dpy, DefaultRootWindow(dpy), 0, wmState, netWmPid, pid);
}

bool sendCloseMessage(quintptr xwindow) {
  if (xwindow == 0)
    return false;
  XConnection connection;
  Display *dpy = connection.display();
  if (!dpy)
    return false;
  const Window w = Window(xwindow);
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = w;
  event.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = long(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  if (!XSendEvent(dpy, w, False, NoEventMask, &event))
    return false;
  // Waiting for the server makes a vanished window show up as an error here
  // instead of passing for a delivered message.
  XSync(dpy, False);
  return !xErrorSeen;
}
