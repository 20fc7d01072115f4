// The four programs as a person uses them: each in a real window under a
// private Xvfb, found by its title, its canvas compared pixel for pixel
// with a reviewed picture (tests/data/<program>.png), ended by a real key
// press, with its standard output and error, exit status and file checked.

#include <gtest/gtest.h>

#include "tests/e2e/harness.h"

namespace {

const std::string kData = TEST_DATA_DIR, kPrograms = PROGRAM_DIR "/";
const char kTitle[] = "Frequency Response";
const std::string kEarlier = "an earlier file\n", kTaps = test::Read(kData + "/tavrine_coeff1.txt");
const std::string kSections =
    "0.265783\n0.000000\n-0.265783\n-0.385449\n0.475031\n0.422319\n0.000000\n-0.422319\n-1.316578\n0.639658\n";

// Every test of this binary runs under an Xvfb of its own.
std::unique_ptr<e2e::Run> server;
struct XvfbEnvironment : ::testing::Environment {
  void SetUp() override {
    const std::string display = e2e::StartXServer(server);
    ASSERT_NE(display, "") << "Xvfb did not start";
    setenv("DISPLAY", display.c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    setenv("XDG_RUNTIME_DIR", test::MakeTempDir().c_str(), 1);  // Qt wants a private one
  }
};
const auto* const kXvfb = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

// Each program shows its plot until a key is pressed. An earlier
// coeff1.txt is replaced only after the key (designers) or not at all
// (viewers), and nothing else is left behind. Arguments beyond the first
// and a decimal-comma locale change nothing.
TEST(Programs, ShowTheirPlotUntilAKey) {
  struct Case {
    std::string program, title;
    std::vector<std::string> args;
    std::string printed, file;  // standard output, and coeff1.txt after the key
  };
  for (const Case& c : {Case{"pelmora", kTitle, {"--order", "1"}, "", kSections},
                        {"tavrine", kTitle, {}, "", kTaps},
                        {"corvell", "Freqency Response", {"sections.txt", "x"}, "BiquadN = 2\n", kEarlier},
                        {"sunnaq", kTitle, {"taps.txt", "x"}, "TapN = 140\n", kEarlier}}) {
    SCOPED_TRACE(c.program);
    const std::string dir = test::MakeTempDir();
    test::Write(dir + "/coeff1.txt", kEarlier);
    test::Write(dir + "/sections.txt", kSections);
    test::Write(dir + "/taps.txt", kTaps);
    e2e::Run run(kPrograms + c.program, c.args, dir, {"LC_ALL=de_DE.UTF-8"});
    const std::string window = e2e::FindWindow(c.title, 20);
    ASSERT_NE(window, "") << "no window titled \"" << c.title << "\": " << run.Stderr();
    EXPECT_TRUE(e2e::Shows(window, test::ReadPng(kData + "/" + c.program + ".png"))) << "not the reviewed picture";
    EXPECT_EQ(test::Read(dir + "/coeff1.txt"), kEarlier) << "written before the key";
    e2e::PressKey(window);
    EXPECT_EQ(run.Wait(10), 0);
    EXPECT_EQ(run.Stdout(), c.printed);
    EXPECT_EQ(run.Stderr(), "");
    EXPECT_EQ(test::Read(dir + "/coeff1.txt"), c.file);
    EXPECT_EQ(test::Capture("ls -A '" + dir + "'"), "coeff1.txt\nsections.txt\ntaps.txt\n");
  }
}

// While it waits, the window loop sleeps: a closed window is shown again,
// and the waiting program uses next to no processor time.
TEST(WindowLoop, SleepsWhileWaitingAndShowsAClosedWindowAgain) {
  const std::string dir = test::MakeTempDir();
  e2e::Run run(kPrograms + "pelmora", {}, dir);
  const std::string window = e2e::FindWindow(kTitle, 20);
  const test::Image picture = test::ReadPng(kData + "/pelmora.png");
  ASSERT_TRUE(e2e::Shows(window, picture));
  const double before = e2e::CpuSeconds(run.pid);
  std::this_thread::sleep_for(std::chrono::seconds(3));  // a span of time measured, not a wait for an event
  EXPECT_LT(e2e::CpuSeconds(run.pid) - before, 0.03) << "more than 1 % of a core while waiting";
  test::Capture(CLOSE_WINDOW " " + window);
  const std::string again = e2e::FindWindow(kTitle, 20, window);
  ASSERT_NE(again, "") << "the closed window did not come back";
  EXPECT_TRUE(e2e::Shows(again, picture));
  EXPECT_EQ(test::Capture("ls -A '" + dir + "'"), "");
  e2e::PressKey(again);
  EXPECT_EQ(run.Wait(10), 0);
  EXPECT_EQ(test::Read(dir + "/coeff1.txt"), kSections);
}

// A display that goes away while the window waits ends the program with
// one line and status 3, and no file.
TEST(WindowLoop, LosingTheDisplayEndsWithOneLineAndStatusThree) {
  std::unique_ptr<e2e::Run> own;
  const std::string shared = getenv("DISPLAY"), display = e2e::StartXServer(own), dir = test::MakeTempDir();
  setenv("DISPLAY", display.c_str(), 1);
  e2e::Run run(kPrograms + "tavrine", {}, dir);
  const bool shown = e2e::Shows(e2e::FindWindow(kTitle, 20), test::ReadPng(kData + "/tavrine.png"));
  setenv("DISPLAY", shared.c_str(), 1);
  ASSERT_TRUE(shown);  // in the window loop
  own.reset();
  EXPECT_EQ(run.Wait(20), 3);
  const std::string said = run.Stderr(), line = "The window was lost: display " + display + " is no longer available.\n";
  EXPECT_EQ(said.substr(said.size() - std::min(said.size(), line.size())), line) << said;
  EXPECT_EQ(test::Capture("ls -A '" + dir + "'"), "");
}

// The viewers without a file name: a usage line, status 255, no window.
TEST(Viewers, WithoutAnArgumentSayHowToCallThem) {
  for (const char* viewer : {"corvell", "sunnaq"}) {
    e2e::Run run(kPrograms + viewer, {}, test::MakeTempDir());
    EXPECT_EQ(run.Wait(20), 255) << viewer;
    EXPECT_EQ(run.Stderr(), "1st arg must be input file name.\n") << viewer;
    EXPECT_EQ(run.Stdout(), "") << viewer;
  }
}

}  // namespace
