// Biquad-cascade response: the designer's points, pass-through sections,
// and the viewer's double-precision response of the file the designer writes.

#include <cmath>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "iir/cascade_response.h"
#include "iir/coeff_file.h"
#include "iir/iir_viewer.h"
#include "plot/shared_state.h"
#include "tests/unit/iir_test_support.h"
#include "tests/unit/temp_files.h"

namespace {


TEST(DesignerResponse, PointsOfTheBuiltInBandPass) {
  DesignIir();
  CalcFres(Gain, Theta);
  struct Point {
    int i;
    double gain, phase;
  };
  // Gains to two decimals, phases to three.
  for (const Point& p : {Point{0, -117.89, 3.140}, {33, -2.78, 1.531}, {50, -0.00, 0.186},
                         {82, -3.13, -1.590}, {180, -141.81, 3.141}, {300, -0.01, 0.348}}) {
    EXPECT_NEAR(Gain[p.i], p.gain, 0.005) << "point " << p.i;
    EXPECT_NEAR(Theta[p.i], p.phase, 0.0005) << "point " << p.i;
  }
  for (int i = 0; i < kResponsePoints; ++i) {
    EXPECT_LE(std::fabs(Theta[i]), static_cast<float>(M_PI)) << "point " << i;
  }
}

TEST(DesignerResponse, WritesOnlyTheFirst360Entries) {
  DesignIir();
  float gain[kResponseSize], phase[kResponseSize];
  for (int i = 0; i < kResponseSize; ++i) gain[i] = phase[i] = 42.0f;
  CalcFres(gain, phase);
  EXPECT_NE(gain[359], 42.0f);
  for (int i = kResponsePoints; i < kResponseSize; ++i) {
    EXPECT_EQ(gain[i], 42.0f);
    EXPECT_EQ(phase[i], 42.0f);
  }
}

TEST(DesignerResponse, PassThroughSectionsAddExactlyNothing) {
  // A one-section design evaluated over two entries equals one entry alone.
  DesignIir(kLowPass, 2);
  CalcFres(Gain, Theta);
  float gain[kResponseSize], phase[kResponseSize];
  CascadeResponseSingle(BiquadSet{p_a0, p_a1, p_a2, p_b1, p_b2, 1}, Pi, gain, phase);
  EXPECT_EQ(std::memcmp(gain, Gain, sizeof(float) * kResponsePoints), 0);
  EXPECT_EQ(std::memcmp(phase, Theta, sizeof(float) * kResponsePoints), 0);

  // Only pass-through sections: 0 dB and 0 rad everywhere, in both precisions.
  ResetCoefficients();
  const BiquadSet flat{p_a0, p_a1, p_a2, p_b1, p_b2, 8};
  CascadeResponseDouble(flat, kPiAtLoad, gain, phase);
  for (int i = 0; i < kResponsePoints; ++i) {
    EXPECT_EQ(gain[i], 0.0f);
    EXPECT_EQ(phase[i], 0.0f);
  }
}

TEST(ViewerResponse, AgreesWithTheDesignerOnTheFileItWrites) {
  DesignIir();
  CalcFres(Gain, Theta);
  const std::string file = testfiles::MakeTempDir() + "/coeff1.txt";
  TxtSave(file.c_str());
  testing::internal::CaptureStdout();
  TxtLoad(file.c_str());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "BiquadN = 2\n");

  float gain[kResponseSize], phase[kResponseSize];
  CascadeResponseDouble(BiquadSet{a0, a1, a2, b1, b2, BiquadN}, kPiAtLoad, gain, phase);
  int compared = 0;
  for (int i = 0; i < kResponsePoints; ++i) {
    if (Gain[i] <= -60.0f) continue;
    ++compared;
    EXPECT_NEAR(gain[i], Gain[i], 0.003) << "point " << i;
    EXPECT_NEAR(phase[i], Theta[i], 0.0001) << "point " << i;
  }
  EXPECT_GT(compared, 200);
}

TEST(ViewerResponse, ManySectionsLeaveThePhaseRange) {
  // Four copies of a band-pass section: the phase is the plain sum of four
  // arctangents and reaches beyond pi.
  DesignIir();
  float s0[kMaxSections], s1[kMaxSections], s2[kMaxSections], s3[kMaxSections], s4[kMaxSections];
  for (int j = 0; j < 4; ++j) {
    s0[j] = p_a0[1];
    s1[j] = p_a1[1];
    s2[j] = p_a2[1];
    s3[j] = p_b1[1];
    s4[j] = p_b2[1];
  }
  float gain[kResponseSize], phase[kResponseSize];
  CascadeResponseDouble(BiquadSet{s0, s1, s2, s3, s4, 4}, kPiAtLoad, gain, phase);
  float largest = 0.0f;
  for (int i = 0; i < kResponsePoints; ++i) largest = std::fmax(largest, std::fabs(phase[i]));
  EXPECT_GT(largest, static_cast<float>(M_PI));
  EXPECT_LE(largest, static_cast<float>(2.0 * M_PI));
}

}  // namespace
