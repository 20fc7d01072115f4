#include "plot/frame.h"

#include <signal.h>
#include <unistd.h>

#include <opencv2/core/core_c.h>
#include <opencv2/highgui/highgui_c.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Standard error as it was before the first window call, and the message
// for a window system that aborts the process when it finds no display.
int saved_stderr = -1;
char no_display_message[256];

// The window library ends the process with abort() when it cannot reach a
// display, after several lines of its own. Say so in one line instead,
// exit with the status of its own, and leave no core dump behind.
extern "C" void OnAbortWithoutDisplay(int) {
  if (saved_stderr >= 0) dup2(saved_stderr, STDERR_FILENO);
  const ssize_t ignored = write(STDERR_FILENO, no_display_message, std::strlen(no_display_message));
  (void)ignored;
  _exit(kNoDisplayStatus);
}

bool HasDisplaySetting() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

// Creates the first window. The window system's diagnostics of this call
// are held back, and shown only if it succeeds: when it finds no display,
// the one line of OnAbortWithoutDisplay stands in for them.
void CreateFirstWindow(const char* title) {
  const char* display = std::getenv("DISPLAY");
  std::snprintf(no_display_message, sizeof no_display_message,
                display && *display ? "No window can be opened: display %.200s is not available.\n"
                                    : "No window can be opened: no display is set.\n",
                display);
  if (!HasDisplaySetting()) {
    std::fputs(no_display_message, stderr);
    std::exit(kNoDisplayStatus);
  }

  std::fflush(stderr);
  std::FILE* held = std::tmpfile();
  saved_stderr = dup(STDERR_FILENO);
  if (held && saved_stderr >= 0) dup2(fileno(held), STDERR_FILENO);
  struct sigaction on_abort = {}, previous = {};
  on_abort.sa_handler = OnAbortWithoutDisplay;
  sigaction(SIGABRT, &on_abort, &previous);

  cvNamedWindow(title, 1);

  sigaction(SIGABRT, &previous, nullptr);
  std::fflush(stderr);
  if (saved_stderr >= 0) {
    dup2(saved_stderr, STDERR_FILENO);
    close(saved_stderr);
    saved_stderr = -1;
  }
  if (held) {
    // Pass on what the window system said while it started.
    std::rewind(held);
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, held)) > 0) std::fwrite(buffer, 1, n, stderr);
    std::fclose(held);
  }
}

}  // namespace

IplImage* CreateCanvas() {
  IplImage* canvas = cvCreateImage(cvSize(kCanvasWidth, kCanvasHeight), 8, 3);
  cvSet(canvas, cvScalarAll(255), nullptr);
  return canvas;
}

void ShowUntilKey(const char* title, IplImage* canvas) {
  CreateFirstWindow(title);
  do {
    cvNamedWindow(title, 1);
    cvShowImage(title, canvas);
  } while (cvWaitKey(1) < 0);
}
