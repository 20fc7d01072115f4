// End-to-end harness: runs a program of the suite in a private Xvfb as a
// person would, finds its window by title, reads what the window shows,
// presses a key, and keeps the exit status, standard output and error.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support.h"

namespace e2e {

// Polls `done` every 20 ms until it holds or `seconds` have passed.
template <typename F>
bool PollFor(double seconds, F done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// An Xvfb of its own (1920 x 1080, 24 bits) on a display number it picks.
class XServer {
 public:
  // The display (":N"), or "" if the server did not start.
  std::string Start() {
    int fds[2];
    if (pipe(fds) != 0) return "";
    pid_ = fork();
    if (pid_ == 0) {
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, 1);
      dup2(null, 2);
      const std::string fd = std::to_string(fds[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1920x1080x24", "-nolisten", "tcp",
             "-noreset", nullptr);
      _exit(127);
    }
    close(fds[1]);
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    for (char c; poll(&p, 1, 20000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n';) number += c;
    close(fds[0]);
    return number.empty() ? "" : ":" + number;
  }
  void Stop() {
    if (pid_ > 0) kill(pid_, SIGTERM), waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  ~XServer() { Stop(); }

 private:
  pid_t pid_ = -1;
};

// A program started in a directory, its standard output and error kept in
// files beside the directory. Killed if still running at the end.
struct Run {
  pid_t pid = -1;
  std::string dir, out = test::MakeTempDir() + "/out", err = out + ".err";
  std::string Stdout() const { return test::Read(out); }
  std::string Stderr() const { return test::Read(err); }
  // The exit status (-signal if killed) once it ends within `seconds`.
  std::optional<int> Wait(double seconds) {
    int status = 0;
    if (pid > 0 && !PollFor(seconds, [&] { return waitpid(pid, &status, WNOHANG) == pid; })) return std::nullopt;
    pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  }
  ~Run() {
    if (pid > 0) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
  }
};

// Starts `program` (a path) with `args` in `dir`; `env` entries "NAME=VALUE"
// set a variable, "-NAME" removes one.
inline void Start(Run& run, const std::string& program, const std::vector<std::string>& args,
                  const std::string& dir, const std::vector<std::string>& env = {}) {
  run.dir = dir;
  run.pid = fork();
  if (run.pid != 0) return;
  dup2(open(run.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
  dup2(open(run.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
  dup2(open("/dev/null", O_RDONLY), 0);
  for (const std::string& e : env) {
    e[0] == '-' ? unsetenv(e.c_str() + 1) : putenv(strdup(e.c_str()));
  }
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  if (chdir(dir.c_str()) == 0) execv(program.c_str(), argv.data());
  _exit(127);
}

// The visible window titled exactly `title` (other than `other_than`),
// waited for up to `seconds`; "" if none.
inline std::string FindWindow(const std::string& title, double seconds, const std::string& other_than = "") {
  std::string found;
  PollFor(seconds, [&] {
    // The search is a case-insensitive pattern: compare the title exactly.
    std::istringstream ids(test::Capture("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null"));
    for (std::string id; ids >> id;) {
      if (id != other_than && test::Capture("xdotool getwindowname " + id + " 2>/dev/null") == title + "\n") {
        found = id;
      }
    }
    return !found.empty();
  });
  return found;
}

// Waits up to `seconds` until the window shows `picture` pixel for pixel.
inline bool Shows(const std::string& window, const test::Image& picture, double seconds = 20) {
  return PollFor(seconds, [&] {
    return test::Contains(test::ParsePpm(test::Capture("xwd -silent -id " + window + " | xwdtopnm 2>/dev/null")),
                          picture);
  });
}

// Presses and releases a key in the window. xdotool may report BadWindow
// for the release once the program has ended on the press.
inline void PressKey(const std::string& window) { test::Capture("xdotool key --window " + window + " space 2>&1"); }

// Processor time (user and system, all threads) that a process has used.
inline double CpuSeconds(pid_t pid) {
  std::string stat = test::Read("/proc/" + std::to_string(pid) + "/stat");
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));
  std::string skip;
  unsigned long user = 0, system = 0;
  for (int i = 3; i < 14; ++i) fields >> skip;
  fields >> user >> system;
  return double(user + system) / double(sysconf(_SC_CLK_TCK));
}

}  // namespace e2e
