// Window benchmark: under a private Xvfb, starts the baseline window
// program and the four programs in turn, round after round, and measures
// for each run
//   - start to painted: from the fork to the first look at the window that
//     finds the white canvas (a row of at least 600 white pixels),
//   - peak memory: VmHWM of the process once the window is painted,
//   - processor time while the window waits: user and system time of the
//     process (all its threads) over 5 s after painting, as a share of one
//     core, and the X server's over the same 5 s,
//   - key to exit: from sending a key press to the window to the process's
//     end.
// Prints the median of each over the rounds, and each program's ratio to
// the baseline.
//
// Usage: window_bench [--rounds N] [--cpu-rounds N] [--cpu-seconds S]
// (defaults: 11 rounds, the processor time measured in the first 5, over
// 5 s). The designers run in directories under TMPDIR (default /tmp) and
// write coeff1.txt there after the key, which the viewers then read.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <sys/syscall.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "tests/e2e/harness.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

struct Subject {
  std::string name, program, arg, title, dir;
};

// The figures of one run, NAN where not measured.
enum Figure { kStart, kPeak, kCpu, kServerCpu, kKeyToExit, kFigures };
using Sample = std::array<double, kFigures>;

bool IsWhite(XImage* image, int x, int y) { return (XGetPixel(image, x, y) & 0xFFFFFF) == 0xFFFFFF; }

// Whether the window shows the white canvas: a run of at least 600 white
// pixels on a row where a white stretch of the middle column begins (the
// canvas is centred, and its top row is white). Reading a column and a few
// rows costs the X server a few kilobytes instead of a whole window dump,
// which would slow down the program being measured.
bool ShowsWhiteCanvas(Display* display, Window window) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(display, window, &a) || a.map_state != IsViewable) return false;
  XImage* column = XGetImage(display, window, a.width / 2, 0, 1, a.height, AllPlanes, ZPixmap);
  bool found = false;
  for (int y = 0; column && y < a.height && !found; ++y) {
    if (!IsWhite(column, 0, y) || (y > 0 && IsWhite(column, 0, y - 1))) continue;
    XImage* row = XGetImage(display, window, 0, y, a.width, 1, AllPlanes, ZPixmap);
    for (int x = 0, run = 0; row && x < a.width && !found; ++x) found = (run = IsWhite(row, x, 0) ? run + 1 : 0) >= 600;
    if (row) XDestroyImage(row);
  }
  if (column) XDestroyImage(column);
  return found;
}

// The top-level window titled `title` that is mapped next, or 0 if none is
// by the deadline.
Window WaitForMap(Display* display, const std::string& title, Clock::time_point deadline) {
  for (XEvent event;;) {
    while (!XPending(display)) {
      if (Clock::now() > deadline) return 0;
      pollfd p{ConnectionNumber(display), POLLIN, 0};
      poll(&p, 1, 50);
    }
    XNextEvent(display, &event);
    char* name = nullptr;
    if (event.type != MapNotify || !XFetchName(display, event.xmap.window, &name) || !name) continue;
    const bool match = title == name;
    XFree(name);
    if (match) return event.xmap.window;
  }
}

// Sends a press and release of the space bar to the window, as
// `xdotool key --window` does, without starting a process.
void SendSpace(Display* display, Window window) {
  XKeyEvent key{};
  key.display = display;
  key.window = window;
  key.root = DefaultRootWindow(display);
  key.time = CurrentTime;
  key.x = key.y = key.x_root = key.y_root = 1;
  key.same_screen = True;
  key.keycode = XKeysymToKeycode(display, XK_space);
  for (const int type : {KeyPress, KeyRelease}) {
    key.type = type;
    XSendEvent(display, window, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, reinterpret_cast<XEvent*>(&key));
  }
  XFlush(display);
}

Sample Measure(Display* display, pid_t xserver, const Subject& subject, double cpu_seconds) {
  Sample sample;
  sample.fill(NAN);
  e2e::Run run;  // its output goes nowhere: the directory made for it is removed
  rmdir(run.out.substr(0, run.out.rfind('/')).c_str());
  run.out = run.err = "/dev/null";
  XSync(display, True);  // drops the events of earlier runs
  const auto start = Clock::now(), deadline = start + std::chrono::seconds(30);
  e2e::Start(run, subject.program, subject.arg.empty() ? std::vector<std::string>{} : std::vector{subject.arg},
             subject.dir);
  const Window window = WaitForMap(display, subject.title, deadline);
  bool painted = false;
  while (window && !(painted = ShowsWhiteCanvas(display, window)) && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (!painted) {
    std::fprintf(stderr, "%s: no painted window\n", subject.name.c_str());
    return sample;
  }
  sample[kStart] = Since(start);
  const std::string status = test::Read("/proc/" + std::to_string(run.pid) + "/status");
  sample[kPeak] = std::atof(status.c_str() + status.find("VmHWM:") + 6) / 1024.0;
  if (cpu_seconds > 0) {
    const double own = e2e::CpuSeconds(run.pid), server = e2e::CpuSeconds(xserver);
    const auto from = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(cpu_seconds));
    const double elapsed = Since(from);
    sample[kCpu] = 100.0 * (e2e::CpuSeconds(run.pid) - own) / elapsed;
    sample[kServerCpu] = 100.0 * (e2e::CpuSeconds(xserver) - server) / elapsed;
  }
  const auto key = Clock::now();
  SendSpace(display, window);
  // The process's end, to the moment: a pidfd is readable once it ends.
  pollfd end{static_cast<int>(syscall(SYS_pidfd_open, run.pid, 0)), POLLIN, 0};
  if (end.fd >= 0) {
    poll(&end, 1, 10000);
    close(end.fd);
  }
  const double key_to_exit = Since(key);
  const std::optional<int> exit = run.Wait(end.fd >= 0 ? 0 : 10);
  if (exit == 0) sample[kKeyToExit] = key_to_exit;
  if (exit != 0) std::fprintf(stderr, "%s: %s\n", subject.name.c_str(), exit ? "exit status not 0" : "no exit after the key");
  return sample;
}

double Median(std::vector<double> v) {
  v.erase(std::remove_if(v.begin(), v.end(), [](double x) { return std::isnan(x); }), v.end());
  if (v.empty()) return NAN;
  std::sort(v.begin(), v.end());
  return (v[(v.size() - 1) / 2] + v[v.size() / 2]) / 2.0;
}

}  // namespace

int main(int argc, char** argv) {
  double rounds = 11, cpu_rounds = 5, cpu_seconds = 5.0;
  for (int i = 1; i < argc; i += 2) {
    const std::string flag = argv[i];
    double* value = flag == "--rounds" ? &rounds : flag == "--cpu-rounds" ? &cpu_rounds
                  : flag == "--cpu-seconds" ? &cpu_seconds : nullptr;
    if (!value || i + 1 >= argc) {
      std::fprintf(stderr, "usage: %s [--rounds N] [--cpu-rounds N] [--cpu-seconds S]\n", argv[0]);
      return 2;
    }
    *value = std::atof(argv[i + 1]);
  }

  e2e::XServer xvfb;
  const std::string name = xvfb.Start();
  Display* display = name.empty() ? nullptr : XOpenDisplay(name.c_str());
  if (!display) {
    std::fprintf(stderr, "the private X server did not start\n");
    return 1;
  }
  setenv("DISPLAY", name.c_str(), 1);
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  // The X server is this process's only child so far.
  const pid_t xserver = std::atoi(test::Read("/proc/self/task/" + std::to_string(getpid()) + "/children").c_str());

  // Each designer in a directory of its own, where its viewer reads the
  // file it writes (the first, uncounted round writes them).
  const std::string iir = test::MakeTempDir(), fir = test::MakeTempDir();
  const std::vector<Subject> subjects = {
      {"baseline (old loop)", BASELINE_PROGRAM, "", "Frequency Response", iir},
      {"pelmora", PROGRAM_DIR "/pelmora", "", "Frequency Response", iir},
      {"corvell coeff1.txt", PROGRAM_DIR "/corvell", "coeff1.txt", "Freqency Response", iir},
      {"tavrine", PROGRAM_DIR "/tavrine", "", "Frequency Response", fir},
      {"sunnaq coeff1.txt", PROGRAM_DIR "/sunnaq", "coeff1.txt", "Frequency Response", fir},
  };

  // One round that is not counted: it brings the programs and libraries
  // into the page cache and writes the viewers' files.
  for (const Subject& s : subjects) Measure(display, xserver, s, 0);
  std::map<std::string, std::vector<Sample>> samples;
  for (int r = 0; r < rounds; ++r) {
    // Each round starts with another subject, so that none always follows the same.
    for (size_t k = 0; k < subjects.size(); ++k) {
      const Subject& s = subjects[(k + r) % subjects.size()];
      samples[s.name].push_back(Measure(display, xserver, s, r < cpu_rounds ? cpu_seconds : 0));
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  for (const std::string& dir : {iir, fir}) {
    std::remove((dir + "/coeff1.txt").c_str());
    rmdir(dir.c_str());
  }

  std::array<double, kFigures> median, base;
  std::printf("\nwindow under Xvfb: medians of %.0f rounds (processor time: %.0f rounds of %.0f s)\n", rounds,
              std::min(rounds, cpu_rounds), cpu_seconds);
  std::printf("%-20s %9s %6s %10s %6s %9s %9s %11s %6s\n", "program", "to window", "ratio", "peak RSS", "ratio",
              "CPU wait", "X server", "key to exit", "ratio");
  for (const Subject& s : subjects) {
    for (int f = 0; f < kFigures; ++f) {
      std::vector<double> values;
      for (const Sample& sample : samples[s.name]) values.push_back(sample[f]);
      median[f] = Median(values);
      if (&s == &subjects[0]) base[f] = median[f];
    }
    std::printf("%-20s %6.0f ms %6.3f %7.1f MB %6.3f %7.2f %% %7.2f %% %8.1f ms %6.2f\n", s.name.c_str(),
                median[kStart] * 1e3, median[kStart] / base[kStart], median[kPeak], median[kPeak] / base[kPeak],
                median[kCpu], median[kServerCpu], median[kKeyToExit] * 1e3, median[kKeyToExit] / base[kKeyToExit]);
  }
  std::printf("CPU wait: the program's user + system time, all threads, per second of waiting, in %% of one core.\n");
  XCloseDisplay(display);
  return 0;
}
