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
#include "fir_test_support.h"
#include "plot/shared_state.h"

namespace {

using Lines = std::vector<std::string>;

class TapFileTest : public ::testing::Test {
 protected:
  void SetUp() override { path_ = testfiles::MakeTempDir() + "/coeff1.txt"; }

  Lines Written() const {
    Lines lines;
    std::istringstream in(testfiles::Read(path_));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  // Loads `content` into taps_ (filled with 9.0 first), capturing what the
  // reader prints.
  void Load(const std::string& content) {
    testfiles::Write(path_, content);
    for (float& t : taps_) t = 9.0f;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    TxtLoad(path_.c_str(), taps_);
    out_ = testing::internal::GetCapturedStdout();
    err_ = testing::internal::GetCapturedStderr();
  }

  std::string path_, out_, err_;
  float taps_[kMaxTaps + 1];  // one entry more than the reader may fill
};

TEST_F(TapFileTest, BuiltInDesignFile) {
  DesignBuiltIn(140);
  TxtSave(path_.c_str(), hh);
  const Lines lines = Written();
  ASSERT_EQ(lines.size(), 140u);
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + 5),
            (Lines{"-0.000022", "-0.000052", "0.000037", "-0.000005", "0.000033"}));
  EXPECT_EQ(Lines(lines.begin() + 67, lines.begin() + 72),
            (Lines{"-0.300360", "0.071436", "0.545000", "0.071436", "-0.300360"}));
  EXPECT_EQ(Lines(lines.end() - 4, lines.end()), (Lines{"0.000037", "-0.000052", "-0.000022", "0.000000"}));
  for (int k = 1; k <= 69; ++k) EXPECT_EQ(lines[k - 1], lines[139 - k]) << "line " << k;

  DesignBuiltIn(139);  // odd request: no zero line
  TxtSave(path_.c_str(), hh);
  ASSERT_EQ(Written().size(), 139u);
  EXPECT_EQ(Written().back(), "-0.000022");
}

TEST_F(TapFileTest, WriterNeverExceedsTheArray) {
  float taps[kMaxTaps];
  for (int i = 0; i < kMaxTaps; ++i) taps[i] = static_cast<float>(i);
  evenTap = 1;
  for (int count : {100000, 399}) {  // 400 taps; 399 taps and the zero tap
    TapN = count;
    TxtSave(path_.c_str(), taps);
    ASSERT_EQ(Written().size(), 400u);
    EXPECT_EQ(Written().back(), count == 399 ? "0.000000" : "399.000000");
  }
}

TEST_F(TapFileTest, WriteThenReadGivesSixDecimals) {
  const float written[] = {0.545f, -0.30036044f, 4.9e-7f, 1234.5678f, 1e-3f};
  TapN = 5;
  evenTap = 1;
  TxtSave(path_.c_str(), written);
  Load(testfiles::Read(path_));
  EXPECT_EQ(out_, "TapN = 6\n");
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(taps_[i], static_cast<float>(std::round(static_cast<double>(written[i]) * 1e6) / 1e6)) << i;
  }
  EXPECT_EQ(taps_[2], 0.0f);  // below half a millionth
  EXPECT_EQ(taps_[5], 0.0f);
  EXPECT_EQ(taps_[6], 9.0f);
}

TEST_F(TapFileTest, ReaderTakesWhatAtofTakes) {
  struct Case {
    std::string content;
    std::vector<float> taps;
  };
  const Case cases[] = {
      {"", {}},
      {"1.5\n\n-2.5\n", {1.5f, 0.0f, -2.5f}},  // a blank line is a zero tap
      {"0.25\n0.75", {0.25f, 0.75f}},          // no final newline
      {"1e-3\n+2.5\n   -0.125\n0.5\r\n7.25xyz\nabc\n0.1\n", {0.001f, 2.5f, -0.125f, 0.5f, 7.25f, 0.0f, 0.1f}},
      {"1.25" + std::string(35, ' ') + "3.5\n", {1.25f, 3.5f}},  // pieces of 39 characters
  };
  for (const Case& c : cases) {
    Load(c.content);
    const int n = static_cast<int>(c.taps.size());
    EXPECT_EQ(TapN, n);
    EXPECT_EQ(out_, "TapN = " + std::to_string(n) + "\n");
    EXPECT_EQ(err_, "");
    for (int i = 0; i < n; ++i) EXPECT_EQ(taps_[i], c.taps[i]) << i << " of " << c.content;
    EXPECT_EQ(taps_[n], 9.0f);
  }
}

TEST_F(TapFileTest, TapsBeyondTheArrayAreLeftOutWithANote) {
  std::string content;
  for (int i = 0; i < kMaxTaps; ++i) content += std::to_string(i) + "\n";
  Load(content);
  EXPECT_EQ(out_, "TapN = 400\n");
  EXPECT_EQ(err_, "");
  EXPECT_EQ(taps_[399], 399.0f);

  Load(content + "400\n401\n");
  EXPECT_EQ(TapN, 400);
  EXPECT_EQ(out_, "TapN = 400\n");
  EXPECT_EQ(err_, path_ + ": more than 400 taps; only the first 400 are used.\n");
  EXPECT_EQ(taps_[399], 399.0f);
  EXPECT_EQ(taps_[400], 9.0f);
}

TEST_F(TapFileTest, CannotBeOpenedEndsTheProcess) {
  const std::string out = path_ + ".out";
  const std::string missing = path_ + ".missing";
  EXPECT_EXIT((std::freopen(out.c_str(), "w", stdout), TxtLoad(missing.c_str(), hh)),
              ::testing::ExitedWithCode(1), "");
  EXPECT_EQ(testfiles::Read(out), missing + " cannot be opened.\n");

  const std::string no_dir = path_ + ".d/coeff1.txt";
  EXPECT_EXIT((std::freopen(out.c_str(), "w", stdout), TxtSave(no_dir.c_str(), hh)),
              ::testing::ExitedWithCode(1), "");
  EXPECT_EQ(testfiles::Read(out), no_dir + " cannot be opened.\n");
}

TEST_F(TapFileTest, DecimalPointInADecimalCommaLocale) {
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "locale de_DE.UTF-8 is not installed";
  char localised[16];
  std::snprintf(localised, sizeof localised, "%.1f", 0.5);
  const float written[] = {0.5f, -1.25f};
  TapN = 2;
  evenTap = 0;
  TxtSave(path_.c_str(), written);
  const std::string file = testfiles::Read(path_);
  Load("0.75\n-2.5\n");
  std::setlocale(LC_ALL, "C");
  EXPECT_STREQ(localised, "0,5");  // the locale does use a comma
  EXPECT_EQ(file, "0.500000\n-1.250000\n");
  EXPECT_EQ(taps_[0], 0.75f);
  EXPECT_EQ(taps_[1], -2.5f);
}

TEST_F(TapFileTest, ViewerResponseOfTheDesignersFile) {
  DesignBuiltIn(140);
  float designer_gain[kResponseSize], designer_phase[kResponseSize];
  CalcFres(designer_gain, designer_phase);
  TxtSave(path_.c_str(), hh);
  for (float& h : hh) h = 0.0f;  // as in the viewer at start
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
