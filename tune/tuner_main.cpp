#include "tune/tuner_main.h"

#include <pthread.h>
#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/display.h"
#include "core/file_replacement.h"
#include "tune/tuner_window.h"

namespace {

WindowDisplay display;
// While the event loop runs: Qt ends the process with exit() when its
// connection to the display breaks, and this ends it with the designers'
// line and status 3 instead.
bool in_event_loop = false;
// The window has been destroyed by another client: what the window
// system's plugin says of it from then on is expected, and not passed on.
bool window_destroyed = false;

[[noreturn]] void WindowLost() {
  std::fputs(WindowLostLine(display.name).c_str(), stderr);
  std::fflush(stderr);
  std::_Exit(kNoWindowStatus);
}

void OnExitInEventLoop() {
  if (in_event_loop) WindowLost();
}

// The window system did not start: Qt says why in its own lines, then this
// is the last line, and the status is the designers' 3.
void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (window_destroyed && context.category && std::strncmp(context.category, "qt.qpa.xcb", 10) == 0) return;
  std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
  if (type != QtFatalMsg) return;
  std::fputs(WindowNotStartedLine().c_str(), stderr);
  std::fflush(stderr);
  std::_Exit(kNoWindowStatus);
}

// Another client (a window manager's kill, xdotool's windowclose) may
// destroy the window, which Qt would then go on waiting for. Its
// destruction arrives as an X event on the window; the tuner then ends as
// when its window is closed.
class DestroyedWindowFilter : public QAbstractNativeEventFilter {
 public:
  explicit DestroyedWindowFilter(const QWidget& window) : window_(window) {}
  bool nativeEventFilter(const QByteArray& type, void* message, long*) override {
    if (type != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) == XCB_DESTROY_NOTIFY &&
        reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window == window_.winId()) {
      window_destroyed = true;
      QCoreApplication::exit(0);
    }
    return false;
  }

 private:
  const QWidget& window_;
};

// The usage, for --help: the options, their forms, the keys, what is
// printed and the exit statuses.
void PrintUsage(const Tuner& tuner) {
  const std::string program = std::string(tuner.Program()) + "-tune";
  std::string variables;
  for (const std::string& v : tuner.Variables()) variables += "\n  -D" + v + "=VALUE";
  std::printf(
      "Usage: %s [-DNAME=VALUE ...]\n"
      "       %s --help\n"
      "\n"
      "Opens a window on %s's design, the one it was configured with, changed by\n"
      "the options given: the configure's design variables, with the same names,\n"
      "forms (2000, 1500.5, 2e3; whole numbers where counts are asked) and limits:%s\n"
      "It opens now on:\n  %s\n"
      "\n"
      "In the form, a value is typed and taken with Enter or Tab, or stepped with\n"
      "Up, Down, Page Up and Page Down; a value beyond the limits is held at the\n"
      "nearest one they accept, and the line under the form says so.\n"
      "Keys: Ctrl+S saves coeff1.txt, Ctrl+Shift+S saves as, Ctrl+Shift+C copies\n"
      "the configure line, Ctrl+0 shows the whole band, Ctrl+L switches the\n"
      "logarithmic frequency axis, Ctrl+Q closes (asking to save a changed design).\n"
      "\n"
      "When the window closes, each file written is printed on standard output,\n"
      "one line each: its name, \": \" and the configure options of its design.\n"
      "Exit status: 0 when the window is closed, 2 when an option is refused,\n"
      "3 when no window can be opened.\n",
      program.c_str(), program.c_str(), tuner.Program(), variables.c_str(), tuner.OptionsLine().c_str());
}

}  // namespace

int RunTuner(int argc, char** argv, Tuner& tuner) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      PrintUsage(tuner);
      return 0;
    }
  }
  const std::string refused = tuner.Configure(std::vector<std::string>(argv + 1, argv + argc));
  if (!refused.empty()) {
    std::fprintf(stderr, "%s\n", refused.c_str());
    return 2;
  }
  display = FindWindowDisplay();
  if (!WindowCanBeTried(display)) return kNoWindowStatus;
  qInstallMessageHandler(OnQtMessage);
  // Qt's threads, started with the application, inherit the ending signals
  // blocked: they come to this thread, which saves the files and holds
  // them back while a file is replaced.
  const sigset_t ending = EndingSignals();
  sigset_t before;
  pthread_sigmask(SIG_BLOCK, &ending, &before);
  QApplication app(argc, argv);
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
  std::atexit(OnExitInEventLoop);
  int status = 0;
  std::string written;
  {
    TunerWindow window(tuner);
    DestroyedWindowFilter filter(window);
    app.installNativeEventFilter(&filter);
    window.show();
    in_event_loop = true;
    status = app.exec();
    in_event_loop = false;
    written = window.WrittenLines();
  }
  std::printf("%s", written.c_str());
  return status;
}
