// The biquad coefficient file: what the designer writes, what the viewer
// reads back, and the faults a real file or disk brings.

#include <locale.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "iir/coeff_file.h"
#include "iir/iir_viewer.h"
#include "plot/shared_state.h"
#include "tests/unit/iir_test_support.h"
#include "tests/unit/temp_files.h"

namespace {



class CoeffFileTest : public ::testing::Test {
 protected:
  std::string dir_ = testfiles::MakeTempDir();
  std::string file_ = dir_ + "/coeff1.txt";

  // Loads `content` and returns what the reader printed.
  std::string Load(const std::string& content) {
    testfiles::Write(file_, content);
    testing::internal::CaptureStdout();
    TxtLoad(file_.c_str());
    return testing::internal::GetCapturedStdout();
  }
};

TEST_F(CoeffFileTest, WriterSectionCountFollowsTheDesign) {
  DesignIir();
  TxtSave(file_.c_str());
  EXPECT_EQ(testfiles::Read(file_), kBuiltInCoeffFile);

  DesignIir(kLowPass, 2);
  TxtSave(file_.c_str());
  EXPECT_EQ(testfiles::Read(file_), "0.057310\n0.114619\n0.057310\n-1.218043\n0.447282\n");

  DesignIir(kBandPass, 1);
  TxtSave(file_.c_str());
  EXPECT_EQ(testfiles::Read(file_), "0.313467\n0.000000\n-0.313467\n-0.818598\n0.373067\n");
}

TEST_F(CoeffFileTest, DecimalCommaLocaleChangesNeitherWriterNorReader) {
  ASSERT_NE(setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "locale de_DE.UTF-8 is not installed";
  DesignIir();
  TxtSave(file_.c_str());
  const std::string written = testfiles::Read(file_);
  EXPECT_EQ(Load("0.5\n-1.25\n"), "BiquadN = 1\n");
  setlocale(LC_ALL, "C");
  EXPECT_EQ(written, kBuiltInCoeffFile);
  EXPECT_EQ(a0[0], 0.5f);
  EXPECT_EQ(a1[0], -1.25f);
}

TEST_F(CoeffFileTest, WriteThenReadGivesEachCoefficientToSixDecimals) {
  DesignIir(kBandReject, 2);
  TxtSave(file_.c_str());
  EXPECT_EQ(Load(testfiles::Read(file_)), "BiquadN = 2\n");
  const float* designed[] = {p_a0, p_a1, p_a2, p_b1, p_b2};
  const float* loaded[] = {a0, a1, a2, b1, b2};
  for (int c = 0; c < 5; ++c) {
    for (int j = 0; j < 2; ++j) {
      EXPECT_NEAR(loaded[c][j], designed[c][j], 0.5e-6 + 1e-7);
      EXPECT_EQ(loaded[c][j], static_cast<float>(std::round(double(designed[c][j]) * 1e6) / 1e6));
    }
  }
}

TEST_F(CoeffFileTest, ValuesTooLongForALineStayOneLine) {
  ResetCoefficients();
  FilType = kLowPass;
  OrderN = 2;
  p_a0[0] = -3.0e35f;
  p_b2[0] = 1.0e30f;
  TxtSave(file_.c_str());
  const std::string text = testfiles::Read(file_);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
  EXPECT_EQ(Load(text), "BiquadN = 1\n");
  EXPECT_EQ(a0[0], -3.0e35f);
  EXPECT_EQ(b2[0], 1.0e30f);
}

TEST_F(CoeffFileTest, SectionCountFromTheLinesRead) {
  auto lines = [](int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += std::to_string(i + 1) + "\n";
    return s;
  };
  EXPECT_EQ(Load(lines(5)), "BiquadN = 1\n");
  EXPECT_EQ(Load(lines(10)), "BiquadN = 2\n");

  // 6 lines: section 1 is a pure gain.
  EXPECT_EQ(Load(lines(6)), "BiquadN = 2\n");
  EXPECT_EQ(a0[1], 6.0f);
  EXPECT_EQ(a1[1], 0.0f);

  // 7 lines: section 1 has a0 and a1; the rest stay pass-through values.
  EXPECT_EQ(Load(lines(7)), "BiquadN = 2\n");
  EXPECT_EQ(a0[1], 6.0f);
  EXPECT_EQ(a1[1], 7.0f);
  EXPECT_EQ(a2[1], 0.0f);
  EXPECT_EQ(b1[1], 0.0f);
  EXPECT_EQ(b2[1], 0.0f);

  // 45 lines: 8 sections, lines 40 to 44 ignored.
  EXPECT_EQ(Load(lines(45)), "BiquadN = 8\n");
  EXPECT_EQ(b2[7], 40.0f);

  // No line at all: no section, and the cascade of none is flat.
  EXPECT_EQ(Load(""), "BiquadN = 0\n");
  EXPECT_EQ(a0[0], 1.0f);
}

TEST_F(CoeffFileTest, ReaderTakesWhatAtofTakes) {
  EXPECT_EQ(Load("1e-3\n+0.25\n   -2.5\n\n0.75\r\n0.5 trailing text\nabc\n3"), "BiquadN = 2\n");
  EXPECT_EQ(a0[0], 1e-3f);
  EXPECT_EQ(a1[0], 0.25f);
  EXPECT_EQ(a2[0], -2.5f);
  EXPECT_EQ(b1[0], 0.0f);  // blank line: 0, and it still counts
  EXPECT_EQ(b2[0], 0.75f);
  EXPECT_EQ(a0[1], 0.5f);
  EXPECT_EQ(a1[1], 0.0f);  // no number
  EXPECT_EQ(a2[1], 3.0f);  // last line without a newline
}

TEST_F(CoeffFileTest, LongLinesAreTakenInPiecesOf39Characters) {
  // 38 characters and a newline fit one read; 45 characters take two.
  const std::string fits = "0.125" + std::string(33, ' ') + "\n";
  const std::string split = std::string(38, ' ') + "7" + "2.5     \n";
  EXPECT_EQ(Load(fits + split + "9\n"), "BiquadN = 1\n");
  EXPECT_EQ(a0[0], 0.125f);
  EXPECT_EQ(a1[0], 7.0f);
  EXPECT_EQ(a2[0], 2.5f);
  EXPECT_EQ(b1[0], 9.0f);
}

TEST_F(CoeffFileTest, UnwritablePlaceExitsWithStatusOne) {
  DesignIir();
  const std::string missing = dir_ + "/no such dir/coeff1.txt";
  EXPECT_EXIT(TxtSave(missing.c_str()), ::testing::ExitedWithCode(1), "");
  EXPECT_EXIT(TxtLoad(missing.c_str()), ::testing::ExitedWithCode(1), "");
}

TEST_F(CoeffFileTest, FailedWriteKeepsTheEarlierFileWhole) {
  DesignIir();
  testfiles::Write(file_, "earlier\n");
  const std::string out = dir_ + "/stdout";
  const auto save_over_limit = [&] {
    if (chdir(dir_.c_str()) != 0 || !std::freopen("stdout", "w", stdout)) return;
    rlimit limit;
    limit.rlim_cur = limit.rlim_max = 40;  // bytes: room for the message, not the ten lines
    setrlimit(RLIMIT_FSIZE, &limit);
    TxtSave("coeff1.txt");
  };
  EXPECT_EXIT(save_over_limit(), ::testing::ExitedWithCode(1), "");
  EXPECT_EQ(testfiles::Read(out), "coeff1.txt cannot be written.\n");
  EXPECT_EQ(testfiles::Read(file_), "earlier\n");
}

}  // namespace
