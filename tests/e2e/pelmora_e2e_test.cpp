// pelmora as a person uses it: the window, the key press, the file, and
// the faults a user meets.

#include <sys/stat.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "iir/cascade_response.h"
#include "iir/iir_design.h"
#include "plot/frame.h"
#include "plot/response_plot.h"
#include "plot/shared_state.h"
#include "tests/e2e/program_test.h"
#include "tests/unit/iir_test_support.h"

DEFINE_SHARED_STATE();
DEFINE_IIR_DESIGN_STATE();
const LabelColumn& kProgramLabels = kPelmoraLabels;

namespace {

const char kTitle[] = "Frequency Response";

// The canvas that the designer draws for its built-in band-pass.
e2e::Image ExpectedCanvas() {
  DesignIir();
  CalcFres(Gain, Theta);
  IplImage* canvas = CreateCanvas();
  DrawFres(canvas, 100, 60, Gain, Theta);
  return e2e::FromCanvas(canvas);
}

using PelmoraTest = e2e::ProgramTest;

TEST_F(PelmoraTest, ShowsThePlotAndWritesTheSectionsAfterAKey) {
  // Arguments change nothing; a decimal-comma locale changes nothing either.
  e2e::Process run = ShowAndClose("pelmora", kTitle, {"--order", "1", "x"}, ExpectedCanvas(), 0,
                              {{"LC_ALL=de_DE.UTF-8"}});
  EXPECT_EQ(run.Stdout(), "");
  EXPECT_EQ(run.Stderr(), "");
  EXPECT_EQ(e2e::ReadFile(file_), kBuiltInCoeffFile);
}

TEST_F(PelmoraTest, AClosedWindowIsShownAgainUntilAKey) {
  e2e::Process run = e2e::Start(e2e::ProgramPath("pelmora"), {}, dir_);
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
  EXPECT_EQ(e2e::ReadFile(file_), kBuiltInCoeffFile);
}

TEST_F(PelmoraTest, EndedInTheWindowLeavesTheEarlierFileAsItWas) {
  PlaceEarlierFile();
  e2e::Process run = e2e::Start(e2e::ProgramPath("pelmora"), {}, dir_);
  ASSERT_TRUE(e2e::FindWindow(kTitle, 20));
  e2e::Kill(run);
  EXPECT_EQ(e2e::ReadFile(file_), file_before_key_);
}

TEST_F(PelmoraTest, UnwritableDirectoryIsReportedWithStatusOne) {
  PlaceEarlierFile();
  chmod(dir_.c_str(), 0555);
  e2e::Options as_nobody;
  as_nobody.as_nobody = true;
  e2e::Process run = ShowAndClose("pelmora", kTitle, {}, ExpectedCanvas(), 1, as_nobody);
  EXPECT_EQ(run.Stdout(), "coeff1.txt cannot be opened.\n");
  EXPECT_EQ(e2e::ReadFile(file_), file_before_key_);
}

TEST_F(PelmoraTest, AWritableFileInAClosedDirectoryIsWrittenInPlace) {
  PlaceEarlierFile();
  chmod(file_.c_str(), 0666);
  chmod(dir_.c_str(), 0555);
  e2e::Options as_nobody;
  as_nobody.as_nobody = true;
  e2e::Process run = ShowAndClose("pelmora", kTitle, {}, ExpectedCanvas(), 0, as_nobody);
  EXPECT_EQ(run.Stdout(), "");
  EXPECT_EQ(e2e::ReadFile(file_), kBuiltInCoeffFile);
}

TEST_F(PelmoraTest, FailedWriteKeepsTheEarlierFileWhole) {
  PlaceEarlierFile();
  e2e::Options limited;
  limited.file_size_limit = 40;  // bytes: room for the message, not for the ten lines
  e2e::Process run = ShowAndClose("pelmora", kTitle, {}, ExpectedCanvas(), 1, limited);
  EXPECT_EQ(run.Stdout(), "coeff1.txt cannot be written.\n");
  EXPECT_EQ(e2e::ReadFile(file_), file_before_key_);
}

TEST_F(PelmoraTest, WithoutADisplayItSaysSoAndWritesNothing) {
  PlaceEarlierFile();
  const std::string absent = ":" + std::to_string(e2e::UnusedDisplayNumber());
  e2e::Process unset = RunToFailure("pelmora", kTitle, {}, 3, {{"-DISPLAY", "-WAYLAND_DISPLAY"}});
  EXPECT_EQ(unset.Stderr(), "No window can be opened: no display is set.\n");
  EXPECT_EQ(unset.Stdout(), "");
  e2e::Process refused = RunToFailure("pelmora", kTitle, {}, 3, {{"DISPLAY=" + absent}});
  EXPECT_EQ(refused.Stderr(), "No window can be opened: display " + absent + " is not available.\n");
  EXPECT_EQ(e2e::ReadFile(file_), file_before_key_);
}

TEST_F(PelmoraTest, LosingTheDisplayInTheWindowEndsWithOneLineAndNoFile) {
  PlaceEarlierFile();
  e2e::Process run = e2e::Start(e2e::ProgramPath("pelmora"), {}, dir_);
  ASSERT_TRUE(e2e::FindWindow(kTitle, 20));
  const std::string display = getenv("DISPLAY");
  e2e::StopXServer();
  const auto status = e2e::WaitExit(run, 20);
  ASSERT_TRUE(status);
  EXPECT_EQ(e2e::ExitCode(*status), 3);
  // The window system's own words may come first; the last line is ours.
  const std::string line = "The window was lost: display " + display + " is no longer available.\n";
  const std::string said = run.Stderr();
  EXPECT_EQ(said.substr(said.size() - std::min(said.size(), line.size())), line) << said;
  EXPECT_EQ(e2e::ReadFile(file_), file_before_key_);
}

}  // namespace
