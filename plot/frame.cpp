#include "plot/frame.h"
#include "plot/window_toolbar.h"

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <opencv2/core/core_c.h>
#include <opencv2/highgui/highgui_c.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

// The window system ends the process when it cannot open its window or
// loses it: with abort() after lines of its own (no display, a platform
// that does not load, a connection refused), or with exit(1) when its
// connection breaks while the window is shown. While the window calls run,
// both end in one line of the program's instead, and status 3 with no core
// dump. A display whose server does not answer is found before the first
// window call; a failure of that call is the window system's, and what it
// said stands before the line. Once the window is shown, a failure is the
// loss of the connection to the display, if there is one.
WindowDisplay display;
// The failure lines, made before they are needed: the handler that
// writes one may not allocate. A name in them is cut at 200 characters.
constexpr size_t kLongestName = 200;
char lost_message[320];    // the display is gone
char failed_message[320];  // anything else
bool in_window_calls = false, window_shown = false;
int saved_stderr = -1;  // standard error, while the first window call's lines are held back in held_fd
int held_fd = -1;

[[noreturn]] void ReportWindowFailure() {
  const bool lost = display.name && window_shown;
  if (saved_stderr != -1) {
    dup2(saved_stderr, STDERR_FILENO);
    char buffer[4096];
    ssize_t n = 0;
    for (off_t at = 0; !lost && (n = pread(held_fd, buffer, sizeof buffer, at)) > 0; at += n) {
      if (write(STDERR_FILENO, buffer, size_t(n)) != n) break;
    }
  }
  const char* message = lost ? lost_message : failed_message;
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
  display = FindWindowDisplay();
  if (!WindowCanBeTried(display)) std::exit(kNoWindowStatus);
  std::snprintf(failed_message, sizeof failed_message, "%s", WindowNotStartedLine(kLongestName).c_str());

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
  const std::string lost = WindowLostLine(display.name ? display.name : "", kLongestName);
  std::snprintf(lost_message, sizeof lost_message, "%s", lost.c_str());
  std::snprintf(failed_message, sizeof failed_message, "%s", WindowLostLine(nullptr).c_str());
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

// A window destroyed from outside (by another client, such as a window
// manager's kill or xdotool's windowclose) is still open to the window
// library, which goes on waiting for its keys. On X, a connection of the
// program's own watches the window for its destruction: the window is
// found among the screen's top-level windows by the process id and the
// title that it carries, and its destruction arrives as an event on the
// connection, among the descriptors that the loop sleeps on.
struct WindowWatch {
  xcb_connection_t* connection = nullptr;
  xcb_window_t window = XCB_WINDOW_NONE;
  bool destroyed = false;
};
WindowWatch watch;

xcb_atom_t Atom(const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(watch.connection, xcb_intern_atom(watch.connection, 0, std::strlen(name), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

// The property of window as bytes, empty if it has none.
std::string Property(xcb_window_t window, xcb_atom_t property) {
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      watch.connection, xcb_get_property(watch.connection, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
      nullptr);
  std::string value;
  if (reply) {
    value.assign(static_cast<const char*>(xcb_get_property_value(reply)), xcb_get_property_value_length(reply));
  }
  std::free(reply);
  return value;
}

// Finds the program's window titled title, if it is on the screen yet, and
// asks for its destruction to be told.
void FindWatchedWindow(const char* title) {
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(watch.connection)).data->root;
  xcb_query_tree_reply_t* tree =
      xcb_query_tree_reply(watch.connection, xcb_query_tree(watch.connection, root), nullptr);
  if (!tree) return;
  const xcb_atom_t pid_atom = Atom("_NET_WM_PID");
  const std::uint32_t pid = static_cast<std::uint32_t>(getpid());
  const std::string pid_bytes(reinterpret_cast<const char*>(&pid), sizeof pid);
  const xcb_window_t* children = xcb_query_tree_children(tree);
  for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
    if (Property(children[i], pid_atom) == pid_bytes && Property(children[i], XCB_ATOM_WM_NAME) == title) {
      watch.window = children[i];
      const std::uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
      xcb_change_window_attributes(watch.connection, watch.window, XCB_CW_EVENT_MASK, &events);
      xcb_flush(watch.connection);
      break;
    }
  }
  std::free(tree);
}

// Whether the window titled title, which the library still shows, has
// been destroyed from outside.
bool WindowDestroyed(const char* title) {
  if (!watch.connection) return false;
  if (watch.window == XCB_WINDOW_NONE) FindWatchedWindow(title);
  while (xcb_generic_event_t* event = xcb_poll_for_event(watch.connection)) {
    if ((event->response_type & 0x7f) == XCB_DESTROY_NOTIFY &&
        reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window == watch.window) {
      watch.destroyed = true;
    }
    std::free(event);
  }
  return watch.destroyed;
}

void WatchWindows() {
  if (!display.x || !display.name) return;
  watch.connection = xcb_connect(display.name, nullptr);
  if (xcb_connection_has_error(watch.connection)) {
    xcb_disconnect(watch.connection);
    watch.connection = nullptr;
    return;
  }
  window_system_fds.push_back(pollfd{xcb_get_file_descriptor(watch.connection), POLLIN, 0});
}

// Creates the first window, and notes the descriptors that the window
// system opened for it.
void OpenWindow(const char* title) {
  const std::set<int> before = SignalDescriptors();
  CreateFirstWindow(title);
  for (int fd : SignalDescriptors()) {
    if (!before.count(fd)) window_system_fds.push_back(pollfd{fd, POLLIN, 0});
  }
  WatchWindows();
}

// Sleeps until the window system has something to deliver (an event on
// its connection, or a wake-up of its event loop) or the timeout passes,
// and tells which. Without a descriptor to wait on, it returns at once.
bool WaitForWindowEvents(int timeout_ms) {
  return !window_system_fds.empty() && poll(window_system_fds.data(), window_system_fds.size(), timeout_ms) > 0;
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
// waits wakes ten times a second. Returns the key, or -1 once the window
// has been closed or destroyed.
int NextKey(const char* title) {
  constexpr int kBusyWakeMs = 1;
  constexpr int kIdleWakeMs = 100;
  int wake_ms = kBusyWakeMs;
  int key;
  while ((key = cvWaitKey(1)) < 0) {
    if (cvGetWindowProperty(title, CV_WND_PROP_VISIBLE) <= 0 || WindowDestroyed(title)) return -1;
    const bool events = WaitForWindowEvents(wake_ms);
    wake_ms = events ? kBusyWakeMs : std::min(wake_ms + wake_ms, kIdleWakeMs);
  }
  return key;
}

}  // namespace

IplImage* CreateCanvas() {
  IplImage* canvas = cvCreateImage(cvSize(kCanvasWidth, kCanvasHeight), 8, 3);
  cvSet(canvas, cvScalarAll(255), nullptr);
  return canvas;
}

// The window is shown again whenever it is no longer visible (closed by
// the user), and the first key of any kind ends the loop. Every window
// made gets its compact toolbar before the canvas is shown in it, so that
// it fits a panel 1024 pixels wide.
void ShowUntilKey(const char* title, IplImage* canvas) {
  OpenWindow(title);
  CompactWindowToolbar(title);
  cvShowImage(title, canvas);
  while (NextKey(title) < 0) {
    // A window destroyed from outside is gone for the library too: a new
    // one is made. (A closed one the library has destroyed itself.)
    if (watch.destroyed) cvDestroyWindow(title);
    watch = WindowWatch{watch.connection};
    cvNamedWindow(title, 1);
    CompactWindowToolbar(title);
    cvShowImage(title, canvas);
  }
  EndWindowCalls();
}
