#include "core/display.h"

#include <unistd.h>
#include <xcb/xcb.h>
#ifdef HAVE_WAYLAND_CLIENT
#include <wayland-client.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* Setting(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? value : nullptr;
}

}  // namespace

WindowDisplay FindWindowDisplay() {
  WindowDisplay d;
  const char* platform = Setting("QT_QPA_PLATFORM");
  const std::string kind = platform ? std::string(platform).substr(0, std::strcspn(platform, ":")) : "";
  d.x = kind == "xcb" || (kind.empty() && Setting("DISPLAY"));
  d.used = d.x || kind.empty() || kind.rfind("wayland", 0) == 0;
  d.name = d.used ? Setting(d.x ? "DISPLAY" : "WAYLAND_DISPLAY") : nullptr;
  return d;
}

bool DisplayAnswers(const WindowDisplay& d) {
  std::fflush(stderr);
  const int saved = dup(STDERR_FILENO);
  std::FILE* said = std::tmpfile();
  if (saved != -1 && said) dup2(fileno(said), STDERR_FILENO);
  bool answered = true;
  if (d.x) {
    xcb_connection_t* connection = xcb_connect(d.name, nullptr);
    // A refusal arrives as the server's reason, which the library writes
    // out; a server that never answered leaves nothing to say.
    answered = !xcb_connection_has_error(connection) || (said && lseek(fileno(said), 0, SEEK_END) > 0);
    xcb_disconnect(connection);
  } else {
#ifdef HAVE_WAYLAND_CLIENT
    if (wl_display* connection = wl_display_connect(d.name)) {
      wl_display_disconnect(connection);
    } else {
      answered = false;
    }
#endif
  }
  if (saved != -1) {
    dup2(saved, STDERR_FILENO);
    close(saved);
  }
  if (said) std::fclose(said);
  return answered;
}

bool WindowCanBeTried(const WindowDisplay& d) {
  if (d.used && !d.name) {
    std::fputs("No window can be opened: no display is set.\n", stderr);
    return false;
  }
  if (d.name && !DisplayAnswers(d)) {
    std::fprintf(stderr, "No window can be opened: display %s is not available.\n", d.name);
    return false;
  }
  return true;
}

std::string WindowNotStartedLine(size_t longest) {
  const char* platform = Setting("QT_QPA_PLATFORM");
  if (!platform) return "No window can be opened: the window system did not start.\n";
  return "No window can be opened: the window system's platform " + std::string(platform).substr(0, longest) +
         " did not start.\n";
}

std::string WindowLostLine(const char* display_name, size_t longest) {
  if (!display_name) return "The window was lost: the window system stopped.\n";
  return "The window was lost: display " + std::string(display_name).substr(0, longest) + " is no longer available.\n";
}
