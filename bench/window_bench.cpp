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
// the baseline. (The live tuners' changes are timed by tune_bench.)
//
// Usage: window_bench [--rounds N] [--cpu-rounds N] [--cpu-seconds S]
// (defaults: 11 rounds, the processor time measured in the first 5, over
// 5 s). The designers run in directories under TMPDIR (default /tmp) and
// write coeff1.txt there after the key, which the viewers then read.
// Needs Xvfb; it starts and ends the processes itself, with nothing of
// the tests' harness.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

struct Subject {
  std::string name;
  std::vector<const char*> argv;
  std::string title, dir;
};

// The figures of one run, NAN where not measured.
enum Figure { kStart, kPeak, kCpu, kServerCpu, kKeyToExit, kFigures };
using Sample = std::array<double, kFigures>;

std::string Read(const std::string& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Starts `argv` in `dir`, its standard streams on /dev/null.
pid_t Spawn(std::vector<const char*> argv, const std::string& dir) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  const int null = open("/dev/null", O_RDWR);
  for (const int fd : {0, 1, 2}) dup2(null, fd);
  argv.push_back(nullptr);
  if (chdir(dir.c_str()) == 0) execvp(argv[0], const_cast<char* const*>(argv.data()));
  _exit(127);
}

// User plus system time of a process, all its threads, in seconds
// (fields 14 and 15 of its stat line).
double CpuSeconds(pid_t pid) {
  const std::string stat = Read("/proc/" + std::to_string(pid) + "/stat");
  unsigned long user = 0, system = 0;
  std::sscanf(stat.c_str() + stat.rfind(')') + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &user, &system);
  return double(user + system) / double(sysconf(_SC_CLK_TCK));
}

bool IsWhite(XImage* image, int x, int y) { return (XGetPixel(image, x, y) & 0xFFFFFF) == 0xFFFFFF; }

// Whether the window shows the white canvas: a run of at least 600 white
// pixels on a row where a white stretch of the middle column begins (the
// canvas is centred, and its top row is white). Reading a column and a few
// rows costs the X server a few kilobytes instead of a whole window dump,
// which would slow down the program being measured.
bool ShowsWhiteCanvas(Display* display, Window window, int least = 600) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(display, window, &a) || a.map_state != IsViewable) return false;
  XImage* column = XGetImage(display, window, a.width / 2, 0, 1, a.height, AllPlanes, ZPixmap);
  bool found = false;
  for (int y = 0; column && y < a.height && !found; ++y) {
    if (!IsWhite(column, 0, y) || (y > 0 && IsWhite(column, 0, y - 1))) continue;
    XImage* row = XGetImage(display, window, 0, y, a.width, 1, AllPlanes, ZPixmap);
    for (int x = 0, run = 0; row && x < a.width && !found; ++x) found = (run = IsWhite(row, x, 0) ? run + 1 : 0) >= least;
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
  XSync(display, True);  // drops the events of earlier runs
  const auto start = Clock::now(), deadline = start + std::chrono::seconds(30);
  const pid_t pid = Spawn(subject.argv, subject.dir);
  const Window window = WaitForMap(display, subject.title, deadline);
  bool painted = false;
  while (window && !(painted = ShowsWhiteCanvas(display, window)) && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (painted) {
    sample[kStart] = Since(start);
    const std::string status = Read("/proc/" + std::to_string(pid) + "/status");
    sample[kPeak] = std::atof(status.c_str() + status.find("VmHWM:") + 6) / 1024.0;
  }
  if (painted && cpu_seconds > 0) {
    const double own = CpuSeconds(pid), server = CpuSeconds(xserver);
    const auto from = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(cpu_seconds));
    const double elapsed = Since(from);
    sample[kCpu] = 100.0 * (CpuSeconds(pid) - own) / elapsed;
    sample[kServerCpu] = 100.0 * (CpuSeconds(xserver) - server) / elapsed;
  }
  // The process's end, to the moment: its pidfd is readable once it ends.
  const auto key = Clock::now();
  if (painted) SendSpace(display, window);
  pollfd end{static_cast<int>(syscall(SYS_pidfd_open, pid, 0)), POLLIN, 0};
  const bool ended = painted && poll(&end, 1, 10000) == 1;
  const double key_to_exit = Since(key);
  if (!ended) kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  close(end.fd);
  if (ended && status == 0) sample[kKeyToExit] = key_to_exit;
  if (!ended || status != 0) {
    std::fprintf(stderr, "%s: %s\n", subject.name.c_str(),
                 !painted ? "no painted window" : ended ? "exit status not 0" : "no exit after the key");
  }
  return sample;
}

// From the start of a Qt program to its window showing a white plot
// canvas (a run of 60 white pixels: the plot canvas between its grid
// lines), then ended by SIGTERM; NAN if none.
double StartToPainted(Display* display, const Subject& subject) {
  XSync(display, True);
  const auto start = Clock::now(), deadline = start + std::chrono::seconds(30);
  const pid_t pid = Spawn(subject.argv, subject.dir);
  const Window window = WaitForMap(display, subject.title, deadline);
  bool painted = false;
  while (window && !(painted = ShowsWhiteCanvas(display, window, 60)) && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  const double seconds = painted ? Since(start) : NAN;
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  return seconds;
}

double Median(std::vector<double> v) {
  v.erase(std::remove_if(v.begin(), v.end(), [](double x) { return std::isnan(x); }), v.end());
  if (v.empty()) return NAN;
  std::sort(v.begin(), v.end());
  return (v[(v.size() - 1) / 2] + v[v.size() / 2]) / 2.0;
}

// The command line's counts and seconds.
struct Options {
  double rounds, cpu_rounds, cpu_seconds;
};

// Reads the options, or prints the usage line and returns false.
bool ReadOptions(int argc, char** argv, Options& read) {
  std::map<std::string, double> options = {{"--rounds", 11}, {"--cpu-rounds", 5}, {"--cpu-seconds", 5}};
  for (int i = 1; i < argc; i += 2) {
    if (!options.count(argv[i]) || i + 1 == argc) {
      std::fprintf(stderr, "usage: %s [--rounds N] [--cpu-rounds N] [--cpu-seconds S]\n", argv[0]);
      return false;
    }
    options[argv[i]] = std::atof(argv[i + 1]);
  }
  read = {options["--rounds"], options["--cpu-rounds"], options["--cpu-seconds"]};
  return true;
}

// The private X server, and this process's connection to it.
struct Server {
  FILE* xvfb;
  Display* display;
  pid_t pid;
};

// Starts Xvfb and connects to it, DISPLAY set to it for the programs;
// false if it did not start.
bool StartServer(Server& server) {
  // Xvfb prints the display number it picks, and ends once its last
  // client, this process, leaves.
  server.xvfb = popen("exec Xvfb -displayfd 1 -screen 0 1920x1080x24 -nolisten tcp -terminate 2>/dev/null", "r");
  char number[16] = "none";
  if (server.xvfb) std::fgets(number, sizeof number, server.xvfb);
  const std::string name = ":" + std::string(number, std::strcspn(number, "\n"));
  server.display = XOpenDisplay(name.c_str());
  if (!server.display) {
    std::fprintf(stderr, "the private X server did not start\n");
    return false;
  }
  // It is this process's only child so far.
  server.pid = std::atoi(Read("/proc/self/task/" + std::to_string(getpid()) + "/children").c_str());
  setenv("DISPLAY", name.c_str(), 1);
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  XSelectInput(server.display, DefaultRootWindow(server.display), SubstructureNotifyMask);
  return true;
}

using Samples = std::map<std::string, std::array<std::vector<double>, kFigures>>;

// The subjects' figures, round after round, after one round that is not
// counted: it brings the programs and libraries into the page cache and
// writes the viewers' files.
Samples MeasureRounds(const Server& server, const std::vector<Subject>& subjects, const Options& o) {
  for (const Subject& s : subjects) Measure(server.display, server.pid, s, 0);
  Samples samples;
  for (int r = 0; r < o.rounds; ++r) {
    // Each round starts with another subject, so that none always follows the same.
    for (size_t k = 0; k < subjects.size(); ++k) {
      const Subject& s = subjects[(k + r) % subjects.size()];
      const Sample sample = Measure(server.display, server.pid, s, r < o.cpu_rounds ? o.cpu_seconds : 0);
      for (int f = 0; f < kFigures; ++f) samples[s.name][f].push_back(sample[f]);
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  return samples;
}

// The medians of each subject, and their ratios to the first's.
void PrintWindows(const std::vector<Subject>& subjects, Samples& samples, const Options& o) {
  std::array<double, kFigures> median{}, base{};
  std::printf("\nwindow under Xvfb: medians of %.0f rounds (processor time: %.0f rounds of %.0f s)\n", o.rounds,
              std::min(o.rounds, o.cpu_rounds), o.cpu_seconds);
  std::printf("%-20s %9s %6s %10s %6s %9s %9s %11s %6s\n", "program", "to window", "ratio", "peak RSS", "ratio",
              "CPU wait", "X server", "key to exit", "ratio");
  for (const Subject& s : subjects) {
    for (int f = 0; f < kFigures; ++f) median[f] = Median(samples[s.name][f]);
    if (&s == &subjects[0]) base = median;
    std::printf("%-20s %6.0f ms %6.3f %7.1f MB %6.3f %7.2f %% %7.2f %% %8.1f ms %6.2f\n", s.name.c_str(),
                median[kStart] * 1e3, median[kStart] / base[kStart], median[kPeak], median[kPeak] / base[kPeak],
                median[kCpu], median[kServerCpu], median[kKeyToExit] * 1e3, median[kKeyToExit] / base[kKeyToExit]);
  }
  std::printf("CPU wait: the program's user + system time, all threads, per second of waiting, in %% of one core.\n");
}

// The live tuners' start to their first painted window, beside a bare Qt
// window's: measured round after round, after one that is not counted,
// and printed.
void MeasureTuners(Display* display, const std::string& iir, const std::string& fir, const Options& o) {
  const std::vector<Subject> tuners = {{"bare Qt window", {QT_BASELINE_PROGRAM}, "tuner baseline", iir},
                                       {"pelmora-tune", {PROGRAM_DIR "/pelmora-tune"}, "pelmora-tune", iir},
                                       {"tavrine-tune", {PROGRAM_DIR "/tavrine-tune"}, "tavrine-tune", fir}};
  std::map<std::string, std::vector<double>> starts;
  for (const Subject& s : tuners) StartToPainted(display, s);  // not counted
  for (int r = 0; r < o.rounds; ++r) {
    for (size_t k = 0; k < tuners.size(); ++k) {
      const Subject& s = tuners[(k + r) % tuners.size()];
      starts[s.name].push_back(StartToPainted(display, s));
    }
  }
  std::printf("\nlive tuners: start to the painted window, medians of %.0f rounds\n", o.rounds);
  for (const Subject& s : tuners) {
    std::printf("%-20s %6.0f ms %6.3f\n", s.name.c_str(), Median(starts[s.name]) * 1e3,
                Median(starts[s.name]) / Median(starts[tuners[0].name]));
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options options{};
  if (!ReadOptions(argc, argv, options)) return 2;
  Server server{};
  if (!StartServer(server)) return 1;

  // Each designer in a directory of its own, where its viewer reads the
  // file it writes (the first, uncounted round writes them).
  const char* tmp = std::getenv("TMPDIR");
  std::string iir = std::string(tmp && *tmp ? tmp : "/tmp") + "/window-bench-XXXXXX", fir = iir;
  if (!mkdtemp(&iir[0]) || !mkdtemp(&fir[0])) return 1;
  const std::vector<Subject> subjects = {
      {"baseline (old loop)", {BASELINE_PROGRAM}, "Frequency Response", iir},
      {"pelmora", {PROGRAM_DIR "/pelmora"}, "Frequency Response", iir},
      {"corvell coeff1.txt", {PROGRAM_DIR "/corvell", "coeff1.txt"}, "Freqency Response", iir},
      {"tavrine", {PROGRAM_DIR "/tavrine"}, "Frequency Response", fir},
      {"sunnaq coeff1.txt", {PROGRAM_DIR "/sunnaq", "coeff1.txt"}, "Frequency Response", fir},
  };
  Samples samples = MeasureRounds(server, subjects, options);
  PrintWindows(subjects, samples, options);
  MeasureTuners(server.display, iir, fir, options);

  for (const std::string& dir : {iir, fir}) std::filesystem::remove_all(dir);
  XCloseDisplay(server.display);
  pclose(server.xvfb);
  return 0;
}
