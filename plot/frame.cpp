#include "plot/frame.h"

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <opencv2/core/core_c.h>
#include <opencv2/highgui/highgui_c.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

namespace {

// Standard error as it was before the first window call, and the message
// for a window system that aborts the process when it finds no display or
// loses it.
int saved_stderr = -1;
char no_display_message[256];

// The window library ends the process with abort() when it cannot reach a
// display or loses its connection, after several lines of its own. Say so
// in one line instead, exit with the status of its own, and leave no core
// dump behind.
[[noreturn]] void ReportNoDisplay() {
  if (saved_stderr != -1) dup2(saved_stderr, STDERR_FILENO);
  const ssize_t ignored = write(STDERR_FILENO, no_display_message, std::strlen(no_display_message));
  (void)ignored;
  _exit(kNoDisplayStatus);
}

extern "C" void OnAbortWithoutDisplay(int) { ReportNoDisplay(); }

// The window system ends the process with exit(1) when it loses its
// connection while the window is shown: a status the programs use for
// their files. Give it the no-display status and line instead.
bool in_window_loop = false;

void OnExitInWindowLoop() {
  if (in_window_loop) ReportNoDisplay();
}

const char* Setting(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? value : nullptr;
}

// Creates the first window. The window system's diagnostics of this call
// are held back, and shown only if it succeeds: when it finds no display,
// the one line of ReportNoDisplay stands in for them.
void CreateFirstWindow(const char* title) {
  const char* display = Setting("DISPLAY") ? Setting("DISPLAY") : Setting("WAYLAND_DISPLAY");
  if (!display && !Setting("QT_QPA_PLATFORM")) {
    std::fputs("No window can be opened: no display is set.\n", stderr);
    std::exit(kNoDisplayStatus);
  }
  std::snprintf(no_display_message, sizeof no_display_message,
                "No window can be opened: display %.200s is not available.\n", display ? display : "");

  // What the program has printed so far must not be lost if the window
  // system ends the process (standard error is not buffered).
  std::fflush(stdout);
  std::FILE* held = std::tmpfile();
  saved_stderr = dup(STDERR_FILENO);
  if (held && saved_stderr != -1) dup2(fileno(held), STDERR_FILENO);
  struct sigaction on_abort = {};
  on_abort.sa_handler = OnAbortWithoutDisplay;
  sigaction(SIGABRT, &on_abort, nullptr);

  cvNamedWindow(title, 1);

  // From here on an abort means the connection was lost.
  std::snprintf(no_display_message, sizeof no_display_message,
                "The window was lost: display %.200s is no longer available.\n", display ? display : "");
  if (saved_stderr != -1) {
    dup2(saved_stderr, STDERR_FILENO);
    close(saved_stderr);
    saved_stderr = -1;
  }
  if (held) {
    // Pass on what the window system said while it started.
    std::rewind(held);
    char buffer[BUFSIZ];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, held)) > 0) std::fwrite(buffer, 1, n, stderr);
    std::fclose(held);
  }
}

// Descriptors of the process that the window system may signal on: its
// sockets, pipes and event descriptors (anonymous inodes, which have no
// file type), not the files it reads, which poll() finds always ready.
std::set<int> SignalDescriptors() {
  std::set<int> fds;
  DIR* dir = opendir("/proc/self/fd");
  while (const dirent* entry = dir ? readdir(dir) : nullptr) {
    struct stat st;
    const int fd = std::atoi(entry->d_name);
    if (fstat(fd, &st) == 0 && (S_ISSOCK(st.st_mode) || S_ISFIFO(st.st_mode) || (st.st_mode & S_IFMT) == 0)) {
      fds.insert(fd);
    }
  }
  if (dir) closedir(dir);
  return fds;
}

std::vector<pollfd> window_system_fds;

// Creates the first window, and notes the descriptors that the window
// system opened for it.
void OpenWindow(const char* title) {
  const std::set<int> before = SignalDescriptors();
  CreateFirstWindow(title);
  for (int fd : SignalDescriptors()) {
    if (!before.count(fd)) window_system_fds.push_back(pollfd{fd, POLLIN, 0});
  }
}

// Sleeps until the window system has something to deliver (an event on
// its connection, or a wake-up of its event loop) or the timeout passes,
// and tells which. Without a descriptor to wait on, it returns at once.
bool WaitForWindowEvents(int timeout_ms) {
  return !window_system_fds.empty() && poll(window_system_fds.data(), window_system_fds.size(), timeout_ms) > 0;
}

}  // namespace

IplImage* CreateCanvas() {
  IplImage* canvas = cvCreateImage(cvSize(kCanvasWidth, kCanvasHeight), 8, 3);
  cvSet(canvas, cvScalarAll(255), nullptr);
  return canvas;
}

// The window library's key wait polls its event queue every millisecond
// for as long as it waits, which keeps a core busy for nothing while the
// plot is on screen. Between key waits the loop sleeps in poll() on the
// window system's own descriptors instead, so it wakes as soon as there is
// an event (a key press, a close, an expose) and at least every 100 ms.
// Some of the library's work is announced by no descriptor: its timers,
// such as the repaint that follows the window's first expose. So the sleep
// is 1 ms after the window is shown and after every event, and doubles
// while nothing happens, up to 100 ms: that work is done within a few
// milliseconds, as the plain 1 ms loop would do it, and a window that
// waits wakes ten times a second.
// The window is shown again whenever it is no longer visible (closed by
// the user), and the first key of any kind ends the loop.
void ShowUntilKey(const char* title, IplImage* canvas) {
  constexpr int kBusyWakeMs = 1;
  constexpr int kIdleWakeMs = 100;
  int wake_ms = kBusyWakeMs;
  OpenWindow(title);
  std::atexit(OnExitInWindowLoop);
  in_window_loop = true;
  cvShowImage(title, canvas);
  while (cvWaitKey(1) < 0) {
    const bool events = WaitForWindowEvents(wake_ms);
    wake_ms = events ? kBusyWakeMs : std::min(wake_ms + wake_ms, kIdleWakeMs);
    if (cvGetWindowProperty(title, CV_WND_PROP_VISIBLE) <= 0) {
      cvNamedWindow(title, 1);
      cvShowImage(title, canvas);
    }
  }
  in_window_loop = false;
}

void OpenWindowForInput(const char* title) {
  OpenWindow(title);
  std::atexit(OnExitInWindowLoop);
  in_window_loop = true;
}

int NextKey(const char* title) {
  constexpr int kBusyWakeMs = 1;
  constexpr int kIdleWakeMs = 100;
  int wake_ms = kBusyWakeMs;
  int key;
  while ((key = cvWaitKey(1)) < 0) {
    if (cvGetWindowProperty(title, CV_WND_PROP_VISIBLE) <= 0) return -1;
    const bool events = WaitForWindowEvents(wake_ms);
    wake_ms = events ? kBusyWakeMs : std::min(wake_ms + wake_ms, kIdleWakeMs);
  }
  return key;
}

void EndWindowInput() { in_window_loop = false; }
