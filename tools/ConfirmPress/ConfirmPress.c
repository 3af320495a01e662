/*
 * ConfirmPress: answers a browser dialog that a page script cannot reach.
 *
 * Usage: ConfirmPress CAPTION
 *        ConfirmPress CAPTION,SECONDS,COUNT
 *
 * The tool watches the X server for a viewable top-level window whose title
 * is exactly CAPTION, activates it and presses Return so that the dialog's
 * default button fires.
 *
 * SECONDS is how long it watches and COUNT how many boxes it presses. When
 * either limit is reached the tool exits by itself rather than idling: an
 * idle tool has nothing left to do, and a caller that dies without closing
 * it must not leave it behind. A value of 0 or less means "no limit", so
 * "CAPTION,0,0" behaves like plain "CAPTION", which watches and presses until
 * the tool is closed.
 *
 * The tool keeps one small top-level window titled "ConfirmPress" that
 * carries _NET_WM_PID, so that its caller can find it by process id and end
 * it with WM_DELETE_WINDOW. SIGTERM, SIGINT and SIGHUP end it as well.
 *
 * Exit status: 0 on a normal end, 1 when the X server or the XTest extension
 * is not available, 2 on a usage error.
 */
#define _POSIX_C_SOURCE 200809L

#include <errno.h>
#include <limits.h>
#include <locale.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <time.h>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#define POLL_MS 100
/* A dialog that is still there one second after a press gets pressed again;
 * sooner than that it is most likely still handling the first one. */
#define REPRESS_MS 1000
#define RECENT_SLOTS 16
/* Window managers nest a client window inside a frame, sometimes inside one
 * more decoration window; three levels reach the client in all common ones. */
#define MAX_DEPTH 3

static volatile sig_atomic_t stop_requested = 0;

static Atom atom_wm_state;
static Atom atom_net_wm_name;
static Atom atom_utf8_string;
static Atom atom_wm_protocols;
static Atom atom_wm_delete_window;
static Atom atom_net_active_window;

struct recent_press {
  Window window;
  long long at_ms;
};

static void on_signal(int sig) {
  (void)sig;
  stop_requested = 1;
}

/* Windows come and go while the tree is walked; a BadWindow or BadMatch
 * from a vanished window is expected and must not end the tool. */
static int ignore_x_error(Display *dpy, XErrorEvent *ev) {
  (void)dpy;
  (void)ev;
  return 0;
}

static long long now_ms(void) {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return (long long)ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
}

/* Strict decimal integer with an optional sign and nothing else around it.
 * Values beyond a day's worth of seconds are clamped; they mean "no limit"
 * in practice anyway. */
static int parse_int(const char *s, size_t len, long *out) {
  size_t i = 0;
  int negative = 0;
  long value = 0;
  if (len > 0 && (s[0] == '-' || s[0] == '+')) {
    negative = s[0] == '-';
    i = 1;
  }
  if (i == len)
    return 0;
  for (; i < len; i++) {
    if (s[i] < '0' || s[i] > '9')
      return 0;
    if (value < 100000000)
      value = value * 10 + (s[i] - '0');
  }
  *out = negative ? -value : value;
  return 1;
}

/* Splits "caption,seconds,count" when the last two fields are integers;
 * otherwise the whole text is the caption, commas and all. */
static void parse_command(char *text, long *seconds, long *count) {
  size_t len = strlen(text);
  char *last = strrchr(text, ',');
  char *prev;
  long s, c;
  *seconds = 0;
  *count = 0;
  if (!last)
    return;
  *last = '\0';
  prev = strrchr(text, ',');
  *last = ',';
  if (!prev)
    return;
  if (!parse_int(prev + 1, (size_t)(last - prev - 1), &s) ||
      !parse_int(last + 1, len - (size_t)(last - text) - 1, &c))
    return;
  *prev = '\0';
  *seconds = s;
  *count = c;
}

/* The caller may hand over a caption with spaces as one argument or as
 * several words; both mean the same caption. */
static char *join_arguments(int argc, char **argv) {
  size_t total = 1;
  char *text;
  int i;
  for (i = 1; i < argc; i++)
    total += strlen(argv[i]) + 1;
  text = malloc(total);
  if (!text)
    return NULL;
  text[0] = '\0';
  for (i = 1; i < argc; i++) {
    if (i > 1)
      strcat(text, " ");
    strcat(text, argv[i]);
  }
  return text;
}

static int has_property(Display *dpy, Window w, Atom property) {
  Atom type = None;
  int format;
  unsigned long n, after;
  unsigned char *data = NULL;
  if (XGetWindowProperty(dpy, w, property, 0, 0, False, AnyPropertyType, &type,
                         &format, &n, &after, &data) != Success)
    return 0;
  if (data)
    XFree(data);
  return type != None;
}

static int is_viewable(Display *dpy, Window w) {
  XWindowAttributes attr;
  if (!XGetWindowAttributes(dpy, w, &attr))
    return 0;
  return attr.map_state == IsViewable;
}

/* Compares the window title with the caption byte for byte, reading the
 * UTF-8 title first and the legacy WM_NAME (converted to UTF-8) else. */
static int title_equals(Display *dpy, Window w, const char *caption,
                        size_t caption_len) {
  Atom type = None;
  int format, match = 0;
  unsigned long n, after;
  unsigned char *data = NULL;
  XTextProperty text;

  if (XGetWindowProperty(dpy, w, atom_net_wm_name, 0, 4096, False,
                         atom_utf8_string, &type, &format, &n, &after,
                         &data) == Success &&
      type == atom_utf8_string && format == 8) {
    match = after == 0 && n == caption_len && memcmp(data, caption, n) == 0;
    XFree(data);
    return match;
  }
  if (data)
    XFree(data);

  if (!XGetWMName(dpy, w, &text))
    return 0;
  if (text.value && text.format == 8) {
    if (text.encoding == atom_utf8_string) {
      match = text.nitems == caption_len &&
              memcmp(text.value, caption, caption_len) == 0;
    } else {
      char **list = NULL;
      int count = 0;
      if (Xutf8TextPropertyToTextList(dpy, &text, &list, &count) >= Success &&
          count > 0 && list[0])
        match = strcmp(list[0], caption) == 0;
      if (list)
        XFreeStringList(list);
    }
  }
  if (text.value)
    XFree(text.value);
  return match;
}

/* A window counts as a top-level window when it is a child of the root
 * (no window manager) or carries WM_STATE (a client inside a WM frame).
 * Children are searched topmost first so that the box in front wins. */
static Window find_captioned(Display *dpy, Window w, int depth,
                             int parent_is_root, Window self,
                             const char *caption, size_t caption_len) {
  Window root_ret, parent_ret, *children = NULL, found = None;
  unsigned int n = 0;
  int managed = 0;

  if (depth > 0) {
    managed = has_property(dpy, w, atom_wm_state);
    if ((parent_is_root || managed) && w != self &&
        title_equals(dpy, w, caption, caption_len) && is_viewable(dpy, w))
      return w;
    if (managed || depth >= MAX_DEPTH)
      return None;
  }
  if (!XQueryTree(dpy, w, &root_ret, &parent_ret, &children, &n))
    return None;
  while (n > 0 && found == None) {
    n--;
    found = find_captioned(dpy, children[n], depth + 1, depth == 0, self,
                           caption, caption_len);
  }
  if (children)
    XFree(children);
  return found;
}

static void activate(Display *dpy, Window root, Window w) {
  XEvent ev;
  memset(&ev, 0, sizeof ev);
  ev.xclient.type = ClientMessage;
  ev.xclient.window = w;
  ev.xclient.message_type = atom_net_active_window;
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = 2; /* from a pager-like tool: honoured at once */
  ev.xclient.data.l[1] = CurrentTime;
  /* A window manager acts on the request; without one nobody listens and
   * the direct calls below do the job. */
  XSendEvent(dpy, root, False,
             SubstructureRedirectMask | SubstructureNotifyMask, &ev);
  XRaiseWindow(dpy, w);
  XSetInputFocus(dpy, w, RevertToParent, CurrentTime);
  XSync(dpy, False);
}

static int focus_is_inside(Display *dpy, Window root, Window w) {
  Window focus, root_ret, parent, *children;
  unsigned int n;
  int revert, depth;
  XGetInputFocus(dpy, &focus, &revert);
  for (depth = 0; depth < 16; depth++) {
    if (focus == w)
      return 1;
    if (focus == None || focus == PointerRoot || focus == root)
      return 0;
    if (!XQueryTree(dpy, focus, &root_ret, &parent, &children, &n))
      return 0;
    if (children)
      XFree(children);
    focus = parent;
  }
  return 0;
}

/* Presses Return only while the dialog holds the keyboard focus: a key sent
 * anywhere else would land in whatever window the user is typing in. The
 * server is grabbed so that the focus cannot move between the check and the
 * key press. Returns 1 when the key was sent. */
static int press_return(Display *dpy, Window root, Window w, KeyCode key) {
  int pressed = 0;
  XGrabServer(dpy);
  if (focus_is_inside(dpy, root, w)) {
    XTestFakeKeyEvent(dpy, key, True, CurrentTime);
    XTestFakeKeyEvent(dpy, key, False, CurrentTime);
    pressed = 1;
  }
  XUngrabServer(dpy);
  XSync(dpy, False);
  return pressed;
}

static int pressed_recently(const struct recent_press *recent, Window w,
                            long long now) {
  int i;
  for (i = 0; i < RECENT_SLOTS; i++)
    if (recent[i].window == w && now - recent[i].at_ms < REPRESS_MS)
      return 1;
  return 0;
}

static void remember_press(struct recent_press *recent, Window w,
                           long long now) {
  int i, oldest = 0;
  for (i = 1; i < RECENT_SLOTS; i++)
    if (recent[i].at_ms < recent[oldest].at_ms)
      oldest = i;
  recent[oldest].window = w;
  recent[oldest].at_ms = now;
}

static Window create_own_window(Display *dpy, Window root, int argc,
                                char **argv) {
  int screen = DefaultScreen(dpy);
  Window w;
  XSizeHints *size = XAllocSizeHints();
  XWMHints *hints = XAllocWMHints();
  XClassHint *cls = XAllocClassHint();
  XTextProperty name;
  char *title = "ConfirmPress";
  Atom net_wm_pid = XInternAtom(dpy, "_NET_WM_PID", False);
  long pid = (long)getpid();

  w = XCreateSimpleWindow(dpy, root, 0, 0, 240, 40, 0, BlackPixel(dpy, screen),
                          WhitePixel(dpy, screen));
  if (size) {
    size->flags = PMinSize;
    size->min_width = 1;
    size->min_height = 1;
  }
  /* Start minimised: the tool is a helper, not something to look at. */
  if (hints) {
    hints->flags = StateHint | InputHint;
    hints->initial_state = IconicState;
    hints->input = True;
  }
  if (cls) {
    cls->res_name = title;
    cls->res_class = title;
  }
  if (XStringListToTextProperty(&title, 1, &name)) {
    XSetWMProperties(dpy, w, &name, &name, argv, argc, size, hints, cls);
    XFree(name.value);
  }
  XChangeProperty(dpy, w, atom_net_wm_name, atom_utf8_string, 8,
                  PropModeReplace, (unsigned char *)title, (int)strlen(title));
  XChangeProperty(dpy, w, net_wm_pid, XA_CARDINAL, 32, PropModeReplace,
                  (unsigned char *)&pid, 1);
  XSetWMProtocols(dpy, w, &atom_wm_delete_window, 1);
  XSelectInput(dpy, w, StructureNotifyMask);
  XMapWindow(dpy, w);
  XFlush(dpy);
  if (size)
    XFree(size);
  if (hints)
    XFree(hints);
  if (cls)
    XFree(cls);
  return w;
}

/* Handles what the server sent; returns 1 when the tool is to end. */
static int handle_events(Display *dpy, Window self) {
  while (XPending(dpy) > 0) {
    XEvent ev;
    XNextEvent(dpy, &ev);
    if (ev.type == ClientMessage && ev.xclient.window == self &&
        ev.xclient.message_type == atom_wm_protocols &&
        (Atom)ev.xclient.data.l[0] == atom_wm_delete_window)
      return 1;
    if (ev.type == DestroyNotify && ev.xdestroywindow.window == self)
      return 1;
  }
  return 0;
}

static void wait_for_server(Display *dpy, int ms) {
  fd_set fds;
  struct timeval tv;
  int fd = ConnectionNumber(dpy);
  if (XPending(dpy) > 0)
    return;
  FD_ZERO(&fds);
  FD_SET(fd, &fds);
  tv.tv_sec = ms / 1000;
  tv.tv_usec = (ms % 1000) * 1000;
  /* A signal interrupts the wait; the flag is then seen at once. */
  select(fd + 1, &fds, NULL, NULL, &tv);
}

int main(int argc, char **argv) {
  char *caption;
  size_t caption_len;
  long seconds, count;
  long pressed = 0;
  long long deadline = 0;
  struct recent_press recent[RECENT_SLOTS];
  struct sigaction sa;
  Display *dpy;
  Window root, self;
  KeyCode key;
  int event_base, error_base, major, minor;

  setlocale(LC_ALL, "");
  caption = join_arguments(argc, argv);
  if (!caption)
    return 1;
  parse_command(caption, &seconds, &count);
  caption_len = strlen(caption);
  /* Many windows have no title; an empty caption would press them all. */
  if (caption_len == 0) {
    fprintf(stderr, "usage: %s CAPTION[,SECONDS,COUNT]\n", argv[0]);
    free(caption);
    return 2;
  }

  memset(&sa, 0, sizeof sa);
  sa.sa_handler = on_signal;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGTERM, &sa, NULL);
  sigaction(SIGINT, &sa, NULL);
  sigaction(SIGHUP, &sa, NULL);

  dpy = XOpenDisplay(NULL);
  if (!dpy) {
    fprintf(stderr, "ConfirmPress: cannot open the X display\n");
    free(caption);
    return 1;
  }
  if (!XTestQueryExtension(dpy, &event_base, &error_base, &major, &minor)) {
    fprintf(stderr, "ConfirmPress: the X server lacks the XTest extension\n");
    XCloseDisplay(dpy);
    free(caption);
    return 1;
  }
  XSetErrorHandler(ignore_x_error);

  atom_wm_state = XInternAtom(dpy, "WM_STATE", False);
  atom_net_wm_name = XInternAtom(dpy, "_NET_WM_NAME", False);
  atom_utf8_string = XInternAtom(dpy, "UTF8_STRING", False);
  atom_wm_protocols = XInternAtom(dpy, "WM_PROTOCOLS", False);
  atom_wm_delete_window = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
  atom_net_active_window = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False);

  root = DefaultRootWindow(dpy);
  key = XKeysymToKeycode(dpy, XK_Return);
  self = create_own_window(dpy, root, argc, argv);
  memset(recent, 0, sizeof recent);
  if (seconds > 0)
    deadline = now_ms() + (long long)seconds * 1000;

  while (!stop_requested) {
    long long now;
    Window target;

    if (handle_events(dpy, self))
      break;
    now = now_ms();
    if (deadline && now >= deadline)
      break;

    target = find_captioned(dpy, root, 0, 0, self, caption, caption_len);
    if (target != None && !pressed_recently(recent, target, now)) {
      activate(dpy, root, target);
      /* Without a window manager the focus moves at once; with one it may
       * take a moment, and the next round tries again. */
      if (key != 0 && press_return(dpy, root, target, key)) {
        remember_press(recent, target, now);
        pressed++;
        if (count > 0 && pressed >= count)
          break;
      }
    }
    wait_for_server(dpy, POLL_MS);
  }

  XDestroyWindow(dpy, self);
  XCloseDisplay(dpy);
  free(caption);
  return 0;
}
