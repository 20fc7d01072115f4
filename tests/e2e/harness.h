// End-to-end harness: runs a program of the suite in a private Xvfb as a
// person would, finds its window by title, reads what the window shows,
// presses a key, and keeps the exit status, standard output and error.
#pragma once

#include <fcntl.h>
#include <signal.h>

#include <chrono>
#include <memory>
#include <optional>
#include <thread>

#include "tests/support.h"

namespace e2e {

const std::string kData = TEST_DATA_DIR, kPrograms = PROGRAM_DIR "/", kEarlier = "an earlier file\n";

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

// A program started in `dir` with `args`, its standard output and error
// kept in files; `env` entries "NAME=VALUE" set a variable, "NAME" removes
// one. Ended with SIGTERM if still running at the end.
struct Run {
  pid_t pid;
  std::string out = test::MakeTempDir() + "/out", err = out + ".err";

  Run(const std::string& program, std::vector<std::string> args, const std::string& dir,
      const std::vector<std::string>& env = {}) {
    args.insert(args.begin(), program);
    pid = fork();
    if (pid != 0) return;
    dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
    dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
    dup2(open("/dev/null", O_RDONLY), 0);
    for (const std::string& e : env) e.find('=') == std::string::npos ? unsetenv(e.c_str()) : putenv(strdup(e.c_str()));
    std::vector<char*> argv(args.size() + 1, nullptr);  // ending in a null pointer
    for (size_t i = 0; i < args.size(); ++i) argv[i] = &args[i][0];
    if (chdir(dir.c_str()) == 0) execvp(argv[0], argv.data());
    _exit(127);
  }
  ~Run() { if (pid > 0 && kill(pid, SIGTERM) == 0) waitpid(pid, nullptr, 0); }
  std::string Stdout() const { return test::Read(out); }
  std::string Stderr() const { return test::Read(err); }
  // The exit status (-signal if killed) once it ends within `seconds`.
  std::optional<int> Wait(double seconds) {
    int status = 0;
    if (!PollFor(seconds, [&] { return waitpid(pid, &status, WNOHANG) == pid; })) return std::nullopt;
    pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  }
};

// Starts an Xvfb (a screen of `screen`, 1920 x 1080 at 24 bits unless
// given, and `options`) on a display number it picks, for this process and
// the programs it starts; returns the display (":N"), or "" if it did not
// start.
inline std::string UseNewXServer(std::unique_ptr<Run>& server, std::vector<std::string> options = {},
                                 const std::string& screen = "1920x1080x24") {
  options.insert(options.end(), {"-displayfd", "1", "-screen", "0", screen, "-nolisten", "tcp", "-noreset"});
  server = std::make_unique<Run>("Xvfb", options, "/");
  std::string number;
  PollFor(20, [&] { return (number = server->Stdout()).find('\n') != std::string::npos; });
  const std::string display = number.empty() ? "" : ":" + number.substr(0, number.find('\n'));
  setenv("DISPLAY", display.c_str(), 1);
  unsetenv("WAYLAND_DISPLAY");
  setenv("XDG_RUNTIME_DIR", test::MakeTempDir().c_str(), 1);  // Qt wants a private one
  return display;
}

// The visible window titled exactly `title` (other than `other_than`),
// waited for up to `seconds`; "" if none.
inline std::string FindWindow(const std::string& title, double seconds, const std::string& other_than = "") {
  std::string found;
  PollFor(seconds, [&] {
    // The search is a case-insensitive pattern: compare the title exactly.
    std::istringstream ids(test::Capture("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null"));
    for (std::string id; found.empty() && ids >> id;)
      if (id != other_than && test::Capture("xdotool getwindowname " + id) == title + "\n") found = id;
    return !found.empty();
  });
  return found;
}

// Where the window shows `picture` pixel for pixel (its top-left corner in
// the window), waited for up to `seconds`; (-1, -1) if it does not.
inline std::pair<int, int> WhereShown(const std::string& window, const test::Image& picture, double seconds = 20) {
  std::pair<int, int> at;
  PollFor(seconds, [&] {
    at = test::Find(test::ParsePpm(test::Capture("xwd -silent -id " + window + " | xwdtopnm 2>/dev/null")), picture);
    return at.first >= 0;
  });
  return at;
}

// Waits up to 20 s until the window shows `picture` pixel for pixel.
inline bool Shows(const std::string& id, const test::Image& picture) { return WhereShown(id, picture).first >= 0; }

// Presses and releases the space bar in the window. Once the program has ended on a
// press, xdotool fails on the window (BadWindow) before the release, and the
// key would stay down and repeat into the next window: it is released again
// without a window.
inline void PressKey(const std::string& window) {
  test::Capture("xdotool key --window " + window + " space 2>&1; xdotool keyup space 2>&1");
}

// Processor time (user and system, all threads) that a process has used,
// in clock ticks.
inline int CpuTicks(pid_t pid) {
  return std::atoi(test::Capture("awk '{print $14 + $15}' /proc/" + std::to_string(pid) + "/stat").c_str());
}

}  // namespace e2e
