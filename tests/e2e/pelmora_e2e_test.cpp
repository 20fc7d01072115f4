// pelmora as a person uses it: the window, the key press, the file.

#include <sys/stat.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include "iir/cascade_response.h"
#include "iir/iir_design.h"
#include "plot/frame.h"
#include "plot/response_plot.h"
#include "plot/shared_state.h"
#include "tests/e2e/harness.h"

DEFINE_SHARED_STATE();
DEFINE_IIR_DESIGN_STATE();
const LabelColumn& kProgramLabels = kPelmoraLabels;

namespace {

const char kTitle[] = "Frequency Response";
const char kBuiltInFile[] =
    "0.265783\n0.000000\n-0.265783\n-0.385449\n0.475031\n"
    "0.422319\n0.000000\n-0.422319\n-1.316578\n0.639658\n";

// The canvas that the designer draws for its built-in band-pass.
e2e::Image ExpectedCanvas() {
  ResetCoefficients();
  Pi = 3.14159f;
  OrderN = 2;
  FilType = kBandPass;
  p_Fsamp = 22050.0f;
  p_fc = 2000.0f;
  p_fc2 = 5000.0f;
  p_AC = 3.0f;
  BasicFilCal();
  PreWarp();
  FreqTrans();
  SZTrans();
  CalcFres(Gain, Theta);
  IplImage* canvas = CreateCanvas();
  DrawFres(canvas, 100, 60, Gain, Theta);
  return e2e::FromCanvas(canvas);
}

class PelmoraTest : public ::testing::Test {
 protected:
  std::string dir_ = e2e::MakeTempDir();
  std::string file_ = dir_ + "/coeff1.txt";
};

TEST_F(PelmoraTest, ShowsThePlotAndWritesTheSectionsAfterAKey) {
  // Arguments change nothing; a decimal-comma locale in the environment
  // changes nothing either.
  e2e::Run run = e2e::Start(e2e::ProgramPath("pelmora"), {"--order", "1", "x"}, dir_, {{"LC_ALL=de_DE.UTF-8"}});

  const auto window = e2e::FindWindow(kTitle, 20);
  ASSERT_TRUE(window) << "no window titled \"" << kTitle << "\"";
  EXPECT_TRUE(e2e::WaitForCanvas(*window, ExpectedCanvas(), 20)) << "the window never showed the canvas";
  EXPECT_FALSE(e2e::FileExists(file_)) << "file written before the key press";

  e2e::PressKey(*window);
  const auto status = e2e::WaitExit(run, 10);
  ASSERT_TRUE(status) << "still running after the key press";
  EXPECT_EQ(e2e::ExitCode(*status), 0);
  EXPECT_EQ(run.Stdout(), "");
  EXPECT_EQ(run.Stderr(), "");
  EXPECT_EQ(e2e::ReadFile(file_), kBuiltInFile);
}

TEST_F(PelmoraTest, AClosedWindowIsShownAgainUntilAKey) {
  e2e::Run run = e2e::Start(e2e::ProgramPath("pelmora"), {}, dir_);
  const auto window = e2e::FindWindow(kTitle, 20);
  ASSERT_TRUE(window);
  const e2e::Image canvas = ExpectedCanvas();
  ASSERT_TRUE(e2e::WaitForCanvas(*window, canvas, 20));

  e2e::CloseWindow(*window);
  const auto shown_again = e2e::FindWindow(kTitle, 20, /*other_than=*/*window);
  ASSERT_TRUE(shown_again) << "the closed window did not come back";
  EXPECT_TRUE(e2e::WaitForCanvas(*shown_again, canvas, 20));
  EXPECT_FALSE(e2e::FileExists(file_));

  e2e::PressKey(*shown_again);
  const auto status = e2e::WaitExit(run, 10);
  ASSERT_TRUE(status);
  EXPECT_EQ(e2e::ExitCode(*status), 0);
  EXPECT_EQ(e2e::ReadFile(file_), kBuiltInFile);
}

TEST_F(PelmoraTest, EndedInTheWindowLeavesTheEarlierFileAsItWas) {
  e2e::WriteFile(file_, "earlier content\n");
  e2e::Run run = e2e::Start(e2e::ProgramPath("pelmora"), {}, dir_);
  ASSERT_TRUE(e2e::FindWindow(kTitle, 20));
  e2e::Kill(run);
  EXPECT_EQ(e2e::ReadFile(file_), "earlier content\n");
}

TEST_F(PelmoraTest, UnwritableDirectoryIsReportedWithStatusOne) {
  e2e::WriteFile(file_, "earlier content\n");
  chmod(dir_.c_str(), 0555);
  e2e::Run run = e2e::Start(e2e::ProgramPath("pelmora"), {}, dir_, {{}, /*as_nobody=*/true});
  const auto window = e2e::FindWindow(kTitle, 20);
  ASSERT_TRUE(window);
  e2e::PressKey(*window);
  const auto status = e2e::WaitExit(run, 10);
  ASSERT_TRUE(status);
  EXPECT_EQ(e2e::ExitCode(*status), 1);
  EXPECT_EQ(run.Stdout(), "coeff1.txt cannot be opened.\n");
  EXPECT_EQ(e2e::ReadFile(file_), "earlier content\n");
}

TEST_F(PelmoraTest, FailedWriteKeepsTheEarlierFileWhole) {
  e2e::WriteFile(file_, "earlier content\n");
  e2e::Options limited;
  limited.file_size_limit = 40;  // bytes: room for the message, not for the ten lines
  e2e::Run run = e2e::Start(e2e::ProgramPath("pelmora"), {}, dir_, limited);
  const auto window = e2e::FindWindow(kTitle, 20);
  ASSERT_TRUE(window);
  e2e::PressKey(*window);
  const auto status = e2e::WaitExit(run, 10);
  ASSERT_TRUE(status);
  EXPECT_EQ(e2e::ExitCode(*status), 1);
  EXPECT_EQ(run.Stdout(), "coeff1.txt cannot be written.\n");
  EXPECT_EQ(e2e::ReadFile(file_), "earlier content\n");
}

TEST_F(PelmoraTest, WithoutADisplayItSaysSoAndWritesNothing) {
  e2e::WriteFile(file_, "earlier content\n");
  struct Case {
    std::vector<std::string> env;
    std::string message;
  };
  const std::string absent = ":" + std::to_string(e2e::UnusedDisplayNumber());
  for (const Case& c : {Case{{"-DISPLAY", "-WAYLAND_DISPLAY"}, "No window can be opened: no display is set.\n"},
                        Case{{"DISPLAY=" + absent},
                             "No window can be opened: display " + absent + " is not available.\n"}}) {
    e2e::Run run = e2e::Start(e2e::ProgramPath("pelmora"), {}, dir_, {c.env});
    const auto status = e2e::WaitExit(run, 20);
    ASSERT_TRUE(status);
    EXPECT_EQ(e2e::ExitCode(*status), 3) << "not a plain exit with status 3 (a signal is -1000 - n)";
    EXPECT_EQ(run.Stderr(), c.message);
    EXPECT_EQ(run.Stdout(), "");
    EXPECT_EQ(e2e::ReadFile(file_), "earlier content\n");
  }
}

}  // namespace
