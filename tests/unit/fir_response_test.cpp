// Gain and phase of a tap set at the 360 plot points.

#include <gtest/gtest.h>

#include <cmath>

#include "fir/fir_design.h"
#include "fir/taps.h"
#include "fir_test_support.h"
#include "plot/shared_state.h"

namespace {

class FirResponseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Pi = kPiAtLoad;
    for (int i = 0; i < kResponseSize; ++i) Gain[i] = Theta[i] = 123.0f;
  }
};

TEST_F(FirResponseTest, BuiltInDesignPoints) {
  DesignBuiltIn();
  CalcFres(Gain, Theta);
  struct Point {
    int i;
    float gain, gain_tol, phase;
  };
  const Point points[] = {{33, -4.234f, 5e-4f, 1.0306f},   {36, -0.395f, 5e-4f, 0.5593f},
                          {50, -0.00003f, 5e-6f, -0.5926f}, {100, -0.0002f, 5e-5f, -1.1162f},
                          {130, -4.770f, 5e-4f, 0.4546f},  {133, -18.13f, 5e-3f, -0.0166f}};
  for (const Point& p : points) {
    EXPECT_NEAR(Gain[p.i], p.gain, p.gain_tol) << "point " << p.i;
    EXPECT_NEAR(Theta[p.i], p.phase, 5e-5f) << "point " << p.i;
  }
  EXPECT_NEAR(Gain[145], -81.9f, 0.05f);
  for (int i = 0; i <= 180; ++i) {
    if (i > 26 && i < 137) continue;
    EXPECT_LT(Gain[i], -76.0f) << "point " << i;
  }
  for (int i = 360; i < kResponseSize; ++i) EXPECT_EQ(Gain[i], 123.0f) << i;
  for (int i = 360; i < kResponseSize; ++i) EXPECT_EQ(Theta[i], 123.0f) << i;
}

TEST_F(FirResponseTest, SymmetricTapsHaveLinearPhaseFoldedIntoHalfPi) {
  DesignBuiltIn();
  CalcFres(Gain, Theta);
  // Pass band: phase = -69 w folded into (-pi/2, pi/2).
  for (int i = 40; i <= 125; ++i) {
    const double w = static_cast<double>(i) * M_PI / 180.0 + 0.001;
    EXPECT_NEAR(Theta[i], std::atan(std::tan(-69.0 * w)), 2e-4) << "point " << i;
  }
}

TEST_F(FirResponseTest, TrailingZeroTapChangesNothing) {
  DesignBuiltIn();
  CalcFres(Gain, Theta);
  float gain[kResponseSize], phase[kResponseSize];
  TapN = 140;  // hh[139] is 0
  CalcFres(gain, phase);
  for (int i = 0; i < kResponsePoints; ++i) {
    EXPECT_EQ(Bits(gain[i]), Bits(Gain[i])) << i;
    EXPECT_EQ(Bits(phase[i]), Bits(Theta[i])) << i;
  }
}

TEST_F(FirResponseTest, SingleTapIsFlat) {
  for (float& h : hh) h = 0.0f;
  hh[0] = 1.0f;
  TapN = 1;
  CalcFres(Gain, Theta);
  for (int i = 0; i < kResponsePoints; ++i) {
    EXPECT_EQ(Gain[i], 0.0f) << i;
    EXPECT_EQ(Theta[i], 0.0f) << i;
  }
}

TEST_F(FirResponseTest, PointZeroIsAtOneMilliradian) {
  // A delay of one sample: phase -w, 0 dB.
  for (float& h : hh) h = 0.0f;
  hh[1] = 1.0f;
  TapN = 2;
  CalcFres(Gain, Theta);
  EXPECT_NEAR(Theta[0], -0.001f, 1e-9f);
  EXPECT_NEAR(Gain[0], 0.0f, 1e-6f);
  EXPECT_NEAR(Theta[45], -(M_PI / 4 + 0.001), 1e-6);
}

TEST_F(FirResponseTest, NoTapsGiveMinusInfinityAndNotANumber) {
  for (int taps : {0, -5}) {
    TapN = taps;
    CalcFres(Gain, Theta);
    for (int i = 0; i < kResponsePoints; ++i) {
      ASSERT_TRUE(std::isinf(Gain[i]) && Gain[i] < 0.0f) << i;
      ASSERT_TRUE(std::isnan(Theta[i])) << i;
    }
  }
}

TEST_F(FirResponseTest, CountBeyondTheArrayUsesAllOfIt) {
  for (int i = 0; i < kMaxTaps; ++i) hh[i] = std::sin(static_cast<float>(i) * 0.1f);
  TapN = kMaxTaps;
  CalcFres(Gain, Theta);
  float gain[kResponseSize], phase[kResponseSize];
  TapN = 1000000;
  CalcFres(gain, phase);
  for (int i = 0; i < kResponsePoints; ++i) {
    EXPECT_EQ(Bits(gain[i]), Bits(Gain[i])) << i;
    EXPECT_EQ(Bits(phase[i]), Bits(Theta[i])) << i;
  }
}

}  // namespace
