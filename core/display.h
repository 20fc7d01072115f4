// The display that a program's window opens on, and whether its server
// answers, asked before the first window so that a display that cannot
// be reached is said in one line of the program's.
#pragma once

#include <string>

// Exit status of a program that cannot open its window or loses it.
constexpr int kNoWindowStatus = 3;

// The display that the window system connects to. The X platform (xcb)
// uses DISPLAY, the Wayland platforms WAYLAND_DISPLAY; without
// QT_QPA_PLATFORM the window system takes DISPLAY, or else WAYLAND_DISPLAY.
// Other platforms (offscreen, vnc, linuxfb ...) use none.
struct WindowDisplay {
  bool used = false;           // whether the platform connects to a display
  bool x = false;              // an X display, else a Wayland one
  const char* name = nullptr;  // the display, null if none is set
};

// The display of the platform that QT_QPA_PLATFORM names (or the default).
WindowDisplay FindWindowDisplay();

// Whether a server answers at the display, asked of the window system's
// own client library (libxcb, libwayland-client): it connects as the
// window system will. An X server that answers but refuses the client has
// answered: that failure is the window system's, told in its own lines
// when it starts. What the client library says while it asks is not
// passed on.
bool DisplayAnswers(const WindowDisplay& display);

// Whether a window can be tried: false, with "No window can be opened: no
// display is set." or "... display D is not available." on standard error,
// for a platform that needs a display and has none that answers.
bool WindowCanBeTried(const WindowDisplay& display);

// The last line, newline included, of a program whose window system did
// not start: "No window can be opened: the window system did not
// start.", or, with QT_QPA_PLATFORM set to P, "... the window system's
// platform P did not start.". A name longer than `longest` characters is
// cut there.
std::string WindowNotStartedLine(size_t longest = std::string::npos);

// The last line, newline included, of a program whose window is lost:
// "The window was lost: display D is no longer available." where the
// display is named, else "The window was lost: the window system
// stopped.". A name longer than `longest` characters is cut there.
std::string WindowLostLine(const char* display_name, size_t longest = std::string::npos);
