// Window benchmark: under a private Xvfb, starts the baseline window
// program and the four programs in turn, round after round, and measures
// for each run
//   - start to painted: from the fork to the first dump of the window that
//     shows the white canvas (a row of at least 600 white pixels),
//   - peak memory: VmHWM of the process once the window is painted,
//   - processor time while the window waits: user and system time of the
//     process (all its threads) over 5 s after painting, as a share of one
//     core, and the X server's over the same 5 s,
//   - key to exit: from sending a key press to the window to the process's
//     end.
// Prints the median of each over the rounds, and each program's ratio to
// the baseline.
//
// Usage: window_bench [--rounds N] [--cpu-rounds N] [--cpu-seconds S] [--trace]
// (defaults: 11 rounds, the processor time measured in the first 5, over
// 5 s). The runs use directories under TMPDIR (default /tmp); the
// designers' key-to-exit time includes writing coeff1.txt there.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <dirent.h>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/harness.h"
#include "tests/unit/iir_test_support.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

struct Subject {
  std::string name;
  std::string program;
  std::vector<std::string> args;
  std::string title;
  std::string dir;
};

struct Sample {
  double start_s = NAN;
  double hwm_kb = NAN;
  double cpu_percent = NAN;
  double xserver_percent = NAN;
  double key_exit_s = NAN;
};

int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// User plus system time of a process, all threads, in seconds.
double CpuSeconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t close = text.rfind(')');
  if (close == std::string::npos) return NAN;
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  // Fields from 3 (state) on: utime is field 14, stime field 15.
  unsigned long long utime = 0, stime = 0;
  for (int n = 3; n <= 15 && fields >> field; ++n) {
    if (n == 14) utime = std::stoull(field);
    if (n == 15) stime = std::stoull(field);
  }
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// VmHWM of a process, in kB.
double PeakRssKb(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6);
  }
  return NAN;
}

// The Xvfb that this process started.
pid_t FindXServer() {
  DIR* proc = opendir("/proc");
  if (!proc) return -1;
  pid_t found = -1;
  while (const dirent* entry = readdir(proc)) {
    const pid_t pid = std::atoi(entry->d_name);
    if (pid <= 0) continue;
    std::ifstream in(std::string("/proc/") + entry->d_name + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t open = text.find('('), close = text.rfind(')');
    if (open == std::string::npos || close == std::string::npos) continue;
    std::istringstream rest(text.substr(close + 2));
    std::string state;
    pid_t parent = 0;
    rest >> state >> parent;
    if (text.substr(open + 1, close - open - 1) == "Xvfb" && parent == getpid()) found = pid;
  }
  closedir(proc);
  return found;
}

// Waits for the next event of the connection, up to the deadline.
bool NextEvent(Display* display, XEvent& event, Clock::time_point deadline) {
  while (!XPending(display)) {
    const double left = Seconds(deadline - Clock::now());
    if (left <= 0) return false;
    pollfd p{ConnectionNumber(display), POLLIN, 0};
    poll(&p, 1, static_cast<int>(std::ceil(left * 1000)));
  }
  XNextEvent(display, &event);
  return true;
}

// The top-level window titled `title` that is mapped next, up to the deadline.
std::optional<Window> WaitForMap(Display* display, const std::string& title, Clock::time_point deadline) {
  XEvent event;
  while (NextEvent(display, event, deadline)) {
    if (event.type != MapNotify) continue;
    char* name = nullptr;
    const bool match = XFetchName(display, event.xmap.window, &name) && name && title == name;
    if (name) XFree(name);
    if (match) return event.xmap.window;
  }
  return std::nullopt;
}

bool IsWhite(XImage* image, int x, int y) { return (XGetPixel(image, x, y) & 0xFFFFFF) == 0xFFFFFF; }

// Whether row y of the window holds a run of at least 600 white pixels.
bool HasWhiteRun(Display* display, Window window, int width, int y) {
  XImage* row = XGetImage(display, window, 0, y, static_cast<unsigned>(width), 1, AllPlanes, ZPixmap);
  if (!row) return false;
  int run = 0;
  bool found = false;
  for (int x = 0; x < row->width && !found; ++x) {
    run = IsWhite(row, x, 0) ? run + 1 : 0;
    found = run >= 600;
  }
  XDestroyImage(row);
  return found;
}

// Whether the window shows the white canvas: a row of at least 600 white
// pixels. The canvas is centred in the window, so its rows cross the
// middle column: the column is read first, and only the rows where a white
// stretch of it begins are read whole. Each look costs the X server a few
// kilobytes instead of a whole window dump, which would slow down the
// program being measured.
bool ShowsWhiteCanvas(Display* display, Window window) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable) return false;
  const int width = attributes.width, height = attributes.height;
  XImage* column = XGetImage(display, window, width / 2, 0, 1, static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (!column) return false;
  std::vector<int> starts;
  for (int y = 0; y < column->height && starts.size() < 8; ++y) {
    if (IsWhite(column, 0, y) && (y == 0 || !IsWhite(column, 0, y - 1))) starts.push_back(y);
  }
  XDestroyImage(column);
  for (const int y : starts) {
    if (HasWhiteRun(display, window, width, y)) return true;
  }
  return false;
}

// Sends a key press and release of the space bar to the window, as
// `xdotool key --window` does.
void SendSpace(Display* display, Window window) {
  XKeyEvent key{};
  key.display = display;
  key.window = window;
  key.root = DefaultRootWindow(display);
  key.subwindow = None;
  key.time = CurrentTime;
  key.x = key.y = key.x_root = key.y_root = 1;
  key.same_screen = True;
  key.keycode = XKeysymToKeycode(display, XK_space);
  key.type = KeyPress;
  XSendEvent(display, window, True, KeyPressMask, reinterpret_cast<XEvent*>(&key));
  key.type = KeyRelease;
  XSendEvent(display, window, True, KeyReleaseMask, reinterpret_cast<XEvent*>(&key));
  XFlush(display);
}

// Waits for the process to end, up to `seconds`; its wait status.
std::optional<int> WaitForExit(e2e::Process& run, double seconds) {
  const int fd = static_cast<int>(syscall(SYS_pidfd_open, run.pid, 0));
  if (fd >= 0) {
    pollfd p{fd, POLLIN, 0};
    poll(&p, 1, static_cast<int>(seconds * 1000));
    close(fd);
  }
  return e2e::WaitExit(run, fd >= 0 ? 0.0 : seconds);
}

// Whether each run's figures are printed on standard error as it ends.
bool trace = false;

Sample Measure(Display* display, pid_t xserver, const Subject& subject, double cpu_seconds) {
  Sample sample;
  XSync(display, True);  // drops events of earlier runs
  const auto start = Clock::now();
  e2e::Process run = e2e::Start(subject.program, subject.args, subject.dir);
  const auto deadline = start + std::chrono::seconds(30);
  const std::optional<Window> window = WaitForMap(display, subject.title, deadline);
  bool painted = false;
  while (window && Clock::now() < deadline) {
    if (ShowsWhiteCanvas(display, *window)) {
      painted = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (!painted) {
    std::fprintf(stderr, "%s: no painted window\n", subject.name.c_str());
    e2e::Kill(run);
    return sample;
  }
  sample.start_s = Seconds(Clock::now() - start);
  sample.hwm_kb = PeakRssKb(run.pid);
  if (cpu_seconds > 0) {
    const double cpu0 = CpuSeconds(run.pid), x0 = CpuSeconds(xserver);
    const auto t0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(cpu_seconds));
    const double cpu1 = CpuSeconds(run.pid), x1 = CpuSeconds(xserver);
    const double elapsed = Seconds(Clock::now() - t0);
    sample.cpu_percent = 100.0 * (cpu1 - cpu0) / elapsed;
    sample.xserver_percent = 100.0 * (x1 - x0) / elapsed;
  }
  const auto key = Clock::now();
  SendSpace(display, *window);
  const std::optional<int> status = WaitForExit(run, 10);
  if (!status) {
    std::fprintf(stderr, "%s: still running after the key\n", subject.name.c_str());
    e2e::Kill(run);
    return sample;
  }
  sample.key_exit_s = Seconds(Clock::now() - key);
  if (trace) {
    std::fprintf(stderr, "%-22s to window %6.1f ms, key to exit %5.1f ms", subject.name.c_str(), sample.start_s * 1e3,
                 sample.key_exit_s * 1e3);
    if (!std::isnan(sample.cpu_percent)) std::fprintf(stderr, ", CPU %.2f %%", sample.cpu_percent);
    std::fprintf(stderr, "\n");
  }  if (e2e::ExitCode(*status) != 0) {
    std::fprintf(stderr, "%s: exit status %d\n", subject.name.c_str(), e2e::ExitCode(*status));
  }
  return sample;
}

double Median(std::vector<double> v) {
  v.erase(std::remove_if(v.begin(), v.end(), [](double x) { return std::isnan(x); }), v.end());
  if (v.empty()) return NAN;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

size_t Count(const std::vector<double>& v) {
  return static_cast<size_t>(std::count_if(v.begin(), v.end(), [](double x) { return !std::isnan(x); }));
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 11, cpu_rounds = 5;
  double cpu_seconds = 5.0;
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    const bool has_value = i + 1 < argc;
    if (flag == "--trace") {
      trace = true;
    } else if (flag == "--rounds" && has_value) {
      rounds = std::atoi(argv[++i]);
    } else if (flag == "--cpu-rounds" && has_value) {
      cpu_rounds = std::atoi(argv[++i]);
    } else if (flag == "--cpu-seconds" && has_value) {
      cpu_seconds = std::atof(argv[++i]);
    } else {
      std::fprintf(stderr, "usage: %s [--rounds N] [--cpu-rounds N] [--cpu-seconds S] [--trace]\n", argv[0]);
      return 2;
    }
  }

  e2e::PrivateXServer xvfb;
  if (!xvfb.Start()) {
    std::fprintf(stderr, "Xvfb did not start\n");
    return 1;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "cannot connect to the private X server\n");
    return 1;
  }
  XSetErrorHandler(IgnoreXError);
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  const pid_t xserver = FindXServer();

  // The viewers read the files the designers write: pelmora's ten lines
  // and tavrine's taps. The designers write theirs in a directory of their own.
  const std::string files = e2e::MakeTempDir();
  e2e::WriteFile(files + "/coeff1.txt", kBuiltInCoeffFile);
  e2e::WriteFile(files + "/taps.txt", e2e::ReadFile(TAP_FILE));
  const std::string designers = e2e::MakeTempDir();

  const std::vector<Subject> subjects = {
      {"baseline (old loop)", BASELINE_PROGRAM, {}, "Frequency Response", designers},
      {"pelmora", e2e::ProgramPath("pelmora"), {}, "Frequency Response", designers},
      {"corvell coeff1.txt", e2e::ProgramPath("corvell"), {"coeff1.txt"}, "Freqency Response", files},
      {"tavrine", e2e::ProgramPath("tavrine"), {}, "Frequency Response", designers},
      {"sunnaq taps.txt", e2e::ProgramPath("sunnaq"), {"taps.txt"}, "Frequency Response", files},
  };

  // One round that is not counted: the programs and libraries into the page cache.
  for (const Subject& s : subjects) Measure(display, xserver, s, 0);

  std::map<std::string, std::vector<Sample>> samples;
  for (int r = 0; r < rounds; ++r) {
    // Each round starts with another subject, so that none always follows the same.
    for (size_t k = 0; k < subjects.size(); ++k) {
      const Subject& s = subjects[(k + static_cast<size_t>(r)) % subjects.size()];
      samples[s.name].push_back(Measure(display, xserver, s, r < cpu_rounds ? cpu_seconds : 0));
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (trace) std::fprintf(stderr, "round %d of %d done\n", r + 1, rounds);
  }

  const auto column = [&](const std::string& name, double Sample::*field) {
    std::vector<double> v;
    for (const Sample& s : samples[name]) v.push_back(s.*field);
    return v;
  };
  const std::string& base = subjects[0].name;
  const double base_start = Median(column(base, &Sample::start_s));
  const double base_hwm = Median(column(base, &Sample::hwm_kb));
  const double base_key = Median(column(base, &Sample::key_exit_s));

  std::printf("\nwindow under Xvfb: medians of %d rounds (processor time: %d rounds of %.0f s)\n", rounds,
              std::min(rounds, cpu_rounds), cpu_seconds);
  std::printf("%-22s %9s %6s %10s %6s %10s %10s %11s %6s\n", "program", "to window", "ratio", "peak RSS", "ratio",
              "CPU wait", "X server", "key to exit", "ratio");
  for (const Subject& s : subjects) {
    const double start = Median(column(s.name, &Sample::start_s));
    const double hwm = Median(column(s.name, &Sample::hwm_kb));
    const double cpu = Median(column(s.name, &Sample::cpu_percent));
    const double xs = Median(column(s.name, &Sample::xserver_percent));
    const double key = Median(column(s.name, &Sample::key_exit_s));
    std::printf("%-22s %6.0f ms %6.3f %7.1f MB %6.3f %8.2f %% %8.2f %% %8.1f ms %6.2f\n", s.name.c_str(),
                start * 1e3, start / base_start, hwm / 1024.0, hwm / base_hwm, cpu, xs, key * 1e3, key / base_key);
    if (Count(column(s.name, &Sample::start_s)) != static_cast<size_t>(rounds) ||
        Count(column(s.name, &Sample::key_exit_s)) != static_cast<size_t>(rounds)) {
      std::printf("  (%s: some runs failed, see above)\n", s.name.c_str());
    }
  }
  std::printf("CPU wait: the program's user + system time, all threads, per second of waiting, in %% of one core.\n");
  XCloseDisplay(display);
  return 0;
}
