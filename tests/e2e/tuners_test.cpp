// The live tuners as a person uses them, in a real window under a private
// Xvfb of 1024 x 600 with real input (xdotool): a design typed into the
// form, saved and the window quit, whose printed configure line builds a
// designer that writes the same file; a count typed beyond its limit, held
// there and saved; a save that fails and keeps the window; endings that
// write nothing; a display lost; no display; a refused option; --help.

#include <algorithm>

#include "tests/e2e/harness.h"

namespace {

using e2e::kPrograms, e2e::kEarlier;

// A tuner started with `args` in a directory of its own with an earlier
// coeff1.txt, its window found and given the keyboard.
struct Tuner {
  std::string dir = test::MakeTempDir(), window;
  std::unique_ptr<e2e::Run> run;

  Tuner(const std::string& program, const std::vector<std::string>& args) {
    test::Write(dir + "/coeff1.txt", kEarlier);
    run = std::make_unique<e2e::Run>(kPrograms + program, args, dir);
    window = e2e::FindWindow(program, 20);
    test::Capture("xdotool windowfocus --sync " + window + " 2>&1");
  }
  // Keys pressed as a keyboard does, into the focused window.
  void Keys(const std::string& keys) { test::Capture("xdotool key --delay 40 " + keys + " 2>&1"); }
  void Type(const std::string& text) { test::Capture("xdotool type --delay 40 '" + text + "' 2>&1"); }
};

// Each test in a private Xvfb of its own, with the screen of a small panel.
struct Tuners : testing::Test {
  std::unique_ptr<e2e::Run> server;
  void SetUp() override { ASSERT_NE(e2e::UseNewXServer(server, {}, "1024x600x24"), ""); }
};

// pelmora-tune opened by options on a band-pass from 1500 Hz at 6 dB; in
// the form: End in the type list (band-reject), Tab past the family and
// the order to the lower corner,
// 2000 typed, Tab twice to the attenuation, 3 typed; Ctrl+S saves, Ctrl+Q
// quits. The printed line is the one that the configured designer was
// built from (tests/CMakeLists.txt), which writes the same file.
TEST_F(Tuners, PelmoraTunedSavesWhatTheConfiguredDesignerWrites) {
  Tuner tuner("pelmora-tune", {"-DPELMORA_FC1=1500", "-DPELMORA_ATTENUATION_DB=6"});
  ASSERT_NE(tuner.window, "") << tuner.run->Stderr();
  tuner.Keys("End Tab Tab Tab"), tuner.Type("2000"), tuner.Keys("Tab Tab"), tuner.Type("3"), tuner.Keys("Tab ctrl+s");
  EXPECT_TRUE(e2e::PollFor(20, [&] { return test::Read(tuner.dir + "/coeff1.txt") != kEarlier; }));
  tuner.Keys("ctrl+q");
  EXPECT_EQ(tuner.run->Wait(20), 0);
  EXPECT_EQ(tuner.run->Stdout(), "coeff1.txt: " TUNED_PELMORA "\n") << tuner.run->Stderr();

  const std::string dir = test::MakeTempDir();
  e2e::Run designer(CONFIGURED_DIR "/pelmora", {}, dir);
  e2e::PressKey(e2e::FindWindow("Frequency Response", 20));
  EXPECT_EQ(designer.Wait(10), 0);
  EXPECT_EQ(test::Read(tuner.dir + "/coeff1.txt"), test::Read(dir + "/coeff1.txt"));
}

// The elliptic family chosen from the keyboard (three steps down from
// Butterworth), the lower corner and the ripple typed: the attenuation's
// row gone, the ripple's and stop band's there. The printed line names the
// family's variables, and coeff-design given that line writes the same
// file.
TEST_F(Tuners, PelmoraTunedToAFamilySavesWhatCoeffDesignWrites) {
  Tuner tuner("pelmora-tune", {"-DPELMORA_TYPE=band-reject"});
  ASSERT_NE(tuner.window, "") << tuner.run->Stderr();
  tuner.Keys("Tab Down Down Down Tab Tab"), tuner.Type("1500"), tuner.Keys("Tab Tab"), tuner.Type("0.5");
  tuner.Keys("Tab ctrl+s");
  EXPECT_TRUE(e2e::PollFor(20, [&] { return test::Read(tuner.dir + "/coeff1.txt") != kEarlier; }));
  tuner.Keys("ctrl+q");
  EXPECT_EQ(tuner.run->Wait(20), 0);
  const std::string line = "-DPELMORA_TYPE=band-reject -DPELMORA_FAMILY=elliptic -DPELMORA_ORDER=2 -DPELMORA_FC1=1500 "
                           "-DPELMORA_FC2=5000 -DPELMORA_RIPPLE_DB=0.5 -DPELMORA_STOPBAND_DB=60 -DPELMORA_FSAMP=22050";
  EXPECT_EQ(tuner.run->Stdout(), "coeff1.txt: " + line + "\n") << tuner.run->Stderr();
  std::vector<std::string> args = {"pelmora", "-o", "designed.txt"};
  for (size_t at = 0, end; at < line.size(); at = end + 1) {
    end = std::min(line.find(' ', at), line.size());
    args.push_back(line.substr(at, end - at));
  }
  e2e::Run design(kPrograms + "coeff-design", args, tuner.dir);
  EXPECT_EQ(design.Wait(20), 0) << design.Stderr();
  const std::string saved = test::Read(tuner.dir + "/coeff1.txt");
  EXPECT_EQ(saved, test::Read(tuner.dir + "/designed.txt"));
  EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 10);  // a band-reject of order 2: two sections
}

// tavrine-tune on 256 frequency samples, in a window within the screen:
// 500 typed in requested taps is held at 256, the most whose design (255
// taps) the samples hold, not cut to 50; saved, the file holds 255
// symmetric taps and the final zero tap of an even count.
TEST_F(Tuners, TypedBeyondALimitIsHeldThereAndSaved) {
  Tuner tuner("tavrine-tune", {"-DTAVRINE_BINS=256", "-DTAVRINE_TAPS=51"});
  ASSERT_NE(tuner.window, "") << tuner.run->Stderr();
  EXPECT_EQ(test::Capture("eval $(xdotool getwindowgeometry --shell " + tuner.window +
                          "); echo $((X + WIDTH <= 1024 && Y + HEIGHT <= 600))"), "1\n");
  tuner.Keys("Tab Tab"), tuner.Type("500"), tuner.Keys("Tab ctrl+s");
  EXPECT_TRUE(e2e::PollFor(20, [&] { return test::Read(tuner.dir + "/coeff1.txt") != kEarlier; }));
  tuner.Keys("ctrl+q");
  EXPECT_EQ(tuner.run->Wait(20), 0);
  EXPECT_EQ(tuner.run->Stdout(), "coeff1.txt: -DTAVRINE_TYPE=band-pass -DTAVRINE_METHOD=window -DTAVRINE_TAPS=256 "
                                 "-DTAVRINE_ALPHA=7 "
                                 "-DTAVRINE_BINS=256 -DTAVRINE_BPF_FC1=2000 -DTAVRINE_BPF_FC2=8000 "
                                 "-DTAVRINE_FSAMP=22050\n");
  const std::vector<float> taps = test::Numbers(test::Read(tuner.dir + "/coeff1.txt"));
  ASSERT_TRUE(taps.size() == 256 && taps.back() == 0.0f) << taps.size();
  for (size_t n = 0; n < 255; ++n) ASSERT_NEAR(taps[n], taps[254 - n], 1.5e-6) << n;  // six decimals
}

// A save onto a folder named coeff1.txt fails with the designers' words on
// standard error and the window stays; Ctrl+Q then ends with status 0 and
// nothing printed. Closing the window writes nothing either, nor does its
// destruction by another client, which ends the tuner as a close does; a
// display that goes away ends the tuner with the designers' line and
// status 3.
TEST_F(Tuners, EndingsWriteOnlyWhatWasSaved) {
  for (const auto& [program, folder, ending, status, said] :
       std::vector<std::tuple<std::string, bool, std::string, int, std::string>>{
           {"tavrine-tune", true, "ctrl+s", 0, "coeff1.txt cannot be opened: Is a directory.\n"},
           {"pelmora-tune", false, "close", 0, ""},
           {"tavrine-tune", false, "destroy", 0, ""},
           {"tavrine-tune", false, "lost", 3, "The window was lost: display " + std::string(getenv("DISPLAY")) +
                                                  " is no longer available.\n"}}) {
    SCOPED_TRACE(program + " " + ending);
    Tuner tuner(program, {});
    if (folder) test::Capture("cd '" + tuner.dir + "' && rm coeff1.txt && mkdir coeff1.txt");
    if (ending == "close") {
      test::Capture(CLOSE_WINDOW " " + tuner.window);
    } else if (ending == "destroy") {
      test::Capture("xdotool windowclose " + tuner.window);
    } else if (ending == "lost") {
      server.reset();
    } else {
      tuner.Keys(ending);
      EXPECT_TRUE(e2e::PollFor(20, [&] { return tuner.run->Stderr().find(said) != std::string::npos; }));
      EXPECT_FALSE(tuner.run->Wait(0.5).has_value()) << "the window stays after a failed save";
      tuner.Keys("ctrl+q");
    }
    EXPECT_EQ(tuner.run->Wait(20), status);
    const std::string err = tuner.run->Stderr();
    EXPECT_EQ(tuner.run->Stdout() + err.substr(err.size() - std::min(err.size(), said.size())), said);
    EXPECT_EQ(err.find("XCB error"), std::string::npos) << err;
    EXPECT_EQ(test::Capture("ls -AF '" + tuner.dir + "'"), folder ? "coeff1.txt/\n" : "coeff1.txt\n");
    EXPECT_TRUE(folder || test::Read(tuner.dir + "/coeff1.txt") == kEarlier);
  }
}

// Without a display, or with a refused option, no window: one line on
// standard error, and the status; --help, the usage on standard output.
TEST(TunersWithoutWindow, NoDisplayAndRefusedOptions) {
  using Case = std::tuple<std::string, std::vector<std::string>, int, std::string>;
  for (const auto& [program, args, status, said] : std::vector<Case>{
           {"pelmora-tune", {}, 3, "No window can be opened: no display is set.\n"},
           {"tavrine-tune", {"-DTAVRINE_TYPE=band-pass"}, 3, "No window can be opened: no display is set.\n"},
           {"pelmora-tune", {"-DPELMORA_FC1=2k"}, 2,
            "PELMORA_FC1 = 2k: not allowed; allowed are decimal numbers, such as 2000, 1500.5 or 2e3\n"},
           {"tavrine-tune", {"-DTAVRINE_TAPS=401"}, 2,
            "TAVRINE_TAPS = 401: not allowed; allowed are whole numbers from 1 to 400 that design at most TAVRINE_BINS "
            "taps (an even count designs one fewer), or auto, with TAVRINE_BINS = 400\n"},
           {"pelmora-tune", {"--help"}, 0, "Usage: pelmora-tune [-DNAME=VALUE ...]\n"},
           {"tavrine-tune", {"-DTAVRINE_TAPS=401", "--help"}, 0, "Usage: tavrine-tune [-DNAME=VALUE ...]\n"}}) {
    const std::string dir = test::MakeTempDir();
    e2e::Run run(kPrograms + program, args, dir, {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"});
    EXPECT_EQ(run.Wait(20), status) << program;
    const std::string all = run.Stdout() + run.Stderr();  // the usage: its first line here
    EXPECT_EQ(status == 0 ? all.substr(0, said.size()) : all, said);
    EXPECT_EQ(test::Listing(dir), "");
  }
}

}  // namespace
