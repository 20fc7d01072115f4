// End-to-end harness: runs a program of the suite in a private Xvfb as a
// person would, finds its window, grabs what the window shows, presses a
// key and collects the exit status, standard output and error, and files.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct _IplImage;
typedef struct _IplImage IplImage;

namespace e2e {

// An Xvfb of its own (1920 x 1080, 24 bits) on a free display number;
// Start sets DISPLAY to it and a private XDG_RUNTIME_DIR.
class PrivateXServer {
 public:
  bool Start();
  void Stop();
  ~PrivateXServer() { Stop(); }

 private:
  pid_t pid_ = -1;
};

// An 8-bit blue-green-red image.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bgr;  // rows top to bottom, 3 bytes per pixel
  const uint8_t* Pixel(int x, int y) const { return &bgr[(static_cast<size_t>(y) * width + x) * 3]; }
};

Image FromCanvas(const IplImage* canvas);

// Stops the test binary's own X server, as if the display went away.
void StopXServer();

// Where `part` lies, pixel for pixel, inside `whole`; nothing if nowhere.
struct Position {
  int x, y;
};
std::optional<Position> FindExactly(const Image& whole, const Image& part);

// A program started in a directory of its own, with its standard output
// and error going to files there.
struct Process {
  pid_t pid = -1;
  std::string dir;
  std::string Stdout() const;
  std::string Stderr() const;
};

// Path of a program of the suite, from the build tree.
std::string ProgramPath(const std::string& name);

// A new empty directory under the test's temporary directory.
std::string MakeTempDir();

// How to start a program beyond its arguments and directory.
struct Options {
  // Environment changes: "NAME=VALUE" sets, "-NAME" removes.
  std::vector<std::string> env;
  // If the tests run as root, run the program as the user nobody, so that
  // directory permissions apply to it.
  bool as_nobody = false;
  // If positive, the largest file the program may write, in bytes (with
  // SIGXFSZ ignored, so that a write beyond it fails).
  long file_size_limit = 0;
};

// Starts `program` with `args` in `dir`.
Process Start(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
          const Options& options = {});

// Waits up to `seconds` for the program to end; its wait status, or nothing.
std::optional<int> WaitExit(Process& run, double seconds);

// Ends the program with SIGKILL and reaps it.
void Kill(Process& run);

// The visible X window whose title is exactly `title` (and that is not
// `other_than`), waited for up to `seconds`.
std::optional<std::string> FindWindow(const std::string& title, double seconds,
                                      const std::string& other_than = "");

// What the window shows now.
Image CaptureWindow(const std::string& window);

// Waits until the window shows `canvas` pixel for pixel, up to `seconds`.
std::optional<Position> WaitForCanvas(const std::string& window, const Image& canvas, double seconds);

// A display number on which no X server listens.
int UnusedDisplayNumber();

// Asks the window to close, as a window manager's close button does.
void CloseWindow(const std::string& window);

// Presses and releases a key in the window.
void PressKey(const std::string& window, const std::string& key = "space");

// Presses a key in the window once a second until the program ends, for up
// to `seconds`, and returns its wait status: a key sent before a new window
// takes input is lost. For a window whose content is not waited for first.
std::optional<int> PressKeyUntilExit(const std::string& window, Process& run, double seconds);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);
bool FileExists(const std::string& path);

// Exit status of a wait status of a normal exit, or -1000 - signal.
int ExitCode(int wait_status);

}  // namespace e2e
