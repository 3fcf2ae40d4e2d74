#pragma once
// Real input through the XTest extension, as a keyboard and a mouse would
// send it, and the one window the program under test shows first.
#include <X11/Xlib.h>

#include <string>
#include <sys/types.h>

namespace korvalog::probe {

class XInput {
 public:
  explicit XInput(Display* display) : display_(display) {}
  bool Ok() const;

  // "ctrl+shift+F3", "plus", "BackSpace": modifiers, then a keysym name.
  // A keysym on the shifted level of its key gets Shift pressed with it.
  bool Key(const std::string& spec);
  // The characters of `text`, one key each.
  bool Type(const std::string& text);
  // One wheel notch with modifiers held ("ctrl", "shift", "none").
  bool Wheel(const std::string& modifiers, bool up);
  // Pointer positions are relative to the watched window.
  void MoveTo(int x, int y);
  void Press(int x, int y);
  void Release();
  void Click(int x, int y, int count);
  // Sends everything queued and waits until the server has it.
  void Flush();

  // Waits (up to `timeoutMs`) for a top-level window of process `pid` and
  // watches it from then on.
  bool FindWindowOf(pid_t pid, double timeoutMs);
  Window Watched() const { return window_; }
  // Asks the window manager to close the active window, as its close
  // button does.
  bool CloseActive();
  // Asks the window manager for a new size of the watched window.
  void Resize(int width, int height);
  bool Origin(int& x, int& y) const;
  bool Size(int& width, int& height) const;

 private:
  bool Modifiers(const std::string& names, bool down);

  Display* display_;
  Window window_ = 0;
};

}  // namespace korvalog::probe
