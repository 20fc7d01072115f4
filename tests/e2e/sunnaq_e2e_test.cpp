// sunnaq as a person uses it: on the file tavrine writes, on other files,
// and with the arguments and files a user gets wrong.

#include <sys/stat.h>

#include <string>

#include <gtest/gtest.h>

#include "fir/tap_file.h"
#include "fir/taps.h"
#include "plot/frame.h"
#include "plot/response_plot.h"
#include "plot/shared_state.h"
#include "tests/e2e/program_test.h"

DEFINE_SHARED_STATE();
DEFINE_TAP_STATE();
const LabelColumn& kProgramLabels = kSunnaqLabels;

namespace {

const char kTitle[] = "Frequency Response";

// The canvas that the viewer draws for a file.
e2e::Image ExpectedCanvas(const std::string& file) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  TxtLoad(file.c_str(), hh);
  testing::internal::GetCapturedStdout();
  testing::internal::GetCapturedStderr();
  CalcFres(Gain, Theta);
  IplImage* canvas = CreateCanvas();
  DrawFres(canvas, 100, 60, Gain, Theta);
  return e2e::FromCanvas(canvas);
}

class SunnaqTest : public e2e::ProgramTest {
 protected:
  e2e::Process Show(const std::vector<std::string>& args, const std::string& file) {
    return ShowAndClose("sunnaq", kTitle, args, ExpectedCanvas(file));
  }
  e2e::Process Fail(const std::vector<std::string>& args, int status, const e2e::Options& options = {}) {
    return RunToFailure("sunnaq", kTitle, args, status, options);
  }
};

TEST_F(SunnaqTest, PlotsTheFileThatTavrineWrites) {
  e2e::Process designer = e2e::Start(e2e::ProgramPath("tavrine"), {}, dir_);
  const auto designer_window = e2e::FindWindow(kTitle, 20);
  ASSERT_TRUE(designer_window);
  const auto designer_end = e2e::PressKeyUntilExit(*designer_window, designer, 10);
  ASSERT_TRUE(designer_end);
  EXPECT_EQ(e2e::ExitCode(*designer_end), 0);
  const std::string written = e2e::ReadFile(file_);
  ASSERT_EQ(written, e2e::ReadFile(TEST_DATA_DIR "/tavrine_coeff1.txt"));

  file_before_key_ = written;
  e2e::Process run = Show({"coeff1.txt", "ignored.txt"}, file_);
  EXPECT_EQ(run.Stdout(), "TapN = 140\n");
  EXPECT_EQ(run.Stderr(), "");
  EXPECT_EQ(e2e::ReadFile(file_), written);
}

TEST_F(SunnaqTest, ABiquadFileIsTakenAsTaps) {
  e2e::WriteFile(file_,
                 "0.265783\n0.000000\n-0.265783\n-0.385449\n0.475031\n"
                 "0.422319\n0.000000\n-0.422319\n-1.316578\n0.639658\n");
  file_before_key_ = e2e::ReadFile(file_);
  EXPECT_EQ(Show({"coeff1.txt"}, file_).Stdout(), "TapN = 10\n");
}

TEST_F(SunnaqTest, MoreTapsThanTheArrayHoldsAreLeftOutWithANote) {
  std::string content;
  for (int i = 0; i < 1000; ++i) content += (i == 0 ? "1\n" : "0.001\n");
  e2e::WriteFile(dir_ + "/long.txt", content);
  e2e::Process run = Show({"long.txt"}, dir_ + "/long.txt");
  EXPECT_EQ(run.Stdout(), "TapN = 400\n");
  EXPECT_EQ(run.Stderr(), "long.txt: more than 400 taps; only the first 400 are used.\n");
}

TEST_F(SunnaqTest, HostileContentIsPlottedAsDefined) {
  // NUL bytes, binary, nan, inf, negative zero, an overlong line and two
  // million lines: the first 400 pieces are taps, and the rest is not read.
  std::string content = "nan\n-inf\n1e999\n-0\n\xff\xfe\x01\n";
  content += std::string("0.5\0garbage\n", 13) + std::string(100, '9') + "\n";
  for (int i = 0; i < 2000000; ++i) content += "0.001\n";
  e2e::WriteFile(dir_ + "/hostile.txt", content);
  e2e::Process run = Show({"hostile.txt"}, dir_ + "/hostile.txt");
  EXPECT_EQ(run.Stdout(), "TapN = 400\n");
  EXPECT_EQ(run.Stderr(), "hostile.txt: more than 400 taps; only the first 400 are used.\n");
}

TEST_F(SunnaqTest, EmptyFileAndNamesOfAnyLength) {
  const std::string a(130, 'a'), b(130, 'b');
  const std::string name = a + "/" + b + "/empty file.txt";
  mkdir((dir_ + "/" + a).c_str(), 0755);
  mkdir((dir_ + "/" + a + "/" + b).c_str(), 0755);
  e2e::WriteFile(dir_ + "/" + name, "");
  // No taps: minus infinity dB on the bottom frame, no phase (drawn at 0).
  EXPECT_EQ(Show({name}, dir_ + "/" + name).Stdout(), "TapN = 0\n");
}

TEST_F(SunnaqTest, ArgumentsAndFilesAUserGetsWrong) {
  e2e::Process none = Fail({}, 255);
  EXPECT_EQ(none.Stderr(), "1st arg must be input file name.\n");
  EXPECT_EQ(none.Stdout(), "");
  EXPECT_EQ(Fail({"no such file.txt"}, 1).Stdout(), "no such file.txt cannot be opened.\n");
  EXPECT_EQ(Fail({""}, 1).Stdout(), " cannot be opened.\n");
  mkdir((dir_ + "/a directory").c_str(), 0755);
  EXPECT_EQ(Fail({"a directory"}, 1).Stdout(), "a directory cannot be read.\n");
}

TEST_F(SunnaqTest, WithoutADisplayItSaysSo) {
  e2e::WriteFile(file_, "1\n");
  e2e::Process run = Fail({"coeff1.txt"}, 3, {{"DISPLAY=:" + std::to_string(e2e::UnusedDisplayNumber())}});
  EXPECT_EQ(run.Stdout(), "TapN = 1\n");
  EXPECT_EQ(run.Stderr().rfind("No window can be opened: display :", 0), 0u) << run.Stderr();
}

}  // namespace
