#include "plot/frame.h"

#include <dirent.h>
#include <netdb.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <opencv2/core/core_c.h>
#include <opencv2/highgui/highgui_c.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

const char* Setting(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? value : nullptr;
}

// The display that the window system connects to, and where its server
// listens. The X platform (xcb) uses DISPLAY, the Wayland platforms
// WAYLAND_DISPLAY; without QT_QPA_PLATFORM the window system takes DISPLAY,
// or else WAYLAND_DISPLAY. Other platforms (offscreen, vnc, linuxfb ...)
// use none.
struct Display {
  bool used = false;           // whether the platform connects to a display
  const char* name = nullptr;  // the display, null if none is set
  std::vector<sockaddr_storage> addresses;
  std::vector<socklen_t> lengths;

  void Add(const void* address, socklen_t length) {
    sockaddr_storage a = {};
    std::memcpy(&a, address, std::min<size_t>(length, sizeof a));
    addresses.push_back(a);
    lengths.push_back(length);
  }
  void AddLocal(const std::string& path, bool abstract) {
    sockaddr_un a = {};
    a.sun_family = AF_UNIX;
    if (path.size() + 1 >= sizeof a.sun_path) return;
    std::memcpy(a.sun_path + abstract, path.c_str(), path.size());
    Add(&a, socklen_t(offsetof(sockaddr_un, sun_path) + abstract + path.size() + !abstract));
  }
};

Display FindDisplay(const char* platform) {
  Display d;
  const std::string kind = platform ? std::string(platform).substr(0, std::strcspn(platform, ":")) : "";
  const bool x = kind == "xcb" || (kind.empty() && Setting("DISPLAY"));
  d.used = x || kind.empty() || kind.rfind("wayland", 0) == 0;
  d.name = d.used ? Setting(x ? "DISPLAY" : "WAYLAND_DISPLAY") : nullptr;
  if (!d.name) return d;
  const std::string name = d.name;
  if (!x) {
    // A Wayland socket: a path, or a name in the runtime directory.
    const char* runtime = Setting("XDG_RUNTIME_DIR");
    d.AddLocal(name[0] == '/' || !runtime ? name : std::string(runtime) + "/" + name, false);
    return d;
  }
  // An X display, [host]:number[.screen]: the local server's socket (in the
  // abstract namespace, then in the file system), or TCP port 6000 + number
  // on the host.
  const size_t colon = name.rfind(':');
  if (colon == std::string::npos) return d;
  const std::string host = name.substr(0, colon), number = name.substr(colon + 1, name.find('.', colon) - colon - 1);
  if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) return d;
  if (host.empty() || host == "unix") {
    d.AddLocal("/tmp/.X11-unix/X" + number, true);
    d.AddLocal("/tmp/.X11-unix/X" + number, false);
    return d;
  }
  addrinfo hints = {}, *found = nullptr;
  hints.ai_socktype = SOCK_STREAM;
  if (getaddrinfo(host.c_str(), std::to_string(6000 + std::atoi(number.c_str())).c_str(), &hints, &found) == 0) {
    for (addrinfo* a = found; a; a = a->ai_next) d.Add(a->ai_addr, a->ai_addrlen);
    freeaddrinfo(found);
  }
  return d;
}

// Whether the display's server takes a connection now. Only calls that a
// signal handler may make: socket, connect, poll, getsockopt and close.
bool Reachable(const Display& d) {
  for (size_t i = 0; i < d.addresses.size(); ++i) {
    const int fd = socket(d.addresses[i].ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd == -1) continue;
    bool taken = connect(fd, reinterpret_cast<const sockaddr*>(&d.addresses[i]), d.lengths[i]) == 0 || errno == EAGAIN;
    if (!taken && errno == EINPROGRESS) {
      pollfd connecting{fd, POLLOUT, 0};
      int error = 0;
      socklen_t size = sizeof error;
      taken = poll(&connecting, 1, 3000) == 1 && getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && !error;
    }
    close(fd);
    if (taken) return true;
  }
  return false;
}

// The window system ends the process when it cannot open its window or
// loses it: with abort() after lines of its own (no display, a platform
// that does not load, a connection refused), or with exit(1) when its
// connection breaks while the window is shown. While the window calls run,
// both end in one line of the program's instead, and status 3 with no core
// dump. At the first window the line names the display only when its
// server cannot be reached; otherwise the failure is the window system's,
// and what it said stands before the line. Once the window is shown, a
// failure is the loss of the connection to the display, if there is one.
Display display;
char unreachable_message[320];  // the display is gone
char failed_message[320];       // anything else
bool in_window_calls = false, window_shown = false;
int saved_stderr = -1;  // standard error, while the first window call's lines are held back in held_fd
int held_fd = -1;

[[noreturn]] void ReportWindowFailure() {
  const bool unreachable = display.name && (window_shown || !Reachable(display));
  if (saved_stderr != -1) {
    dup2(saved_stderr, STDERR_FILENO);
    char buffer[4096];
    ssize_t n = 0;
    for (off_t at = 0; !unreachable && (n = pread(held_fd, buffer, sizeof buffer, at)) > 0; at += n) {
      if (write(STDERR_FILENO, buffer, size_t(n)) != n) break;
    }
  }
  const char* message = unreachable ? unreachable_message : failed_message;
  const ssize_t ignored = write(STDERR_FILENO, message, std::strlen(message));
  (void)ignored;
  _exit(kNoWindowStatus);
}

extern "C" void OnAbortInWindowCalls(int) { ReportWindowFailure(); }

void OnExitInWindowCalls() {
  if (in_window_calls) ReportWindowFailure();
}

struct sigaction abort_action_before;

// From here to EndWindowCalls, an abort or exit is the window system's
// failure, reported by ReportWindowFailure.
void BeginWindowCalls() {
  std::atexit(OnExitInWindowCalls);
  struct sigaction on_abort = {};
  on_abort.sa_handler = OnAbortInWindowCalls;
  sigaction(SIGABRT, &on_abort, &abort_action_before);
  in_window_calls = true;
}

void EndWindowCalls() {
  in_window_calls = false;
  sigaction(SIGABRT, &abort_action_before, nullptr);
}

// Creates the first window. The window system's lines of this call are
// held back and passed on after it, or before the failure line.
void CreateFirstWindow(const char* title) {
  const char* platform = Setting("QT_QPA_PLATFORM");
  display = FindDisplay(platform);
  if (display.used && !display.name) {
    std::fputs("No window can be opened: no display is set.\n", stderr);
    std::exit(kNoWindowStatus);
  }
  std::snprintf(unreachable_message, sizeof unreachable_message,
                "No window can be opened: display %.200s is not available.\n", display.name ? display.name : "");
  if (platform) {
    std::snprintf(failed_message, sizeof failed_message,
                  "No window can be opened: the window system's platform %.200s did not start.\n", platform);
  } else {
    std::snprintf(failed_message, sizeof failed_message, "No window can be opened: the window system did not start.\n");
  }

  // What the program has printed so far must not be lost if the window
  // system ends the process (standard error is not buffered).
  std::fflush(stdout);
  std::FILE* held = std::tmpfile();
  saved_stderr = held ? dup(STDERR_FILENO) : -1;
  if (saved_stderr != -1) {
    held_fd = fileno(held);
    dup2(held_fd, STDERR_FILENO);
  }
  BeginWindowCalls();
  cvNamedWindow(title, 1);

  // From here on, a failure loses the window that is shown.
  window_shown = true;
  std::snprintf(unreachable_message, sizeof unreachable_message,
                "The window was lost: display %.200s is no longer available.\n", display.name ? display.name : "");
  std::snprintf(failed_message, sizeof failed_message, "The window was lost: the window system stopped.\n");
  if (saved_stderr != -1) {
    dup2(saved_stderr, STDERR_FILENO);
    close(saved_stderr);
    saved_stderr = -1;
    // Pass on what the window system said while it started.
    std::rewind(held);
    char buffer[BUFSIZ];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, held)) > 0) std::fwrite(buffer, 1, n, stderr);
  }
  if (held) std::fclose(held);
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

void OpenWindowForInput(const char* title) { OpenWindow(title); }

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

void EndWindowInput() { EndWindowCalls(); }

// The window is shown again whenever it is no longer visible (closed by
// the user), and the first key of any kind ends the loop.
void ShowUntilKey(const char* title, IplImage* canvas) {
  OpenWindow(title);
  cvShowImage(title, canvas);
  while (NextKey(title) < 0) {
    cvNamedWindow(title, 1);
    cvShowImage(title, canvas);
  }
  EndWindowCalls();
}
