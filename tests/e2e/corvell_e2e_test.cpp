// corvell as a person uses it: on the file pelmora writes, on other files,
// and with the arguments a user gets wrong.

#include <sys/stat.h>

#include <string>

#include <gtest/gtest.h>

#include "iir/cascade_response.h"
#include "iir/coeff_file.h"
#include "iir/iir_viewer.h"
#include "plot/frame.h"
#include "plot/response_plot.h"
#include "plot/shared_state.h"
#include "tests/e2e/harness.h"

DEFINE_SHARED_STATE();
DEFINE_IIR_VIEWER_STATE();
const LabelColumn& kProgramLabels = kCorvellLabels;

namespace {

const char kTitle[] = "Freqency Response";

// The canvas that the viewer draws for a file.
e2e::Image ExpectedCanvas(const std::string& file) {
  testing::internal::CaptureStdout();
  TxtLoad(file.c_str());
  testing::internal::GetCapturedStdout();
  CalcFres(Gain, Theta);
  IplImage* canvas = CreateCanvas();
  DrawFres(canvas, 100, 60, Gain, Theta);
  return e2e::FromCanvas(canvas);
}

class CorvellTest : public ::testing::Test {
 protected:
  std::string dir_ = e2e::MakeTempDir();

  // Runs the viewer on `args` to its window, checks the window shows the
  // canvas for `file`, presses a key and returns the finished run.
  e2e::Run ShowAndClose(const std::vector<std::string>& args, const std::string& file) {
    e2e::Run run = e2e::Start(e2e::ProgramPath("corvell"), args, dir_);
    const auto window = e2e::FindWindow(kTitle, 20);
    EXPECT_TRUE(window) << "no window titled \"" << kTitle << "\"";
    if (!window) {
      e2e::Kill(run);
      return run;
    }
    EXPECT_TRUE(e2e::WaitForCanvas(*window, ExpectedCanvas(file), 20)) << "the window never showed the canvas";
    e2e::PressKey(*window);
    const auto status = e2e::WaitExit(run, 10);
    EXPECT_TRUE(status) << "still running after the key press";
    if (status) {
      EXPECT_EQ(e2e::ExitCode(*status), 0);
    } else {
      e2e::Kill(run);
    }
    return run;
  }

  // Runs the viewer where it must fail before any window.
  e2e::Run RunToFailure(const std::vector<std::string>& args, int expected_status) {
    e2e::Run run = e2e::Start(e2e::ProgramPath("corvell"), args, dir_);
    const auto status = e2e::WaitExit(run, 10);
    EXPECT_TRUE(status);
    if (status) {
      EXPECT_EQ(e2e::ExitCode(*status), expected_status);
    }
    EXPECT_FALSE(e2e::FindWindow(kTitle, 0)) << "a window was opened";
    return run;
  }
};

TEST_F(CorvellTest, PlotsTheFileThatPelmoraWrites) {
  e2e::Run designer = e2e::Start(e2e::ProgramPath("pelmora"), {}, dir_);
  const auto designer_window = e2e::FindWindow("Frequency Response", 20);
  ASSERT_TRUE(designer_window);
  e2e::PressKey(*designer_window);
  ASSERT_TRUE(e2e::WaitExit(designer, 10));
  const std::string file = dir_ + "/coeff1.txt";
  const std::string written = e2e::ReadFile(file);
  ASSERT_FALSE(written.empty());

  // A second argument is ignored.
  e2e::Run run = ShowAndClose({"coeff1.txt", "ignored.txt"}, file);
  EXPECT_EQ(run.Stdout(), "BiquadN = 2\n");
  EXPECT_EQ(run.Stderr(), "");
  EXPECT_EQ(e2e::ReadFile(file), written) << "the viewer changed its input";
}

TEST_F(CorvellTest, NamesOfAnyLengthWork) {
  // A relative name of more than 256 characters, through two directories.
  const std::string a(120, 'a'), b(120, 'b');
  const std::string name = a + "/" + b + "/three sections %d.txt";
  mkdir((dir_ + "/" + a).c_str(), 0755);
  mkdir((dir_ + "/" + a + "/" + b).c_str(), 0755);
  std::string content;
  for (int i = 0; i < 3; ++i) content += "0.422319\n0.000000\n-0.422319\n-1.316578\n0.639658\n";
  e2e::WriteFile(dir_ + "/" + name, content);
  ASSERT_GT(name.size(), 256u);

  e2e::Run run = ShowAndClose({name}, dir_ + "/" + name);
  EXPECT_EQ(run.Stdout(), "BiquadN = 3\n");
}

TEST_F(CorvellTest, WithoutAnArgumentSaysSoOnStandardError) {
  e2e::Run run = RunToFailure({}, 255);
  EXPECT_EQ(run.Stderr(), "1st arg must be input file name.\n");
  EXPECT_EQ(run.Stdout(), "");
}

TEST_F(CorvellTest, MissingOrEmptyNameCannotBeOpened) {
  e2e::Run missing = RunToFailure({"no such file.txt"}, 1);
  EXPECT_EQ(missing.Stdout(), "no such file.txt cannot be opened.\n");
  EXPECT_EQ(missing.Stderr(), "");

  e2e::Run empty = RunToFailure({""}, 1);
  EXPECT_EQ(empty.Stdout(), " cannot be opened.\n");
}

TEST_F(CorvellTest, NamesArePrintedAsGiven) {
  const std::string name = "n\xc3\xb6 such %s %d file.txt";
  e2e::Run run = RunToFailure({name}, 1);
  EXPECT_EQ(run.Stdout(), name + " cannot be opened.\n");
}

TEST_F(CorvellTest, ADirectoryCannotBeRead) {
  mkdir((dir_ + "/a directory").c_str(), 0755);
  e2e::Run run = RunToFailure({"a directory"}, 1);
  EXPECT_EQ(run.Stdout(), "a directory cannot be read.\n");
}

TEST_F(CorvellTest, HostileContentIsPlottedAsDefined) {
  // NUL bytes, binary, nan, inf, negative zero, overlong lines and two
  // million lines: only the first 40 reads count.
  std::string content = "nan\n-inf\n1e999\n-0\n\xff\xfe\x01\n";
  content += std::string("0.5\0garbage\n", 13) + std::string(100, '9') + "\n";
  for (int i = 0; i < 2000000; ++i) content += "1\n";
  e2e::WriteFile(dir_ + "/hostile.txt", content);
  e2e::Run run = ShowAndClose({"hostile.txt"}, dir_ + "/hostile.txt");
  EXPECT_EQ(run.Stdout(), "BiquadN = 8\n");
  EXPECT_EQ(run.Stderr(), "");
}

TEST_F(CorvellTest, WithoutADisplayItSaysSo) {
  e2e::WriteFile(dir_ + "/coeff1.txt", "1\n0\n0\n0\n0\n");
  e2e::Run run = e2e::Start(e2e::ProgramPath("corvell"), {"coeff1.txt"}, dir_, {{"-DISPLAY", "-WAYLAND_DISPLAY"}});
  const auto status = e2e::WaitExit(run, 20);
  ASSERT_TRUE(status);
  EXPECT_EQ(e2e::ExitCode(*status), 3);
  EXPECT_EQ(run.Stdout(), "BiquadN = 1\n");
  EXPECT_EQ(run.Stderr(), "No window can be opened: no display is set.\n");
}

}  // namespace
