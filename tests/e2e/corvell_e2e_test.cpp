// corvell as a person uses it: on the file pelmora writes, on other files,
// and with the arguments and files a user gets wrong.

#include <sys/stat.h>

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "iir/cascade_response.h"
#include "iir/coeff_file.h"
#include "iir/iir_viewer.h"
#include "plot/frame.h"
#include "plot/response_plot.h"
#include "plot/shared_state.h"
#include "tests/e2e/program_test.h"

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

class CorvellTest : public e2e::ProgramTest {
 protected:
  e2e::Process Show(const std::vector<std::string>& args, const std::string& file) {
    return ShowAndClose("corvell", kTitle, args, ExpectedCanvas(file));
  }
  e2e::Process Fail(const std::vector<std::string>& args, int status, const e2e::Options& options = {}) {
    return RunToFailure("corvell", kTitle, args, status, options);
  }
};

TEST_F(CorvellTest, PlotsTheFileThatPelmoraWrites) {
  e2e::Process designer = e2e::Start(e2e::ProgramPath("pelmora"), {}, dir_);
  const auto designer_window = e2e::FindWindow("Frequency Response", 20);
  ASSERT_TRUE(designer_window);
  const auto designer_end = e2e::PressKeyUntilExit(*designer_window, designer, 10);
  ASSERT_TRUE(designer_end);
  EXPECT_EQ(e2e::ExitCode(*designer_end), 0);
  const std::string written = e2e::ReadFile(file_);
  ASSERT_EQ(std::count(written.begin(), written.end(), '\n'), 10);

  // A second argument is ignored; the viewer writes nothing.
  file_before_key_ = written;
  e2e::Process run = Show({"coeff1.txt", "ignored.txt"}, file_);
  EXPECT_EQ(run.Stdout(), "BiquadN = 2\n");
  EXPECT_EQ(run.Stderr(), "");
  EXPECT_EQ(e2e::ReadFile(file_), written);
}

TEST_F(CorvellTest, ATapFileIsTakenAsEightSections) {
  e2e::Process run = Show({TEST_DATA_DIR "/tavrine_coeff1.txt"}, TEST_DATA_DIR "/tavrine_coeff1.txt");
  EXPECT_EQ(run.Stdout(), "BiquadN = 8\n");
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

  e2e::Process run = Show({name}, dir_ + "/" + name);
  EXPECT_EQ(run.Stdout(), "BiquadN = 3\n");
}

TEST_F(CorvellTest, WithoutAnArgumentSaysSoOnStandardError) {
  e2e::Process run = Fail({}, 255);
  EXPECT_EQ(run.Stderr(), "1st arg must be input file name.\n");
  EXPECT_EQ(run.Stdout(), "");
}

TEST_F(CorvellTest, FilesThatCannotBeOpenedOrRead) {
  EXPECT_EQ(Fail({"no such file.txt"}, 1).Stdout(), "no such file.txt cannot be opened.\n");
  EXPECT_EQ(Fail({""}, 1).Stdout(), " cannot be opened.\n");
  // Names are printed as given, '%', spaces and non-ASCII bytes included.
  const std::string odd = "n\xc3\xb6 such %s %d file.txt";
  EXPECT_EQ(Fail({odd}, 1).Stdout(), odd + " cannot be opened.\n");
  mkdir((dir_ + "/a directory").c_str(), 0755);
  e2e::Process directory = Fail({"a directory"}, 1);
  EXPECT_EQ(directory.Stdout(), "a directory cannot be read.\n");
  EXPECT_EQ(directory.Stderr(), "");
}

TEST_F(CorvellTest, HostileContentIsPlottedAsDefined) {
  // NUL bytes, binary, nan, inf, negative zero, overlong lines and two
  // million lines: only the first 40 reads count.
  std::string content = "nan\n-inf\n1e999\n-0\n\xff\xfe\x01\n";
  content += std::string("0.5\0garbage\n", 13) + std::string(100, '9') + "\n";
  for (int i = 0; i < 2000000; ++i) content += "1\n";
  e2e::WriteFile(dir_ + "/hostile.txt", content);
  e2e::Process run = Show({"hostile.txt"}, dir_ + "/hostile.txt");
  EXPECT_EQ(run.Stdout(), "BiquadN = 8\n");
  EXPECT_EQ(run.Stderr(), "");
}

TEST_F(CorvellTest, WithoutADisplayItSaysSo) {
  e2e::WriteFile(file_, "1\n0\n0\n0\n0\n");
  e2e::Process run = Fail({"coeff1.txt"}, 3, {{"-DISPLAY", "-WAYLAND_DISPLAY"}});
  EXPECT_EQ(run.Stdout(), "BiquadN = 1\n");
  EXPECT_EQ(run.Stderr(), "No window can be opened: no display is set.\n");
}

}  // namespace
