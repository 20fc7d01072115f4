// The live tuners as a person uses them, in a real window under a private
// Xvfb: trackbars moved by clicks and keys, clicks in the plot, changes
// held at a limit, then a save whose file and printed configure options
// are checked against the designers; or an ending that writes nothing.

#include "core/filter_type.h"
#include "core/state.h"
#include "fir/tap_file.h"
#include "fir/taps.h"
#include "fir/tavrine_design.h"
#include "tests/e2e/harness.h"

namespace {

using e2e::kData, e2e::kPrograms, e2e::kEarlier;

// A tuner's window, opened on `start` (a reviewed picture of its plot) in
// a directory of its own with an earlier coeff1.txt.
struct Tuner {
  std::string dir = test::MakeTempDir(), window;
  std::unique_ptr<e2e::Run> run;
  std::pair<int, int> canvas;  // the plot's top-left corner in the window

  Tuner(const std::string& program, const std::string& start) {
    test::Write(dir + "/coeff1.txt", kEarlier);
    run = std::make_unique<e2e::Run>(kPrograms + program, std::vector<std::string>{}, dir);
    window = e2e::FindWindow(program, 20);
    canvas = e2e::WhereShown(window, test::ReadPng(kData + "/" + start + ".png"));
  }
  void Xdotool(const std::string& args) { test::Capture("xdotool " + args + " 2>&1"); }
  // A click at (dx, dy) from the plot's top-left corner.
  void Click(int dx, int dy) {
    Xdotool("mousemove --window " + window + " " + std::to_string(canvas.first + dx) + " " +
            std::to_string(canvas.second + dy) + " click 1");
  }
  void Keys(const std::string& keys, int times = 1) { e2e::PressKeys(window, keys, times); }
  // The trackbars lie below the plot, one every 25 pixels from 12 pixels
  // under it, each reaching to the window's right edge: a click near that
  // edge gives the trackbar the focus, and the keys move it.
  void Slide(int row, const std::string& keys) {
    const std::string width = test::Capture("xdotool getwindowgeometry --shell " + window + " | sed -n 's/WIDTH=//p'");
    Click(std::atoi(width.c_str()) - 15 - canvas.first, 372 + 25 * row);
    Keys(keys);
  }
};

// Each test in a private Xvfb of its own.
struct Tuners : testing::Test {
  std::unique_ptr<e2e::Run> server;
  void SetUp() override { ASSERT_NE(e2e::UseNewXServer(server), ""); }
};

// pelmora-tune from the built-in band-pass to the configured designs'
// band-reject (tests/CMakeLists.txt): type to band-reject (End); the lower
// corner asked for 11025 Hz is held at 4889 Hz by the upper corner, and a
// click at 2000 Hz (72 pixels in) brings it back; the attenuation asked
// for 0 dB is held at 0.1 dB, and 29 steps make it 3 dB. Enter saves: the
// printed line is the one the configured designer was built from, which
// writes the same file and shows the same plot.
TEST_F(Tuners, PelmoraTunedSavesWhatTheConfiguredDesignerWrites) {
  Tuner tuner("pelmora-tune", "pelmora");
  ASSERT_GE(tuner.canvas.first, 0) << "not the designer's plot at start: " << tuner.run->Stderr();
  tuner.Slide(0, "End");
  tuner.Slide(2, "End");
  tuner.Click(100 + 72, 150);
  tuner.Slide(4, "Home");
  tuner.Keys("Right", 29);
  EXPECT_TRUE(e2e::Shows(tuner.window, test::ReadPng(kData + "/configured_pelmora.png")));
  tuner.Keys("Return");
  EXPECT_EQ(tuner.run->Wait(10), 0);
  EXPECT_EQ(tuner.run->Stdout() + "|" + tuner.run->Stderr(), TUNED_PELMORA "\n|");

  const std::string dir = test::MakeTempDir();
  e2e::Run designer(CONFIGURED_DIR "/pelmora", {}, dir);
  e2e::PressKey(e2e::FindWindow("Frequency Response", 20));
  EXPECT_EQ(designer.Wait(10), 0);
  EXPECT_EQ(test::Read(tuner.dir + "/coeff1.txt"), test::Read(dir + "/coeff1.txt"));
}

// tavrine-tune: a click at 3000 Hz (108 pixels in) moves the lower edge
// there; edge 2 asked for 11025 Hz is held at 11024 Hz, and 24 steps down
// make it 11000 Hz. 's' saves: the file is what the chain makes of the
// design of the printed options, and the plot is the reviewed one of it.
TEST_F(Tuners, TavrineTunedSavesItsDesign) {
  Tuner tuner("tavrine-tune", "tavrine");
  ASSERT_GE(tuner.canvas.first, 0) << "not the designer's plot at start: " << tuner.run->Stderr();
  tuner.Click(100 + 108, 200);
  tuner.Slide(5, "End");
  tuner.Keys("Left", 24);
  EXPECT_TRUE(e2e::Shows(tuner.window, test::ReadPng(kData + "/tavrine_tuned.png")));
  tuner.Keys("s");
  EXPECT_EQ(tuner.run->Wait(10), 0);
  EXPECT_EQ(tuner.run->Stdout(),
            "-DTAVRINE_TYPE=band-pass -DTAVRINE_TAPS=140 -DTAVRINE_ALPHA=7 -DTAVRINE_BINS=400 -DTAVRINE_LPF_FC1=3000 "
            "-DTAVRINE_HPF_FC1=3000 -DTAVRINE_BPF_FC1=3000 -DTAVRINE_BPF_FC2=11000 -DTAVRINE_BRF_FC1=3000 "
            "-DTAVRINE_BRF_FC2=7000 -DTAVRINE_FSAMP=22050\n");
  MakeTavrineDesign({kBandPass, 140, 7.0f, 400, 22050.0f, 3000.0f, 3000.0f, 3000.0f, 11000.0f, 3000.0f, 7000.0f});
  const std::string expected = test::MakeTempDir() + "/coeff1.txt";
  TxtSave(expected.c_str(), hh);
  EXPECT_EQ(test::Read(tuner.dir + "/coeff1.txt"), test::Read(expected));
}

// Esc or 'q' after a change, or closing the window, ends a tuner with
// status 0 and nothing written; a save that cannot replace coeff1.txt (a
// directory of that name) ends with the designers' message and status 1.
TEST_F(Tuners, EndWithoutWritingUnlessSaved) {
  for (const auto& [program, start, ending, status, printed] :
       std::vector<std::tuple<std::string, std::string, std::string, int, std::string>>{
           {"pelmora-tune", "pelmora", "Escape", 0, ""}, {"tavrine-tune", "tavrine", "q", 0, ""},
           {"pelmora-tune", "pelmora", "close", 0, ""},
           {"tavrine-tune", "tavrine", "Return", 1, "coeff1.txt cannot be opened.\n"}}) {
    SCOPED_TRACE(program + " " + ending);
    Tuner tuner(program, start);
    if (status == 1) test::Capture("cd '" + tuner.dir + "' && rm coeff1.txt && mkdir coeff1.txt");
    tuner.Click(100 + 200, 100);
    ending == "close" ? (void)test::Capture(CLOSE_WINDOW " " + tuner.window) : tuner.Keys(ending);
    EXPECT_EQ(tuner.run->Wait(10), status);
    EXPECT_EQ(tuner.run->Stdout(), printed);
    EXPECT_EQ(test::Read(tuner.dir + "/coeff1.txt"), status ? "" : kEarlier);
    EXPECT_EQ(test::Capture("ls -AF '" + tuner.dir + "'"), status ? "coeff1.txt/\n" : "coeff1.txt\n");
  }
}

}  // namespace
