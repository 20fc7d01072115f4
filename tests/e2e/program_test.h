// The steps that the end-to-end tests of every program share.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/harness.h"

namespace e2e {

class ProgramTest : public ::testing::Test {
 protected:
  std::string dir_ = MakeTempDir();
  std::string file_ = dir_ + "/coeff1.txt";

  // Runs `program` to its window titled `title`, checks that the window
  // shows `canvas` pixel for pixel, presses a key, and expects the program
  // to end with `status`. Returns the finished run.
  Process ShowAndClose(const std::string& program, const std::string& title, const std::vector<std::string>& args,
                   const Image& canvas, int status = 0, const Options& options = {}) {
    Process run = Start(ProgramPath(program), args, dir_, options);
    const auto window = FindWindow(title, 20);
    EXPECT_TRUE(window) << "no window titled \"" << title << "\"";
    if (!window) {
      Kill(run);
      return run;
    }
    EXPECT_TRUE(WaitForCanvas(*window, canvas, 20)) << "the window never showed the canvas";
    EXPECT_EQ(FileExists(file_) ? ReadFile(file_) : "", file_before_key_) << "coeff1.txt changed before the key press";
    PressKey(*window);
    const auto ended = WaitExit(run, 10);
    EXPECT_TRUE(ended) << "still running after the key press";
    if (ended) {
      EXPECT_EQ(ExitCode(*ended), status);
    } else {
      Kill(run);
    }
    return run;
  }

  // Runs `program` where it must end before any window, with `status`.
  Process RunToFailure(const std::string& program, const std::string& title, const std::vector<std::string>& args,
                   int status, const Options& options = {}) {
    Process run = Start(ProgramPath(program), args, dir_, options);
    const auto ended = WaitExit(run, 20);
    EXPECT_TRUE(ended) << "still running";
    if (ended) {
      EXPECT_EQ(ExitCode(*ended), status) << "a signal shows as -1000 - n";
    } else {
      Kill(run);
    }
    EXPECT_FALSE(FindWindow(title, 0)) << "a window was opened";
    return run;
  }

  // Puts an earlier "coeff1.txt" in place, which a designer must leave
  // whole unless it writes a complete new one.
  void PlaceEarlierFile() {
    file_before_key_ = "earlier content\n";
    WriteFile(file_, file_before_key_);
  }
  std::string file_before_key_;
};

}  // namespace e2e
