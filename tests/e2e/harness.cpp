#include "tests/e2e/harness.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <opencv2/core/core_c.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>


namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uid_t kNobody = 65534;

// Polls `done` every 20 ms until it holds or `seconds` have passed.
template <typename F>
bool PollFor(double seconds, F done) {
  const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
  while (true) {
    if (done()) return true;
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

// Runs a command and returns its standard output.
std::string Capture(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

uint32_t Be32(const std::string& d, size_t at) {
  return (uint32_t(uint8_t(d[at])) << 24) | (uint32_t(uint8_t(d[at + 1])) << 16) |
         (uint32_t(uint8_t(d[at + 2])) << 8) | uint32_t(uint8_t(d[at + 3]));
}

int Shift(uint32_t mask) {
  int s = 0;
  while (mask && !(mask & 1u)) {
    mask >>= 1;
    ++s;
  }
  return s;
}

// An X window dump (xwd) of a 24- or 32-bit true-colour window.
Image ParseXwd(const std::string& d) {
  Image image;
  if (d.size() < 100) return image;
  const uint32_t header_size = Be32(d, 0), width = Be32(d, 16), height = Be32(d, 20);
  const uint32_t byte_order = Be32(d, 28), bits_per_pixel = Be32(d, 44), bytes_per_line = Be32(d, 48);
  const uint32_t red_mask = Be32(d, 56), green_mask = Be32(d, 60), blue_mask = Be32(d, 64);
  const uint32_t ncolors = Be32(d, 76);
  const size_t data = header_size + size_t(ncolors) * 12;
  if (bits_per_pixel != 32 || d.size() < data + size_t(bytes_per_line) * height) return image;
  image.width = int(width);
  image.height = int(height);
  image.bgr.resize(size_t(width) * height * 3);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      const size_t at = data + size_t(y) * bytes_per_line + size_t(x) * 4;
      uint32_t p = 0;
      for (int b = 0; b < 4; ++b) {
        const uint32_t byte = uint8_t(d[at + b]);
        p |= byte_order == 0 ? byte << (8 * b) : byte << (8 * (3 - b));
      }
      uint8_t* out = &image.bgr[(size_t(y) * width + x) * 3];
      out[0] = uint8_t((p & blue_mask) >> Shift(blue_mask));
      out[1] = uint8_t((p & green_mask) >> Shift(green_mask));
      out[2] = uint8_t((p & red_mask) >> Shift(red_mask));
    }
  }
  return image;
}

}  // namespace

bool PrivateXServer::Start() {
  int fds[2];
  if (pipe(fds) != 0) return false;
  pid_ = fork();
  if (pid_ == 0) {
    close(fds[0]);
    const std::string fd = std::to_string(fds[1]);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1920x1080x24", "-nolisten", "tcp", "-noreset",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  while (poll(&p, 1, 20000) > 0) {
    char c;
    if (read(fds[0], &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  close(fds[0]);
  if (number.empty()) return false;
  setenv("DISPLAY", (":" + number).c_str(), 1);
  unsetenv("WAYLAND_DISPLAY");
  // Qt wants a private runtime directory.
  const std::string runtime = MakeTempDir();
  chmod(runtime.c_str(), 0700);
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  return true;
}

void PrivateXServer::Stop() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
}

Image FromCanvas(const IplImage* canvas) {
  Image image;
  image.width = canvas->width;
  image.height = canvas->height;
  image.bgr.resize(size_t(image.width) * image.height * 3);
  for (int y = 0; y < image.height; ++y) {
    std::memcpy(&image.bgr[size_t(y) * image.width * 3], canvas->imageData + size_t(y) * canvas->widthStep,
                size_t(image.width) * 3);
  }
  return image;
}

std::optional<Position> FindExactly(const Image& whole, const Image& part) {
  const size_t row = size_t(part.width) * 3;
  for (int y = 0; y + part.height <= whole.height; ++y) {
    for (int x = 0; x + part.width <= whole.width; ++x) {
      bool same = true;
      for (int r = 0; r < part.height && same; ++r) {
        same = std::memcmp(whole.Pixel(x, y + r), part.Pixel(0, r), row) == 0;
      }
      if (same) return Position{x, y};
    }
  }
  return std::nullopt;
}

std::string Process::Stdout() const { return ReadFile(dir + "/.stdout"); }
std::string Process::Stderr() const { return ReadFile(dir + "/.stderr"); }

std::string ProgramPath(const std::string& name) { return std::string(PROGRAM_DIR) + "/" + name; }

std::string MakeTempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string templ = std::string(base && *base ? base : "/tmp") + "/filter-e2e-XXXXXX";
  if (!mkdtemp(&templ[0])) throw std::runtime_error("mkdtemp failed");
  chmod(templ.c_str(), 0755);
  return templ;
}

Process Start(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
          const Options& options) {
  Process run;
  run.dir = dir;
  const bool drop = options.as_nobody && geteuid() == 0;
  std::string runtime;
  if (drop) {
    runtime = MakeTempDir();
    chown(runtime.c_str(), kNobody, kNobody);
    chmod(runtime.c_str(), 0700);
  }
  // The output files live in the run's directory, which may not be writable
  // by the program itself: open them before dropping privileges.
  const int out = open((dir + "/.stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int err = open((dir + "/.stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  run.pid = fork();
  if (run.pid == 0) {
    dup2(out, 1);
    dup2(err, 2);
    const int in = open("/dev/null", O_RDONLY);
    dup2(in, 0);
    if (chdir(dir.c_str()) != 0) _exit(126);
    for (const std::string& change : options.env) {
      if (change.rfind('-', 0) == 0) {
        unsetenv(change.c_str() + 1);
      } else if (const size_t eq = change.find('='); eq != std::string::npos) {
        setenv(change.substr(0, eq).c_str(), change.c_str() + eq + 1, 1);
      }
    }
    if (options.file_size_limit > 0) {
      signal(SIGXFSZ, SIG_IGN);
      rlimit limit;
      limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(options.file_size_limit);
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (drop) {
      setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
      if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(126);
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(out);
  close(err);
  return run;
}

std::optional<int> WaitExit(Process& run, double seconds) {
  std::optional<int> status;
  PollFor(seconds, [&] {
    int s;
    if (waitpid(run.pid, &s, WNOHANG) == run.pid) status = s;
    return status.has_value();
  });
  if (status) run.pid = -1;
  return status;
}

void Kill(Process& run) {
  if (run.pid <= 0) return;
  kill(run.pid, SIGKILL);
  waitpid(run.pid, nullptr, 0);
  run.pid = -1;
}

std::optional<std::string> FindWindow(const std::string& title, double seconds, const std::string& other_than) {
  std::optional<std::string> found;
  PollFor(seconds, [&] {
    std::istringstream ids(Capture("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null"));
    std::string id;
    while (ids >> id) {
      if (id == other_than) continue;
      // The search is a case-insensitive pattern: compare the title exactly.
      if (Capture("xdotool getwindowname " + id + " 2>/dev/null") == title + "\n") {
        found = id;
        return true;
      }
    }
    return false;
  });
  return found;
}

Image CaptureWindow(const std::string& window) {
  return ParseXwd(Capture("xwd -silent -id " + window + " 2>/dev/null"));
}

std::optional<Position> WaitForCanvas(const std::string& window, const Image& canvas, double seconds) {
  std::optional<Position> at;
  PollFor(seconds, [&] {
    at = FindExactly(CaptureWindow(window), canvas);
    return at.has_value();
  });
  return at;
}

int UnusedDisplayNumber() {
  int n = 500;
  while (FileExists("/tmp/.X11-unix/X" + std::to_string(n)) || FileExists("/tmp/.X" + std::to_string(n) + "-lock")) ++n;
  return n;
}

void CloseWindow(const std::string& window) { Capture(std::string(CLOSE_WINDOW) + " " + window); }

void PressKey(const std::string& window, const std::string& key) {
  // xdotool may report BadWindow for the key release once the program has
  // ended on the press: the program's exit is what counts.
  Capture("xdotool key --window " + window + " " + key + " 2>&1");
}

std::optional<int> PressKeyUntilExit(const std::string& window, Process& run, double seconds) {
  std::optional<int> ended;
  for (double waited = 0; waited < seconds && !ended; waited += 1.0) {
    PressKey(window);
    ended = WaitExit(run, 1.0);
  }
  return ended;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

int ExitCode(int wait_status) {
  if (WIFEXITED(wait_status)) return WEXITSTATUS(wait_status);
  if (WIFSIGNALED(wait_status)) return -1000 - WTERMSIG(wait_status);
  return -2000;
}

}  // namespace e2e
