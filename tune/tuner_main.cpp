#include "tune/tuner_main.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tune/tuner_window.h"

namespace {

const char* Env(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? value : nullptr;
}

// The window system did not start: Qt says why in its own lines, then this
// is the last line, and the status is the designers' 3.
// Once the window is open, a display that goes away ends the program with
// the designers' line and status 3 (Qt would say so and end with 1).
bool window_open = false;

void OnQtMessage(QtMsgType type, const QMessageLogContext&, const QString& text) {
  std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
  if (window_open && text.contains("connection broke")) {
    const char* display = Env("DISPLAY");
    if (display) {
      std::fprintf(stderr, "The window was lost: display %s is no longer available.\n", display);
    } else {
      std::fprintf(stderr, "The window was lost: the window system stopped.\n");
    }
    std::fflush(stderr);
    std::_Exit(3);
  }
  if (type != QtFatalMsg) return;
  const char* platform = Env("QT_QPA_PLATFORM");
  if (platform) {
    std::fprintf(stderr, "No window can be opened: the window system's platform %s did not start.\n", platform);
  } else if (text.contains("could not connect to display") && Env("DISPLAY")) {
    std::fprintf(stderr, "No window can be opened: display %s is not available.\n", Env("DISPLAY"));
  } else {
    std::fprintf(stderr, "No window can be opened: the window system did not start.\n");
  }
  std::fflush(stderr);
  std::_Exit(3);
}

}  // namespace

int RunTuner(int argc, char** argv, Tuner& tuner) {
  const std::string refused = tuner.Configure(std::vector<std::string>(argv + 1, argv + argc));
  if (!refused.empty()) {
    std::fprintf(stderr, "%s\n", refused.c_str());
    return 2;
  }
  // A platform that draws on a display needs one: xcb an X display,
  // wayland a Wayland one, the default either. Others (offscreen) none.
  const char* platform = Env("QT_QPA_PLATFORM");
  const bool x = !platform || std::strncmp(platform, "xcb", 3) == 0;
  const bool wayland = !platform || std::strncmp(platform, "wayland", 7) == 0;
  if ((x || wayland) && !(x && Env("DISPLAY")) && !(wayland && Env("WAYLAND_DISPLAY"))) {
    std::fprintf(stderr, "No window can be opened: no display is set.\n");
    return 3;
  }
  qInstallMessageHandler(OnQtMessage);
  QApplication app(argc, argv);
  window_open = true;
  int status = 0;
  std::string saved;
  {
    TunerWindow window(tuner);
    window.show();
    status = app.exec();
    saved = window.SavedLine();
  }
  if (!saved.empty()) std::printf("%s\n", saved.c_str());
  return status;
}
