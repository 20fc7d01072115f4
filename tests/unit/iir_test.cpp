// The recursive-filter chain, the cascade response and the coefficient
// file: published values of each stage, the coefficients of every type and
// order, properties of any design, and the file as written and read back.

#include <cmath>
#include <complex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "iir/cascade_response.h"
#include "iir/coeff_file.h"
#include "iir/iir_viewer.h"
#include "tests/support.h"

namespace {

// The chain as the designer runs it: its pi, 3 dB, 22050 Hz.
void Design(int type, int order, float fc1 = 2000.0f, float fc2 = 5000.0f) {
  ResetCoefficients();
  Pi = 3.14159f;
  FilType = type;
  OrderN = order;
  p_Fsamp = 22050.0f;
  p_fc = fc1;
  p_fc2 = fc2;
  p_AC = 3.0f;
  BasicFilCal();
  PreWarp();
  FreqTrans();
  SZTrans();
}

std::string Lines(int j) {
  char text[200];
  std::snprintf(text, sizeof text, "%f\n%f\n%f\n%f\n%f\n", p_a0[j], p_a1[j], p_a2[j], p_b1[j], p_b2[j]);
  return text;
}

const char kPassThrough[] = "1.000000\n0.000000\n0.000000\n0.000000\n0.000000\n";

// Gain (dB) and phase (rad) of sections 0 to n - 1 of (a0, a1, a2, b1, b2)
// at w, from the transfer function in double: each section's phase is
// arg N - arg D folded into -pi/2 to pi/2, as its principal arctangent is.
// False where a fold is too near to call the phase.
bool Response(const float* const s[5], int n, double w, double& gain, double& phase) {
  gain = phase = 0.0;
  bool near_fold = false;
  const std::complex<double> z = std::polar(1.0, -w);
  for (int j = 0; j < n; ++j) {
    const std::complex<double> h = (double(s[0][j]) + double(s[1][j]) * z + double(s[2][j]) * z * z) /
                                       (1.0 + double(s[3][j]) * z + double(s[4][j]) * z * z);
    const double folded = std::remainder(std::arg(h), M_PI);
    near_fold = near_fold || std::fabs(std::fabs(folded) - M_PI / 2) < 1e-3;
    gain += 20.0 * std::log10(std::abs(h));
    phase += folded;
  }
  return !near_fold;
}

TEST(IirDesign, PublishedValuesOfEachStage) {
  struct Value {
    int type, order;
    const float& value;
    double expected;
  };
  const Value values[] = {
      {kBandPass, 2, PD1, 1.415893},  {kBandPass, 2, PD0, 1.002377},   {kBandPass, 2, PN0, 1.002377},
      {kBandPass, 2, PD2, 1},         {kBandPass, 1, PD0, 1.002377},   {kBandPass, 1, PN0, 1.002377},
      {kBandPass, 1, PD1, 1},         {kBandPass, 1, PD2, 0},          {kBandPass, 2, fcp1, 2055.949},
      {kBandPass, 2, fcp2, 6061.896}, {kBandPass, 2, SH, 25199.99},    {kBandPass, 2, SD1, 24887.24},
      {kBandPass, 2, SD0, 1.138969e9}, {kBandPass, 2, TH, 25199.99},   {kBandPass, 2, TD1, 10750.90},
      {kBandPass, 2, TD0, 2.125435e8}, {kBandReject, 2, SD1, 24812.30}, {kBandReject, 2, SD0, 1.136552e9},
      {kBandReject, 2, TD1, 10741.32}, {kBandReject, 2, TD0, 2.129956e8}, {kBandReject, 2, SN0, 4.920169e8},
      {kBandReject, 2, TN0, 4.920169e8}, {kBandReject, 2, SH, 1},      {kBandReject, 2, TH, 1},
      {kLowPass, 2, SH, 1.672689e8},  {kLowPass, 2, SD0, 1.672689e8},  {kLowPass, 2, SD1, 18290.36},
      {kHighPass, 2, SD1, 18246.98},  {kHighPass, 2, SD0, 1.664764e8},
      // Monic denominators: s^2, or s alone in a first-order section.
      {kLowPass, 1, SD2, 0}, {kLowPass, 2, SD2, 1}, {kHighPass, 1, SD2, 0}, {kHighPass, 2, SD2, 1},
      {kBandPass, 1, SD2, 1}, {kBandPass, 2, TD2, 1}, {kBandReject, 1, SD2, 1}, {kBandReject, 2, TD2, 1},
  };
  for (const Value& v : values) {
    Design(v.type, v.order);
    // Within one unit of the 7th significant digit, as the values are printed.
    const double unit = v.expected == 0 ? 0 : std::pow(10.0, std::floor(std::log10(std::fabs(v.expected))) - 6);
    EXPECT_NEAR(v.value, v.expected, unit) << "type " << v.type << ", order " << v.order << ": " << v.expected;
    EXPECT_EQ(PN1, 0.0f);
    EXPECT_EQ(PN2, 0.0f);
  }
}

// The coefficients of every type and order at 2000 Hz and 5000 Hz, as
// printed, and the file the designer writes of them: two sections for the
// band types of order 2, one otherwise; every other entry pass-through.
TEST(IirDesign, CoefficientsAndFileOfEveryTypeAndOrder) {
  struct Row {
    int type, order;
    std::string file;
  };
  const Row rows[] = {
      {0, 1, "0.226975\n0.226975\n0.000000\n-0.546050\n0.000000\n"},
      {0, 2, "0.057310\n0.114619\n0.057310\n-1.218043\n0.447282\n"},
      {1, 1, "0.773857\n-0.773857\n0.000000\n-0.547714\n0.000000\n"},
      {1, 2, "0.666949\n-1.333899\n0.666949\n-1.219717\n0.448081\n"},
      {2, 1, "0.313467\n0.000000\n-0.313467\n-0.818598\n0.373067\n"},
      {2, 2, "0.265783\n0.000000\n-0.265783\n-0.385449\n0.475031\n0.422319\n0.000000\n-0.422319\n-1.316578\n0.639658\n"},
      {3, 1, "0.687554\n-0.819816\n0.687554\n-0.819816\n0.375109\n"},
      {3, 2, "0.583589\n-0.695851\n0.583589\n-0.387135\n0.475895\n0.926023\n-1.104157\n0.926023\n-1.316220\n0.639983\n"},
  };
  const std::string file = test::MakeTempDir() + "/coeff1.txt";
  for (const Row& row : rows) {
    Design(row.type, row.order);
    const bool two = row.file.size() > 50;
    EXPECT_EQ(Lines(0) + (two ? Lines(1) : ""), row.file) << "type " << row.type << ", order " << row.order;
    for (int j = two ? 2 : 1; j < kMaxSections; ++j) EXPECT_EQ(Lines(j), kPassThrough) << j;
    TxtSave(file.c_str());
    EXPECT_EQ(test::Read(file), row.file);
  }
}

// For any corners: the requested attenuation at each corner, unit gain of
// a low-pass at z = 1 and of a high-pass at z = -1, and the exact zeros of
// the band types.
TEST(IirDesign, PropertiesOfAnyDesign) {
  for (const auto& corners : {std::pair<float, float>{2000, 5000}, {1000, 3000}, {7000, 10000}}) {
    for (int type : {kLowPass, kHighPass, kBandPass, kBandReject}) {
      for (int order : {1, 2}) {
        SCOPED_TRACE(testing::Message() << corners.first << " Hz, type " << type << ", order " << order);
        Design(type, order, corners.first, corners.second);
        const float* const s[] = {p_a0, p_a1, p_a2, p_b1, p_b2};
        double gain, phase;
        for (float f : {corners.first, type >= kBandPass ? corners.second : corners.first}) {
          Response(s, kMaxSections, 2.0 * 3.14159f * f / 22050.0, gain, phase);
          EXPECT_NEAR(gain, -3.0, 0.0001) << f << " Hz";
        }
        for (int j = 0; j < (type >= kBandPass && order == 2 ? 2 : 1); ++j) {
          if (type == kLowPass) { EXPECT_NEAR(p_a0[j] + p_a1[j] + p_a2[j], 1.0f + p_b1[j] + p_b2[j], 1e-6); }
          if (type == kHighPass) { EXPECT_NEAR(p_a0[j] - p_a1[j] + p_a2[j], 1.0f - p_b1[j] + p_b2[j], 1e-6); }
          if (type == kBandPass) { EXPECT_TRUE(p_a1[j] == 0.0f && p_a2[j] == -p_a0[j]); }
          if (type == kBandReject) { EXPECT_TRUE(p_a2[j] == p_a0[j] && (order == 2 || p_a1[j] == p_b1[j])); }
          if (order == 1 && type <= kHighPass) { EXPECT_TRUE(p_a2[j] == 0.0f && p_b2[j] == 0.0f); }
        }
      }
    }
  }
}

TEST(CascadeResponse, DesignerPointsOfTheBuiltInBandPass) {
  Design(kBandPass, 2);
  for (int i = 0; i < kResponseSize; ++i) Gain[i] = Theta[i] = 42.0f;
  CalcFres(Gain, Theta);
  struct Point {
    int i;
    double gain, phase;
  };
  for (const Point& p : {Point{0, -117.89, 3.140}, {33, -2.78, 1.531}, {50, -0.00, 0.186}, {82, -3.13, -1.590},
                         {180, -141.81, 3.141}, {300, -0.01, 0.348}}) {
    EXPECT_NEAR(Gain[p.i], p.gain, 0.005) << "point " << p.i;
    EXPECT_NEAR(Theta[p.i], p.phase, 0.0005) << "point " << p.i;
  }
  for (int i = 0; i < kResponseSize; ++i) {
    if (i < kResponsePoints) { EXPECT_LE(std::fabs(Theta[i]), 3.1416f) << i; }
    if (i >= kResponsePoints) { EXPECT_TRUE(Gain[i] == 42.0f && Theta[i] == 42.0f) << i; }
  }
}

// Both variants give the transfer function's gain and phase: the designer's
// over its design, the viewer's over the file the designer wrote, which for
// the built-in band-pass agrees with the designer's own arrays (0.003 dB,
// 0.0001 rad, wherever the gain is above -60 dB).
TEST(CascadeResponse, BothVariantsFollowTheTransferFunction) {
  const std::string file = test::MakeTempDir() + "/coeff1.txt";
  for (const auto& design : {std::pair<int, int>{kLowPass, 2}, {kHighPass, 1}, {kBandReject, 2}, {kBandPass, 2}}) {
    Design(design.first, design.second);
    CalcFres(Gain, Theta);
    TxtSave(file.c_str());
    testing::internal::CaptureStdout();
    TxtLoad(file.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), design.second == 2 && design.first >= kBandPass
                                                           ? "BiquadN = 2\n" : "BiquadN = 1\n");
    float gain[kResponseSize], phase[kResponseSize];
    CascadeResponseDouble(BiquadSet{a0, a1, a2, b1, b2, BiquadN}, 3.1415925f, gain, phase);
    const float* const designed[] = {p_a0, p_a1, p_a2, p_b1, p_b2};
    const float* const loaded[] = {a0, a1, a2, b1, b2};
    for (int i = 0; i < kResponsePoints; ++i) {
      double g, p;
      const float w = static_cast<float>(double(i * 3.14159f) / 180.0 + 0.001);
      if (Response(designed, 2, w, g, p) && g > -60.0) {
        EXPECT_NEAR(Gain[i], g, 0.001) << "designer, point " << i;
        EXPECT_NEAR(Theta[i], p, 0.0001) << "designer, point " << i;
      }
      if (Response(loaded, BiquadN, double(i * 3.1415925f) / 180.0 + 0.001, g, p) && g > -60.0) {
        EXPECT_NEAR(gain[i], g, 1e-5) << "viewer, point " << i;
        EXPECT_NEAR(phase[i], p, 1e-6) << "viewer, point " << i;
      }
      if (design.first == kBandPass && Gain[i] > -60.0f) {
        EXPECT_NEAR(gain[i], Gain[i], 0.003) << i;
        EXPECT_NEAR(phase[i], Theta[i], 0.0001) << i;
      }
    }
  }
}

TEST(CascadeResponse, PassThroughSectionsAddExactlyNothing) {
  Design(kLowPass, 2);  // one entry, evaluated over two by the designer
  CalcFres(Gain, Theta);
  float gain[kResponseSize], phase[kResponseSize];
  CascadeResponseSingle(BiquadSet{p_a0, p_a1, p_a2, p_b1, p_b2, 1}, 3.14159f, gain, phase);
  EXPECT_EQ(std::memcmp(gain, Gain, sizeof(float) * kResponsePoints), 0);
  EXPECT_EQ(std::memcmp(phase, Theta, sizeof(float) * kResponsePoints), 0);
  ResetCoefficients();
  for (int count : {8, 0}) {
    CascadeResponseDouble(BiquadSet{p_a0, p_a1, p_a2, p_b1, p_b2, count}, 3.1415925f, gain, phase);
    for (int i = 0; i < kResponsePoints; ++i) ASSERT_TRUE(gain[i] == 0.0f && phase[i] == 0.0f) << count << " " << i;
  }
}

// The reader: line n is coefficient n mod 5 of section n div 5, whatever
// atof makes of it, in pieces of at most 39 characters, up to 40 lines;
// every coefficient that no line gives is pass-through.
TEST(CoeffFile, ReaderFillsTheSectionsLineByLine) {
  auto numbered = [](int n) {
    std::string s;
    for (int i = 1; i <= n; ++i) s += std::to_string(i) + "\n";
    return s;
  };
  struct Case {
    std::string content;
    int sections;
    std::vector<float> values;  // in file order
  };
  const Case cases[] = {
      {numbered(45), 8, {}},
      {numbered(5), 1, {1, 2, 3, 4, 5}},
      {numbered(6), 2, {1, 2, 3, 4, 5, 6}},
      {numbered(7), 2, {1, 2, 3, 4, 5, 6, 7}},
      {"", 0, {}},
      {"1e-3\n+0.25\n   -2.5\n\n0.75\r\n0.5 trailing\nabc\n3", 2, {1e-3f, 0.25f, -2.5f, 0, 0.75f, 0.5f, 0, 3}},
      {"0.125" + std::string(33, ' ') + "\n" + std::string(38, ' ') + "72.5     \n9\n", 1, {0.125f, 7, 2.5f, 9}},
  };
  const std::string file = test::MakeTempDir() + "/coeff.txt";
  for (const Case& c : cases) {
    test::Write(file, c.content);
    testing::internal::CaptureStdout();
    TxtLoad(file.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "BiquadN = " + std::to_string(c.sections) + "\n");
    const float* const slots[] = {a0, a1, a2, b1, b2};
    for (int n = 0; n < kMaxCoeffLines; ++n) {
      const float pass_through = n % 5 == 0 ? 1.0f : 0.0f;
      const float expected = c.sections == 8 ? float(n + 1) : (n < int(c.values.size()) ? c.values[n] : pass_through);
      EXPECT_EQ(slots[n % 5][n / 5], expected) << "line " << n << " of " << c.content.substr(0, 20);
    }
  }
}

// Writing then reading gives each coefficient to six decimals; a value too
// large for "%f" in a line stays one line and comes back whole.
TEST(CoeffFile, WrittenValuesComeBack) {
  const std::string file = test::MakeTempDir() + "/coeff1.txt";
  Design(kBandReject, 2);
  p_a0[1] = -3.0e35f;
  p_b2[1] = 1.0e30f;
  TxtSave(file.c_str());
  testing::internal::CaptureStdout();
  TxtLoad(file.c_str());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "BiquadN = 2\n");
  const float* const designed[] = {p_a0, p_a1, p_a2, p_b1, p_b2};
  const float* const loaded[] = {a0, a1, a2, b1, b2};
  for (int c = 0; c < 10; ++c) {
    const float v = designed[c % 5][c / 5];
    const float six = std::fabs(v) > 1e20f ? v : static_cast<float>(std::round(double(v) * 1e6) / 1e6);
    EXPECT_EQ(loaded[c % 5][c / 5], six) << c;
  }
}

}  // namespace
