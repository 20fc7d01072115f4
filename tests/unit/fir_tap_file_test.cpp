// The tap file: the designer's writer, the viewer's reader, and the
// viewer's response of a file the designer wrote.

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "fir/fir_design.h"
#include "fir/tap_file.h"
#include "fir/taps.h"
#include "fir_test_support.h"
#include "plot/shared_state.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class TapFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTempDir();
    path_ = dir_ + "/coeff1.txt";
  }

  // Writes `content` to the file, loads it into taps (filled with the
  // sentinel 9.0 first) and returns what the reader printed on standard
  // output and standard error.
  void Load(const std::string& content) {
    WriteFile(path_, content);
    for (float& t : taps_) t = 9.0f;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    TxtLoad(path_.c_str(), taps_);
    out_ = testing::internal::GetCapturedStdout();
    err_ = testing::internal::GetCapturedStderr();
  }

  std::string dir_, path_, out_, err_;
  // One entry more than the reader may fill, to see that it stays untouched.
  float taps_[kMaxTaps + 1];
};

// ---- Writer ----

TEST_F(TapFileTest, BuiltInDesignFile) {
  DesignBuiltIn(140);
  TxtSave(path_.c_str(), hh);
  const std::vector<std::string> lines = Lines(ReadFile(path_));
  ASSERT_EQ(lines.size(), 140u);
  const std::vector<std::string> begin(lines.begin(), lines.begin() + 5);
  EXPECT_EQ(begin, (std::vector<std::string>{"-0.000022", "-0.000052", "0.000037", "-0.000005", "0.000033"}));
  const std::vector<std::string> middle(lines.begin() + 67, lines.begin() + 72);
  EXPECT_EQ(middle, (std::vector<std::string>{"-0.300360", "0.071436", "0.545000", "0.071436", "-0.300360"}));
  const std::vector<std::string> end(lines.end() - 4, lines.end());
  EXPECT_EQ(end, (std::vector<std::string>{"0.000037", "-0.000052", "-0.000022", "0.000000"}));
  for (int k = 1; k <= 69; ++k) EXPECT_EQ(lines[k - 1], lines[139 - k]) << "line " << k;
}

TEST_F(TapFileTest, OddRequestWritesNoZeroLine) {
  DesignBuiltIn(139);
  EXPECT_EQ(evenTap, 0);
  TxtSave(path_.c_str(), hh);
  const std::vector<std::string> lines = Lines(ReadFile(path_));
  ASSERT_EQ(lines.size(), 139u);
  EXPECT_EQ(lines.back(), "-0.000022");
}

TEST_F(TapFileTest, WriterNeverExceedsTheArray) {
  float taps[kMaxTaps];
  for (int i = 0; i < kMaxTaps; ++i) taps[i] = static_cast<float>(i);
  TapN = 100000;
  evenTap = 1;
  TxtSave(path_.c_str(), taps);
  std::vector<std::string> lines = Lines(ReadFile(path_));
  ASSERT_EQ(lines.size(), 400u);
  EXPECT_EQ(lines.back(), "399.000000");

  TapN = 399;  // the zero tap fills the 400th line
  TxtSave(path_.c_str(), taps);
  lines = Lines(ReadFile(path_));
  ASSERT_EQ(lines.size(), 400u);
  EXPECT_EQ(lines.back(), "0.000000");

  TapN = -4;
  evenTap = 0;
  TxtSave(path_.c_str(), taps);
  EXPECT_EQ(ReadFile(path_), "");
}

TEST_F(TapFileTest, WriteThenReadGivesSixDecimals) {
  const float written[] = {0.545f, -0.30036044f, 4.9e-7f, -4.9e-7f, 1234.5678f, 1e-3f, 0.0f};
  const int n = sizeof written / sizeof written[0];
  TapN = n;
  evenTap = 1;
  TxtSave(path_.c_str(), written);
  for (float& t : taps_) t = 9.0f;
  testing::internal::CaptureStdout();
  TxtLoad(path_.c_str(), taps_);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "TapN = 8\n");
  ASSERT_EQ(TapN, n + 1);
  for (int i = 0; i < n; ++i) {
    const double six = std::round(static_cast<double>(written[i]) * 1e6) / 1e6;
    EXPECT_EQ(taps_[i], static_cast<float>(six)) << i;
  }
  EXPECT_EQ(taps_[2], 0.0f);  // below half a millionth
  EXPECT_EQ(taps_[n], 0.0f);
  EXPECT_EQ(taps_[n + 1], 9.0f);
}

TEST_F(TapFileTest, CannotBeOpenedEndsTheProcess) {
  const std::string out = dir_ + "/stdout.txt";
  const std::string missing = dir_ + "/missing.txt";
  EXPECT_EXIT(
      {
        std::freopen(out.c_str(), "w", stdout);
        TxtLoad(missing.c_str(), hh);
      },
      ::testing::ExitedWithCode(1), "");
  EXPECT_EQ(ReadFile(out), missing + " cannot be opened.\n");

  const std::string unwritable = dir_ + "/no/such/dir/coeff1.txt";
  TapN = 3;
  EXPECT_EXIT(
      {
        std::freopen(out.c_str(), "w", stdout);
        TxtSave(unwritable.c_str(), hh);
      },
      ::testing::ExitedWithCode(1), "");
  EXPECT_EQ(ReadFile(out), unwritable + " cannot be opened.\n");
}

// ---- Reader ----

TEST_F(TapFileTest, ReaderEdgeCases) {
  Load("");
  EXPECT_EQ(TapN, 0);
  EXPECT_EQ(out_, "TapN = 0\n");
  EXPECT_EQ(taps_[0], 9.0f);

  Load("1.5\n\n-2.5\n");  // a blank line is a zero tap
  EXPECT_EQ(TapN, 3);
  EXPECT_EQ(out_, "TapN = 3\n");
  EXPECT_EQ(taps_[0], 1.5f);
  EXPECT_EQ(taps_[1], 0.0f);
  EXPECT_EQ(taps_[2], -2.5f);
  EXPECT_EQ(taps_[3], 9.0f);

  Load("0.25\n0.75");  // no final newline
  EXPECT_EQ(TapN, 2);
  EXPECT_EQ(taps_[1], 0.75f);

  // What atof accepts, trailing text and a carriage return.
  Load("1e-3\n+2.5\n   -0.125\n0.5\r\n7.25xyz\nabc\n0.1\n");
  EXPECT_EQ(TapN, 7);
  EXPECT_EQ(taps_[0], 0.001f);
  EXPECT_EQ(taps_[1], 2.5f);
  EXPECT_EQ(taps_[2], -0.125f);
  EXPECT_EQ(taps_[3], 0.5f);
  EXPECT_EQ(taps_[4], 7.25f);
  EXPECT_EQ(taps_[5], 0.0f);
  EXPECT_EQ(taps_[6], 0.1f);  // narrowed from the double 0.1
  EXPECT_EQ(err_, "");
}

TEST_F(TapFileTest, LongLineIsReadInPiecesOf39) {
  Load("1.25" + std::string(35, ' ') + "3.5\n");
  EXPECT_EQ(TapN, 2);
  EXPECT_EQ(taps_[0], 1.25f);
  EXPECT_EQ(taps_[1], 3.5f);
}

TEST_F(TapFileTest, FourHundredTapsFitExactly) {
  std::string content;
  for (int i = 0; i < kMaxTaps; ++i) content += std::to_string(i) + "\n";
  Load(content);
  EXPECT_EQ(TapN, 400);
  EXPECT_EQ(out_, "TapN = 400\n");
  EXPECT_EQ(err_, "");
  EXPECT_EQ(taps_[399], 399.0f);
  EXPECT_EQ(taps_[400], 9.0f);
}

TEST_F(TapFileTest, TapsBeyondTheArrayAreLeftOutWithANote) {
  std::string content;
  for (int i = 0; i < 1000; ++i) content += std::to_string(i) + "\n";
  Load(content);
  EXPECT_EQ(TapN, 400);
  EXPECT_EQ(out_, "TapN = 400\n");
  EXPECT_EQ(err_, path_ + ": more than 400 taps; only the first 400 are used.\n");
  EXPECT_EQ(taps_[399], 399.0f);
  EXPECT_EQ(taps_[400], 9.0f);

  Load(content.substr(0, content.size() - 1) + " and more text beyond 39 characters\n");
  EXPECT_EQ(TapN, 400);
}

// Both directions keep '.' as the decimal point in a locale with ','.
TEST_F(TapFileTest, DecimalCommaLocale) {
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
  char text[16];
  std::snprintf(text, sizeof text, "%.1f", 0.5);
  const std::string localised = text;
  const float written[] = {0.5f, -1.25f};
  TapN = 2;
  evenTap = 0;
  TxtSave(path_.c_str(), written);
  const std::string file = ReadFile(path_);
  Load("0.75\n-2.5\n");
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(localised, "0,5");  // the locale does use a comma
  EXPECT_EQ(file, "0.500000\n-1.250000\n");
  EXPECT_EQ(TapN, 2);
  EXPECT_EQ(taps_[0], 0.75f);
  EXPECT_EQ(taps_[1], -2.5f);
}

// ---- The viewer's response of the designer's file ----

TEST_F(TapFileTest, ViewerResponseOfTheDesignersFile) {
  DesignBuiltIn(140);
  float designer_gain[kResponseSize], designer_phase[kResponseSize];
  CalcFres(designer_gain, designer_phase);
  TxtSave(path_.c_str(), hh);

  for (float& h : hh) h = 0.0f;  // the viewer starts with an empty array
  testing::internal::CaptureStdout();
  TxtLoad(path_.c_str(), hh);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "TapN = 140\n");
  CalcFres(Gain, Theta);

  int pass_points = 0;
  for (int i = 0; i < kResponsePoints; ++i) {
    if (designer_gain[i] < -1.0f) continue;
    ++pass_points;
    EXPECT_NEAR(Gain[i], designer_gain[i], 1e-4f) << "point " << i;
    EXPECT_NEAR(Theta[i], designer_phase[i], 1e-6f) << "point " << i;
  }
  EXPECT_GT(pass_points, 150);  // both copies of the pass band
  EXPECT_NEAR(designer_gain[179], -99.6f, 0.05f);
  EXPECT_NEAR(Gain[179], -95.0f, 0.05f);
}

}  // namespace
