// Gain and phase of a tap set at the 360 plot points.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "fir/taps.h"
#include "fir_test_support.h"
#include "plot/shared_state.h"

namespace {

TEST(FirResponse, BuiltInDesignPoints) {
  DesignBuiltIn();
  for (int i = 0; i < kResponseSize; ++i) Gain[i] = Theta[i] = 123.0f;
  CalcFres(Gain, Theta);
  // point, gain (dB) and its tolerance, phase (rad)
  const float points[][4] = {{33, -4.234f, 5e-4f, 1.0306f},   {36, -0.395f, 5e-4f, 0.5593f},
                             {50, -0.00003f, 5e-6f, -0.5926f}, {100, -0.0002f, 5e-5f, -1.1162f},
                             {130, -4.770f, 5e-4f, 0.4546f},  {133, -18.13f, 5e-3f, -0.0166f}};
  for (const auto& p : points) {
    const int i = static_cast<int>(p[0]);
    EXPECT_NEAR(Gain[i], p[1], p[2]) << "point " << i;
    EXPECT_NEAR(Theta[i], p[3], 5e-5f) << "point " << i;
  }
  EXPECT_NEAR(Gain[145], -81.9f, 0.05f);
  for (int i = 0; i <= 180; ++i) {
    if (i <= 26 || i >= 137) {
      EXPECT_LT(Gain[i], -76.0f) << "point " << i;
    }
  }
  for (int i = kResponsePoints; i < kResponseSize; ++i) {
    EXPECT_EQ(Gain[i], 123.0f) << i;
    EXPECT_EQ(Theta[i], 123.0f) << i;
  }
}

// The response over `taps` taps, compared to the one already in Gain/Theta.
void ExpectSameResponse(int taps) {
  float gain[kResponseSize], phase[kResponseSize];
  TapN = taps;
  CalcFres(gain, phase);
  EXPECT_EQ(std::memcmp(gain, Gain, kResponsePoints * sizeof(float)), 0) << taps;
  EXPECT_EQ(std::memcmp(phase, Theta, kResponsePoints * sizeof(float)), 0) << taps;
}

TEST(FirResponse, TrailingZeroTapChangesNothing) {
  DesignBuiltIn();  // 139 taps, hh[139] = 0
  CalcFres(Gain, Theta);
  ExpectSameResponse(140);
}

TEST(FirResponse, CountBeyondTheArrayUsesAllOfIt) {
  for (int i = 0; i < kMaxTaps; ++i) hh[i] = std::sin(static_cast<float>(i) * 0.1f);
  TapN = kMaxTaps;
  CalcFres(Gain, Theta);
  ExpectSameResponse(1000000);
}

TEST(FirResponse, SingleTapsAndNoTaps) {
  Pi = kPiAtLoad;
  for (float& h : hh) h = 0.0f;
  hh[0] = 1.0f;
  TapN = 1;
  CalcFres(Gain, Theta);
  for (int i = 0; i < kResponsePoints; ++i) {
    ASSERT_EQ(Gain[i], 0.0f) << i;
    ASSERT_EQ(Theta[i], 0.0f) << i;
  }

  // A delay of one sample, phase -w: point 0 lies at 0.001 rad, point 45 at pi/4 + 0.001.
  hh[0] = 0.0f;
  hh[1] = 1.0f;
  TapN = 2;
  CalcFres(Gain, Theta);
  EXPECT_NEAR(Theta[0], -0.001f, 1e-9f);
  EXPECT_NEAR(Theta[45], -(M_PI / 4 + 0.001), 1e-6);
  EXPECT_NEAR(Gain[45], 0.0f, 1e-6f);

  TapN = 0;  // no taps: 0 / 0
  CalcFres(Gain, Theta);
  EXPECT_TRUE(std::isinf(Gain[10]) && Gain[10] < 0.0f);
  EXPECT_TRUE(std::isnan(Theta[10]));
}

}  // namespace
