#include "platform/TopWindows.h"

#include <QGuiApplication>

#if defined(CAVEL_HAVE_X11)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>
#include <vector>
#endif

namespace cavel {

#if defined(CAVEL_HAVE_X11)
namespace {

bool HasClass(Display* dpy, Window w, const std::string& windowClass) {
  XClassHint hint{};
  if (!XGetClassHint(dpy, w, &hint)) return false;
  bool match = hint.res_class && windowClass == hint.res_class;
  if (hint.res_name) XFree(hint.res_name);
  if (hint.res_class) XFree(hint.res_class);
  return match;
}

// The client windows the window manager lists, when it keeps such a list.
std::vector<Window> ClientList(Display* dpy) {
  std::vector<Window> out;
  Atom list = XInternAtom(dpy, "_NET_CLIENT_LIST", True);
  if (list == None) return out;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(dpy, DefaultRootWindow(dpy), list, 0, 1 << 16, False, XA_WINDOW, &type, &format, &count,
                         &after, &data) == Success &&
      data) {
    if (type == XA_WINDOW && format == 32) {
      const auto* windows = reinterpret_cast<const Window*>(data);
      out.assign(windows, windows + count);
    }
    XFree(data);
  }
  return out;
}

// Without a window manager's list: the root's children, and one level
// below them (a reparenting manager puts each client into a frame).
Window SearchTree(Display* dpy, Window parent, const std::string& windowClass, int depth) {
  Window root = 0, up = 0;
  Window* children = nullptr;
  unsigned int n = 0;
  if (!XQueryTree(dpy, parent, &root, &up, &children, &n)) return 0;
  Window found = 0;
  for (unsigned int i = 0; i < n && !found; ++i) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(dpy, children[i], &attributes) || attributes.map_state != IsViewable) continue;
    if (HasClass(dpy, children[i], windowClass))
      found = children[i];
    else if (depth > 0)
      found = SearchTree(dpy, children[i], windowClass, depth - 1);
  }
  if (children) XFree(children);
  return found;
}

void Activate(Display* dpy, Window w) {
  Window root = DefaultRootWindow(dpy);
  Atom active = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = w;
  event.xclient.message_type = active;
  event.xclient.format = 32;
  event.xclient.data.l[0] = 2;  // a request on the user's behalf
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(dpy, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XMapRaised(dpy, w);
  XFlush(dpy);
}

}  // namespace
#endif

bool X11TopWindows::RaiseByClass(const std::string& windowClass) {
#if defined(CAVEL_HAVE_X11)
  if (QGuiApplication::platformName() != QLatin1String("xcb") && display_.empty()) return false;
  Display* dpy = XOpenDisplay(display_.empty() ? nullptr : display_.c_str());
  if (!dpy) return false;
  Window found = 0;
  for (Window w : ClientList(dpy))
    if (HasClass(dpy, w, windowClass)) {
      found = w;
      break;
    }
  if (!found) found = SearchTree(dpy, DefaultRootWindow(dpy), windowClass, 1);
  if (found) Activate(dpy, found);
  XCloseDisplay(dpy);
  return found != 0;
#else
  (void)windowClass;
  return false;
#endif
}

}  // namespace cavel
