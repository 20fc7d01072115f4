// The response plot against a reviewed picture, and the text files with
// '.' as the decimal point, replaced whole or not at all.

#include <linux/capability.h>
#include <locale.h>
#include <sys/resource.h>
#include <sys/syscall.h>

#include <opencv2/core/core_c.h>

#include <limits>

#include "core/state.h"
#include "core/textio.h"
#include "plot/response_plot.h"
#include "tests/support.h"

namespace {

// The plot of `gain` and `phase` with a frequency span of `span` Hz.
test::Image Draw(const float* gain, const float* phase, float span) {
  freq_range = span;
  IplImage* canvas = CreateCanvas();
  DrawFres(canvas, kPlotX0, kPlotY0, gain, phase, LabelColumn{"%9.1f", {-60, 125, 305}, -27});
  test::Image drawn{canvas->width, canvas->height, {}};
  for (int y = 0; y < drawn.height; ++y) {
    const auto* bgr = reinterpret_cast<const uint8_t*>(canvas->imageData + y * canvas->widthStep);
    for (int x = 0; x < 3 * drawn.width; x += 3) drawn.rgb.insert(drawn.rgb.end(), {bgr[x + 2], bgr[x + 1], bgr[x]});
  }
  cvReleaseImage(&canvas);
  return drawn;
}

// A response that reaches every rule of the plot: truncation toward zero,
// gains beyond the grid (infinities too) on the frame, phases beyond it
// (up to the 12.5 rad that eight sections can sum to) drawn where they
// fall, values that are not numbers on the zero rows;
// at 80 dB, 2.5 pixels per dB, and at 9800 Hz, 2.25 pixels per point, so
// that the segment to point 160 would end exactly on the frame and is left
// out. At 20000 Hz all 179 segments lie inside the grid, and no more.
TEST(ResponsePlot, DrawsAsTheReviewedPicture) {
  const float inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
  const float steps[][2] = {{0, 0},     {-50.8f, 3.1415927f}, {25, -3.1415927f}, {inf, 4},  {-inf, -6},
                            {nan, nan}, {-1000, 1.5707964f},  {-3.3f, 12.5f},    {16, -12.5f}};
  float gain[kResponseSize], phase[kResponseSize];
  for (int i = 0; i < kResponseSize; ++i) {
    gain[i] = i < 90 ? steps[i / 10][0] : (i < 180 ? -0.45f * float(i - 90) : inf);
    phase[i] = i < 90 ? steps[i / 10][1] : (i < 180 ? std::sin(0.3f * float(i)) : 4.0f);
  }
  gain_range = 80.0f;
  const test::Image drawn = Draw(gain, phase, 9800.0f);
  if (drawn.rgb != test::ReadPng(TEST_DATA_DIR "/plot.png").rgb) {
    // Kept for review: a new reference picture is taken only on purpose.
    const std::string file = test::MakeTempDir() + "/plot.ppm";
    test::Write(file, "P6\n640 360\n255\n" + std::string(drawn.rgb.begin(), drawn.rgb.end()));
    ADD_FAILURE() << "the plot differs from tests/data/plot.png; drawn: " << file;
  }
  const test::Image wide = Draw(gain, phase, 20000.0f);  // point 179 at x offset 197: nothing of a curve beyond
  for (int y = 0; y < 360; ++y) EXPECT_FALSE(wide.At(298, y)[2] == 0 && wide.At(298, y)[0] + wide.At(298, y)[1]) << y;
}

// Without the capabilities that let root pass over file permissions, so
// that they apply as they do to any user.
void AsAnyUser() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2] = {};
  syscall(SYS_capget, &header, data);
  const uint32_t overrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);
  data[0].permitted = data[0].effective &= ~overrides;  // access() checks root against the permitted ones
  syscall(SYS_capset, &header, data);
}

// The file is replaced only once the new one is complete: a new file gets
// the umask's mode, a replaced one keeps its mode and owner, a symbolic
// link is written through (also to a file that does not exist yet), and a
// directory that takes no new file has a writable file written in place,
// even one that the user may write but not read.
// What cannot be written is reported with status 1 and leaves the earlier
// file whole, even one written in place and longer than the size limit,
// and nothing beside it.
TEST(TextFiles, ReplacedWholeOrNotAtAll) {
  const std::string dir = test::MakeTempDir(), file = dir + "/coeff1.txt";
  const std::string content = "0.265783\n0.000000\n-0.265783\n-0.385449\n";
  const std::string earlier = "an earlier file of 40 bytes, 8 too many\n";
  const bool root = geteuid() == 0;
  ASSERT_EQ(symlink("coeff1.txt", (dir + "/link").c_str()), 0);
  umask(027);
  // name, the earlier file's mode (0: none), the directory's, the size limit, what is said
  struct Case { std::string name; mode_t mode, dir_mode; long size_limit; std::string said; };
  for (const Case& c :
       {Case{"coeff1.txt", 0, 0755, 0, ""}, {"link", 0, 0755, 0, ""}, {"coeff1.txt", 0604, 0755, 0, ""},
        {"link", 0604, 0755, 0, ""}, {"coeff1.txt", 0666, 0555, 0, ""}, {"coeff1.txt", 0222, 0555, 0, ""},
        {"coeff1.txt", 0644, 0755, 32, "cannot be written"}, {"coeff1.txt", 0666, 0555, 32, "cannot be written"},
        {"coeff1.txt", 0444, 0755, 0, "cannot be opened"}, {"new.txt", 0644, 0555, 0, "cannot be opened"},
        {"none/coeff1.txt", 0644, 0755, 0, "cannot be opened"}, {".", 0644, 0755, 0, "cannot be opened"}}) {
    unlink(file.c_str());
    if (c.mode) {
      test::Write(file, earlier);
      chmod(file.c_str(), c.mode);
      EXPECT_TRUE(!root || chown(file.c_str(), 4321, 4321) == 0);
    }
    chmod(dir.c_str(), c.dir_mode);
    SCOPED_TRACE(c.name + " " + std::to_string(c.mode) + " " + std::to_string(c.dir_mode));
    auto replace = [&] {
      if (chdir(dir.c_str()) != 0 || dup2(2, 1) != 1) return;  // relative names: the message fits the size limit
      if (c.dir_mode != 0755 || c.mode == 0444) AsAnyUser();
      const rlimit limit{rlim_t(c.size_limit), rlim_t(c.size_limit)};
      if (c.size_limit) setrlimit(RLIMIT_FSIZE, &limit);
      ReplaceFileOrExit(c.name.c_str(), content);
      std::exit(0);
    };
    EXPECT_EXIT(replace(), testing::ExitedWithCode(c.said.empty() ? 0 : 1),
                c.said.empty() ? "^$" : "^" + c.name + " " + c.said + ".\n$");
    chmod(dir.c_str(), 0755);
    struct stat st {};
    stat(file.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, c.mode ? c.mode : 0640u);
    EXPECT_EQ(st.st_uid, root && c.mode ? 4321u : geteuid());
    chmod(file.c_str(), (st.st_mode & 07777) | 0400);  // a write-only file is read back too
    EXPECT_EQ(test::Read(file), c.said.empty() ? content : earlier);
    EXPECT_EQ(test::Listing(dir), "coeff1.txt\nlink\n");
  }
}

// Numbers are written and read with '.' as the decimal point whatever the
// locale, and the locale is the program's again afterwards.
TEST(TextFiles, NumbersInTheCLocale) {
  ASSERT_NE(setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "locale de_DE.UTF-8 is not installed";
  std::string lines;
  for (float v : {0.5f, -1.25e-7f, 1234.5678f, 1e30f, -1e30f}) AppendValueLine(lines, v);
  const double parsed = ParseValue(" 0.75xyz");
  const std::string label = FormatNumber("%8.1f", 2500.25), localised = std::to_string(0.5);
  setlocale(LC_ALL, "C");
  EXPECT_EQ(lines, "0.500000\n-0.000000\n1234.567749\n1000000015047466219876688855040.000000\n"
                   "-1.000000e+30\n");
  EXPECT_EQ(std::make_tuple(parsed, label, localised), std::make_tuple(0.75, "  2500.2", "0,500000"));
}

}  // namespace
