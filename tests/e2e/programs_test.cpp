// The four programs as a person uses them: each in a real window under a
// private Xvfb, found by its title, its canvas compared pixel for pixel
// with a reviewed picture (tests/data/<program>.png), ended by a real key
// press, with its standard output and error, exit status and file checked.

#include "tests/e2e/harness.h"

namespace {

using e2e::kData, e2e::kPrograms, e2e::kEarlier;
const char kTitle[] = "Frequency Response";
using Strings = std::vector<std::string>;
const std::string kTaps = test::Read(kData + "/tavrine_coeff1.txt");
const std::string kSections = test::Read(kData + "/pelmora_coeff1.txt");

// Whether the window, toolbar and status bar included, fits a board's
// 1024 x 600 panel; its size is in the failure message.
testing::AssertionResult FitsPanel(const std::string& window) {
  int width = 0, height = 0;
  std::sscanf(test::Capture("xdotool getwindowgeometry --shell " + window).c_str(),
              "WINDOW=%*d X=%*d Y=%*d WIDTH=%d HEIGHT=%d", &width, &height);
  return (width > 0 && width <= 1024 && height > 0 && height <= 600 ? testing::AssertionSuccess()
                                                                      : testing::AssertionFailure())
         << "window of " << width << " x " << height;
}

// Each program shows its plot until a key is pressed, in a window that fits
// a 1024 x 600 panel. An earlier
// coeff1.txt is replaced only after the key (designers) or not at all
// (viewers), and nothing else is left behind. Arguments beyond the first
// and a decimal-comma locale change nothing. The designers are also built
// from a configuration other than the built-in one (tests/CMakeLists.txt):
// pelmora as a band-reject of order 2 at 2000 Hz and 5000 Hz, 22050 Hz
// (the line that pelmora-tune prints for it), and again at 2e3 Hz, 5000.0
// Hz and 44100. Hz, whose sections are known; tavrine as a band-reject
// from 1500.5 Hz to 5e3 Hz at 16000. Hz, 256 bins, 51 taps, alpha 4.5,
// whose file tests/data holds as the unit-tested chain gives it.
TEST(Programs, ShowTheirPlotUntilAKey) {
  std::unique_ptr<e2e::Run> server;
  ASSERT_NE(e2e::UseNewXServer(server), "");
  const std::string configured = CONFIGURED_DIR "/";
  // program, window title, arguments, standard output, coeff1.txt after the key, tests/data/<picture>.png
  using Case = std::tuple<std::string, std::string, std::vector<std::string>, std::string, std::string, std::string>;
  for (const auto& [program, title, args, printed, file, picture] :
       {Case{kPrograms + "pelmora", kTitle, {"--order", "1"}, "", kSections, "pelmora"},
        {kPrograms + "tavrine", kTitle, {}, "", kTaps, "tavrine"},
        {kPrograms + "corvell", "Freqency Response", {"sections.txt", "x"}, "BiquadN = 2\n", kEarlier, "corvell"},
        {kPrograms + "sunnaq", kTitle, {"taps.txt", "x"}, "TapN = 140\n", kEarlier, "sunnaq"},
        {configured + "pelmora", kTitle, {}, "", "0.583589\n-0.695851\n0.583589\n-0.387135\n0.475895\n"
         "0.926023\n-1.104157\n0.926023\n-1.316220\n0.639983\n", "configured_pelmora"},
        {CONFIGURED_44100_DIR "/pelmora", kTitle, {}, "", "0.793474\n-1.426137\n0.793474\n-1.340717\n0.672368\n"
         "0.931094\n-1.673485\n0.931094\n-1.722087\n0.813585\n", "configured_pelmora_44100"},
        {configured + "tavrine", kTitle, {}, "", test::Read(kData + "/tavrine_band_reject.txt"),
         "configured_tavrine"}}) {
    SCOPED_TRACE(program);
    const std::string dir = test::MakeTempDir();
    test::Write(dir + "/coeff1.txt", kEarlier);
    test::Write(dir + "/sections.txt", kSections);
    test::Write(dir + "/taps.txt", kTaps);
    e2e::Run run(program, args, dir, {"LC_ALL=de_DE.UTF-8"});
    const std::string window = e2e::FindWindow(title, 20);
    ASSERT_NE(window, "") << "no window titled \"" << title << "\": " << run.Stderr();
    EXPECT_TRUE(e2e::Shows(window, test::ReadPng(kData + "/" + picture + ".png"))) << "not the reviewed picture";
    EXPECT_TRUE(FitsPanel(window));
    EXPECT_EQ(test::Read(dir + "/coeff1.txt"), kEarlier) << "written before the key";
    e2e::PressKey(window);
    EXPECT_EQ(run.Wait(10), 0);
    EXPECT_EQ(run.Stdout() + "|" + run.Stderr(), printed + "|");
    EXPECT_EQ(test::Read(dir + "/coeff1.txt"), file);
    EXPECT_EQ(test::Listing(dir), "coeff1.txt\nsections.txt\ntaps.txt\n");
  }
}

// While it waits, the window loop sleeps: the waiting program uses next to
// no processor time, and a closed window, or one destroyed by another
// client, is shown again, and fits the panel as the first did. A display
// that goes away then ends the program with one line and status 3, and no
// file.
// What the window system says when the window opens (here of a runtime
// directory that others may read) is passed on.
TEST(WindowLoop, SleepsShowsAClosedWindowAgainAndEndsWithTheDisplay) {
  std::unique_ptr<e2e::Run> server;
  const std::string display = e2e::UseNewXServer(server), dir = test::MakeTempDir(), runtime = test::MakeTempDir();
  chmod(runtime.c_str(), 0755);
  e2e::Run run(kPrograms + "pelmora", {}, dir, {"XDG_RUNTIME_DIR=" + runtime});
  const std::string window = e2e::FindWindow(kTitle, 20);
  const test::Image picture = test::ReadPng(kData + "/pelmora.png");
  EXPECT_TRUE(e2e::Shows(window, picture));
  const int before = e2e::CpuTicks(run.pid), ticks_per_second = int(sysconf(_SC_CLK_TCK));
  std::this_thread::sleep_for(std::chrono::seconds(3));  // a span of time measured, not a wait for an event
  EXPECT_LT(e2e::CpuTicks(run.pid) - before, 3 * ticks_per_second / 100) << "more than 1 % of a core while waiting";
  // Closed, as by its close button; then destroyed, not asked to close.
  std::string shown = window;
  for (const char* ending : {CLOSE_WINDOW " ", "xdotool windowclose "}) {
    test::Capture(ending + shown);
    const std::string again = e2e::FindWindow(kTitle, 20, shown);
    EXPECT_TRUE(e2e::Shows(again, picture) && FitsPanel(again)) << ending << ": the window did not come back whole";
    shown = again;
  }
  server.reset();
  EXPECT_EQ(run.Wait(20), 3);
  const std::string said = run.Stderr();
  const std::string line = "The window was lost: display " + display + " is no longer available.\n";
  EXPECT_EQ(said.substr(said.size() - std::min(said.size(), line.size())), line) << said;
  EXPECT_EQ(said.rfind("QStandardPaths: wrong permissions on runtime directory " + runtime, 0), 0u) << said;
  EXPECT_EQ(test::Listing(dir), "");
}

// What ends a program before any window: a viewer without a file name (a
// usage line, status 255), a file that cannot be opened or read (status
// 1), no window (status 3, with what was printed before it kept). The
// display is blamed only when it cannot be reached; a display that refuses
// the connection, or a platform that does not start, is the window
// system's failure, told in its own lines before the program's.
TEST(Programs, EndBeforeAWindowWhenTheyCannotGoOn) {
  const std::string dir = test::MakeTempDir(), cookie = dir + "/cookie";
  // A display whose server takes only the clients that hold this cookie: none of the programs.
  test::Write(cookie, std::string("\xff\xff\0\0\0\0\0\x12MIT-MAGIC-COOKIE-1\0\x10" "0123456789abcdef", 44));
  std::unique_ptr<e2e::Run> server;
  ASSERT_NE(e2e::UseNewXServer(server, {"-auth", cookie}), "");
  test::Write(dir + "/taps.txt", kTaps);
  // No X server has display absent; failed follows the window system's lines.
  const std::string absent = ":99999", failed = "No window can be opened: the window system";
  unsetenv("QT_QPA_PLATFORM");
  for (const auto& [program, args, env, status, printed, said] :
       std::vector<std::tuple<std::string, Strings, Strings, int, std::string, std::string>>{
           {"corvell", {}, {}, 255, "", "1st arg must be input file name.\n"},
           {"sunnaq", {}, {}, 255, "", "1st arg must be input file name.\n"},
           {"corvell", {"no such file"}, {}, 1, "no such file cannot be opened.\n", ""},
           {"sunnaq", {"."}, {}, 1, ". cannot be read.\n", ""},
           {"pelmora", {}, {"DISPLAY"}, 3, "", "No window can be opened: no display is set.\n"},
           {"sunnaq", {"taps.txt"}, {"DISPLAY=" + absent}, 3, "TapN = 140\n",
            "No window can be opened: display " + absent + " is not available.\n"},
           {"sunnaq", {"taps.txt"}, {}, 3, "TapN = 140\n", failed + " did not start.\n"},
           {"corvell", {}, {"DISPLAY", "QT_QPA_PLATFORM=wayland", "WAYLAND_DISPLAY=absent-wayland"}, 255, "",
            "1st arg must be input file name.\n"},
           {"pelmora", {}, {"DISPLAY", "QT_QPA_PLATFORM=wayland", "WAYLAND_DISPLAY=absent-wayland"}, 3, "",
            "No window can be opened: display absent-wayland is not available.\n"},
           {"tavrine", {}, {"QT_QPA_PLATFORM=bogus"}, 3, "", failed + "'s platform bogus did not start.\n"},
           {"pelmora", {}, {"DISPLAY", "QT_QPA_PLATFORM=bogus"}, 3, "", failed + "'s platform bogus did not start.\n"},
       }) {
    e2e::Run run(kPrograms + program, args, dir, env);
    EXPECT_EQ(run.Wait(20), status) << program;
    EXPECT_EQ(run.Stdout(), printed) << program;
    const std::string err = run.Stderr(), end = err.substr(err.size() - std::min(err.size(), said.size()));
    EXPECT_EQ(end, said) << program << ": " << err;
    EXPECT_EQ(err.size() > said.size(), said.rfind(failed, 0) == 0) << program << ", lines before: " << err;
  }
  EXPECT_EQ(test::Listing(dir), "cookie\ntaps.txt\n");
}

}  // namespace
