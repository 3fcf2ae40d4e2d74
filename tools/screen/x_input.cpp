#include "x_input.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>
#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <sstream>
#include <thread>

namespace korvalog::probe {
namespace {

// The one 32-bit item of a window's property `atom`, or 0.
unsigned long OneItemProperty(Display* d, Window w, Atom atom, Atom itemType) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  unsigned long item = 0;
  if (XGetWindowProperty(d, w, atom, 0, 1, False, itemType, &type, &format, &count, &after, &data) == Success &&
      data != nullptr) {
    if (count == 1 && format == 32) item = *reinterpret_cast<unsigned long*>(data);
    XFree(data);
  }
  return item;
}

// The window's _NET_WM_PID, or 0.
pid_t WindowPid(Display* d, Window w) {
  static const Atom pidAtom = XInternAtom(d, "_NET_WM_PID", False);
  return static_cast<pid_t>(OneItemProperty(d, w, pidAtom, XA_CARDINAL));
}

// A viewable window of `pid` at or below `w`; the window manager's frames
// hold the program's windows one level down.
Window FindViewable(Display* d, Window w, pid_t pid, int depth) {
  XWindowAttributes a;
  if (WindowPid(d, w) == pid && XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable) return w;
  if (depth == 0) return 0;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int n = 0;
  if (!XQueryTree(d, w, &root, &parent, &children, &n)) return 0;
  Window found = 0;
  for (unsigned int i = 0; i < n && found == 0; ++i) found = FindViewable(d, children[i], pid, depth - 1);
  if (children != nullptr) XFree(children);
  return found;
}

}  // namespace

bool XInput::Ok() const {
  int event = 0, error = 0, major = 0, minor = 0;
  return XTestQueryExtension(display_, &event, &error, &major, &minor);
}

bool XInput::Modifiers(const std::string& names, bool down) {
  std::istringstream in(names);
  for (std::string m; std::getline(in, m, '+');) {
    KeySym sym = NoSymbol;
    if (m == "ctrl") sym = XK_Control_L;
    else if (m == "shift") sym = XK_Shift_L;
    else if (m == "alt") sym = XK_Alt_L;
    else if (m == "none" || m.empty()) continue;
    else return false;
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, sym), down, CurrentTime);
  }
  return true;
}

bool XInput::Key(const std::string& spec) {
  const size_t plus = spec.size() > 1 ? spec.rfind('+', spec.size() - 2) : std::string::npos;
  const std::string mods = plus == std::string::npos ? "" : spec.substr(0, plus);
  const std::string name = plus == std::string::npos ? spec : spec.substr(plus + 1);
  const KeySym sym = XStringToKeysym(name.c_str());
  const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(display_, sym);
  if (code == 0) return false;
  const bool shifted = XkbKeycodeToKeysym(display_, code, 0, 0) != sym && XkbKeycodeToKeysym(display_, code, 0, 1) == sym;
  if (!Modifiers(mods, true)) return false;
  if (shifted) XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, XK_Shift_L), True, CurrentTime);
  XTestFakeKeyEvent(display_, code, True, CurrentTime);
  XTestFakeKeyEvent(display_, code, False, CurrentTime);
  if (shifted) XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, XK_Shift_L), False, CurrentTime);
  Modifiers(mods, false);
  return true;
}

bool XInput::Type(const std::string& text) {
  for (char c : text) {
    std::string name(1, c);
    if (c == ':') name = "colon";
    else if (c == '.') name = "period";
    else if (c == ' ') name = "space";
    else if (c == '/') name = "slash";
    else if (c == '-') name = "minus";
    if (!Key(name)) return false;
  }
  return true;
}

bool XInput::Wheel(const std::string& modifiers, bool up) {
  if (!Modifiers(modifiers, true)) return false;
  XTestFakeButtonEvent(display_, up ? 4 : 5, True, CurrentTime);
  XTestFakeButtonEvent(display_, up ? 4 : 5, False, CurrentTime);
  Modifiers(modifiers, false);
  return true;
}

bool XInput::Origin(int& x, int& y) const {
  Window child = 0;
  return window_ != 0 && XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
}

bool XInput::Size(int& width, int& height) const {
  XWindowAttributes a;
  if (window_ == 0 || !XGetWindowAttributes(display_, window_, &a)) return false;
  width = a.width;
  height = a.height;
  return true;
}

void XInput::MoveTo(int x, int y) {
  int ox = 0, oy = 0;
  Origin(ox, oy);
  XTestFakeMotionEvent(display_, DefaultScreen(display_), ox + x, oy + y, CurrentTime);
}

void XInput::Press(int x, int y) {
  MoveTo(x, y);
  XTestFakeButtonEvent(display_, 1, True, CurrentTime);
}

void XInput::Release() { XTestFakeButtonEvent(display_, 1, False, CurrentTime); }

void XInput::Click(int x, int y, int count) {
  MoveTo(x, y);
  for (int i = 0; i < count; ++i) {
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
  }
}

void XInput::Flush() { XSync(display_, False); }

bool XInput::FindWindowOf(pid_t pid, double timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double, std::milli>(timeoutMs);
  while (std::chrono::steady_clock::now() < end) {
    window_ = FindViewable(display_, DefaultRootWindow(display_), pid, 2);
    if (window_ != 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

bool XInput::CloseActive() {
  const Window root = DefaultRootWindow(display_);
  const Atom activeAtom = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
  const auto active = static_cast<Window>(OneItemProperty(display_, root, activeAtom, XA_WINDOW));
  if (active == 0 || active == window_) return false;  // never the program's main window
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = active;
  e.xclient.message_type = XInternAtom(display_, "_NET_CLOSE_WINDOW", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = CurrentTime;
  e.xclient.data.l[1] = 2;  // from a pager or a tool
  XSendEvent(display_, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
  return true;
}

void XInput::Resize(int width, int height) {
  XResizeWindow(display_, window_, static_cast<unsigned>(width), static_cast<unsigned>(height));
}

}  // namespace korvalog::probe
