// tavrine as a person uses it: the window, the key press, the tap file,
// and the faults a user meets.

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "fir/fir_design.h"
#include "plot/frame.h"
#include "plot/response_plot.h"
#include "plot/shared_state.h"
#include "tests/e2e/program_test.h"
#include "tests/unit/fir_test_support.h"

DEFINE_SHARED_STATE();
DEFINE_FIR_DESIGN_STATE();
const LabelColumn& kProgramLabels = kTavrineLabels;

namespace {

const char kTitle[] = "Frequency Response";

// The canvas that the designer draws for its built-in band-pass.
e2e::Image ExpectedCanvas() {
  DesignBuiltIn();
  CalcFres(Gain, Theta);
  IplImage* canvas = CreateCanvas();
  DrawFres(canvas, 100, 60, Gain, Theta);
  return e2e::FromCanvas(canvas);
}

using TavrineTest = e2e::ProgramTest;

TEST_F(TavrineTest, ShowsThePlotAndWritesTheTapsAfterAKey) {
  // Arguments change nothing; a decimal-comma locale changes nothing either.
  e2e::Process run = ShowAndClose("tavrine", kTitle, {"--taps", "31"}, ExpectedCanvas(), 0, {{"LC_ALL=de_DE.UTF-8"}});
  EXPECT_EQ(run.Stdout(), "");
  EXPECT_EQ(run.Stderr(), "");
  // 139 designed taps and a final zero tap, centred on line 70 (0.545000).
  EXPECT_EQ(e2e::ReadFile(file_), e2e::ReadFile(TEST_DATA_DIR "/tavrine_coeff1.txt"));
}

TEST_F(TavrineTest, EndedInTheWindowLeavesTheEarlierFileAsItWas) {
  PlaceEarlierFile();
  e2e::Process run = e2e::Start(e2e::ProgramPath("tavrine"), {}, dir_);
  ASSERT_TRUE(e2e::FindWindow(kTitle, 20));
  e2e::Kill(run);
  EXPECT_EQ(e2e::ReadFile(file_), file_before_key_);
}

TEST_F(TavrineTest, UnwritableOrFullPlacesKeepTheEarlierFile) {
  PlaceEarlierFile();
  e2e::Options limited;
  limited.file_size_limit = 40;  // bytes: room for the message, not for 140 lines
  e2e::Process full = ShowAndClose("tavrine", kTitle, {}, ExpectedCanvas(), 1, limited);
  EXPECT_EQ(full.Stdout(), "coeff1.txt cannot be written.\n");
  EXPECT_EQ(e2e::ReadFile(file_), file_before_key_);

  chmod(dir_.c_str(), 0555);
  e2e::Options as_nobody;
  as_nobody.as_nobody = true;
  e2e::Process unwritable = ShowAndClose("tavrine", kTitle, {}, ExpectedCanvas(), 1, as_nobody);
  EXPECT_EQ(unwritable.Stdout(), "coeff1.txt cannot be opened.\n");
  EXPECT_EQ(e2e::ReadFile(file_), file_before_key_);
}

TEST_F(TavrineTest, WithoutADisplayItSaysSoAndWritesNothing) {
  PlaceEarlierFile();
  e2e::Process run = RunToFailure("tavrine", kTitle, {}, 3, {{"-DISPLAY", "-WAYLAND_DISPLAY"}});
  EXPECT_EQ(run.Stderr(), "No window can be opened: no display is set.\n");
  EXPECT_EQ(run.Stdout(), "");
  EXPECT_EQ(e2e::ReadFile(file_), file_before_key_);
}

}  // namespace
