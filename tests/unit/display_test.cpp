// The display a window opens on, found from the environment, and the line
// a program prints when no window can be tried, with no real display: a
// display number whose socket does not exist stands for one that no
// server answers at.

#include <sys/stat.h>

#include "core/display.h"
#include "tests/support.h"

namespace {

// Sets DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM (null: unset) for this process.
void Set(const char* display, const char* wayland, const char* platform) {
  const char* names[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}, *values[] = {display, wayland, platform};
  for (int i = 0; i < 3; ++i) values[i] ? setenv(names[i], values[i], 1) : unsetenv(names[i]);
}

// What FindWindowDisplay finds: "used x name", "-" for no name.
std::string Found() {
  const WindowDisplay d = FindWindowDisplay();
  return std::to_string(d.used) + " " + std::to_string(d.x) + " " + (d.name ? d.name : "-");
}

// WindowCanBeTried's answer and standard error, captured: "true|" or "false|" and the line.
std::string Tried() {
  bool tried = false;
  const std::string printed = test::Printed([&] { tried = WindowCanBeTried(FindWindowDisplay()); });
  return (tried ? "true" : "false") + printed;
}

// ":N", the highest N up to 9999 whose socket does not exist.
std::string UnusedDisplay() {
  struct stat s;
  int n = 9999;
  while (stat(("/tmp/.X11-unix/X" + std::to_string(n)).c_str(), &s) == 0) --n;
  return ":" + std::to_string(n);
}

// Without a platform DISPLAY, else WAYLAND_DISPLAY (empty is unset); the X
// platform DISPLAY alone, the Wayland ones WAYLAND_DISPLAY alone, the
// others none. Where the display is X, or none is set, whether a window
// can be tried ("" where it needs a Wayland server).
TEST(Display, ThePlatformChoosesTheSettingAndNoneOrNoServerIsSaid) {
  const std::string x = UnusedDisplay(), no = "false|No window can be opened: no display is set.\n";
  const std::string absent = "false|No window can be opened: display " + x + " is not available.\n";
  const std::vector<std::tuple<const char*, const char*, const char*, std::string, std::string>> cases = {
      {nullptr, nullptr, nullptr, "1 0 -", no},        {"", "", nullptr, "1 0 -", no},
      {x.c_str(), nullptr, nullptr, "1 1 " + x, absent}, {x.c_str(), "wl-9", nullptr, "1 1 " + x, absent},
      {x.c_str(), "", "xcb:nograb", "1 1 " + x, absent}, {nullptr, "wl-9", "xcb", "1 1 -", no},
      {nullptr, "wl-9", nullptr, "1 0 wl-9", ""},      {x.c_str(), nullptr, "wayland", "1 0 -", no},
      {x.c_str(), "wl-9", "wayland-egl", "1 0 wl-9", ""}, {x.c_str(), "wl-9", "offscreen", "0 0 -", "true|"}};
  for (const auto& [display, wayland, platform, found, tried] : cases) {
    Set(display, wayland, platform);
    EXPECT_EQ(Found(), found) << (platform ? platform : "no platform");
    EXPECT_EQ(tried.empty() ? "" : Tried(), tried) << found << " " << (platform ? platform : "no platform");
  }
}

// The lines of a window system that did not start and of a window lost, names cut at `longest`.
TEST(Display, NotStartedAndLostLines) {
  Set(nullptr, nullptr, nullptr);
  EXPECT_EQ(WindowNotStartedLine(), "No window can be opened: the window system did not start.\n");
  Set(nullptr, nullptr, "vnc:size=800x600");
  EXPECT_EQ(WindowNotStartedLine(5), "No window can be opened: the window system's platform vnc:s did not start.\n");
  EXPECT_EQ(WindowLostLine(nullptr), "The window was lost: the window system stopped.\n");
  EXPECT_EQ(WindowLostLine(":12345", 3), "The window was lost: display :12 is no longer available.\n");
}

}  // namespace
