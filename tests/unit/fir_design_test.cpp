// The FIR design chain: tap-count adjustment, desired response, inverse
// DFT and Kaiser window.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "fir/fir_design.h"
#include "fir_test_support.h"
#include "plot/shared_state.h"

namespace {

TEST(AdjustTapCount, MakesTheCountOddAndKeepsItInTheArray) {
  // requested, designed, evenTap, TapN_2
  const int cases[][4] = {{140, 139, 1, 69}, {139, 139, 0, 69}, {2, 1, 1, 0},       {1, 1, 0, 0},
                          {0, 1, 0, 0},      {-7, 1, 0, 0},     {400, 399, 1, 199}, {100000, 399, 1, 199}};
  for (const auto& c : cases) {
    TapN = c[0];
    AdjustTapCount();
    EXPECT_EQ(TapN, c[1]) << c[0];
    EXPECT_EQ(evenTap, c[2]) << c[0];
    EXPECT_EQ(TapN_2, c[3]) << c[0];
  }
}

// Bins in the inclusive pass ranges hold exactly 1.0, the others below
// `bins` exactly 1e-10f (0x2EDBE6FF, -200 dB), FresI 0.0 below `bins`;
// entries from `bins` up keep the fill value 99.
struct Layout {
  int type, bins;
  float fc1, fc2;
  std::vector<int> pass;  // first, last, first, last, ...
};

TEST(PutParam, BinLayouts) {
  const Layout layouts[] = {
      {kBandPass, 400, 2000, 8000, {36, 144, 255, 363}},
      {kLowPass, 400, 3000, 0, {0, 53, 346, 399}},
      {kHighPass, 400, 3000, 0, {54, 345}},
      {kBandReject, 400, 3000, 7000, {0, 53, 126, 273, 346, 399}},
      {kLowPass, 400, 2205, 0, {0, 39, 360, 399}},  // 400 * 2205 / 22050 is bin 40 exactly
      {kLowPass, 400, 0, 0, {}},                   // edge at 0 Hz: all stop
      {4, 400, 2000, 8000, {}},                    // unknown types: all stop
      {-1, 400, 2000, 8000, {}},
      {kBandPass, 400, -500, 30000, {0, 399}},     // edges held to bins 0 and 400
      {kBandPass, 400, 2000, 30000, {0, 363}},
      {kBandPass, 5000, 2000, 8000, {36, 144, 255, 363}},  // as 400 bins
      {kBandPass, 10, 2000, 8000, {0, 2, 7, 9}},           // bins 0.9 and 3.6
      {kBandPass, -3, 2000, 8000, {}},
  };
  Fsamp = 22050.0f;
  for (const Layout& l : layouts) {
    for (int i = 0; i < kMaxBins; ++i) FresR[i] = FresI[i] = 99.0f;
    FilType = l.type;
    FresN = l.bins;
    lpf_fc1 = hpf_fc1 = bpf_fc1 = brf_fc1 = l.fc1;
    bpf_fc2 = brf_fc2 = l.fc2;
    PutParam();
    const int bins = l.bins < 0 ? 0 : std::min(l.bins, kMaxBins);
    for (int k = 0; k < kMaxBins; ++k) {
      bool pass = false;
      for (size_t r = 0; r < l.pass.size(); r += 2) pass = pass || (k >= l.pass[r] && k <= l.pass[r + 1]);
      const uint32_t r = k >= bins ? Bits(99.0f) : (pass ? Bits(1.0f) : 0x2EDBE6FFu);
      const uint32_t i = k >= bins ? Bits(99.0f) : Bits(0.0f);
      ASSERT_EQ(Bits(FresR[k]), r) << "type " << l.type << " bins " << l.bins << " bin " << k;
      ASSERT_EQ(Bits(FresI[k]), i) << "type " << l.type << " bins " << l.bins << " bin " << k;
    }
  }
}

// Band-pass layout of 400 bins, hh filled with 7.0.
void SetUpIdft() {
  Pi = kPiAtLoad;
  Fsamp = 22050.0f;
  FresN = 400;
  FilType = kBandPass;
  bpf_fc1 = 2000.0f;
  bpf_fc2 = 8000.0f;
  PutParam();
  for (float& h : hh) h = 7.0f;
}

TEST(DoIdft, ReducedTransformMatchesTheFullOneToTheBit) {
  SetUpIdft();
  for (int k = 0; k < FresN; ++k) {  // arbitrary, so that the sine terms count too
    FresR[k] = static_cast<float>((k * 37) % 101) / 50.0f - 1.0f;
    FresI[k] = static_cast<float>((k * 53) % 89) / 40.0f - 1.0f;
  }
  // Reference: every x[n] from the definition.
  std::vector<float> x(FresN);
  for (int n = 0; n < FresN; ++n) {
    float sum = 0.0f;
    for (int k = 0; k < FresN; ++k) {
      const double theta = static_cast<float>(((2.0 * static_cast<double>(Pi)) * k) * n / FresN);
      sum = static_cast<float>(static_cast<double>(sum) + (static_cast<double>(FresR[k]) * std::cos(theta) -
                                                           static_cast<double>(FresI[k]) * std::sin(theta)));
    }
    x[n] = sum / static_cast<float>(FresN);
  }
  for (int centre : {0, 69, 199}) {
    TapN_2 = centre;
    DoIdft();
    for (int m = 0; m <= centre; ++m) {
      ASSERT_EQ(Bits(hh[centre - m]), Bits(x[m])) << centre << " " << m;
      ASSERT_EQ(Bits(hh[centre + m]), Bits(x[m])) << centre << " " << m;
    }
    for (int i = 2 * centre + 1; i < kMaxTaps; ++i) ASSERT_EQ(Bits(hh[i]), Bits(0.0f)) << centre << " " << i;
  }
}

TEST(DoIdft, CentreTapIsTheMeanOfTheSamples) {
  SetUpIdft();
  TapN_2 = 69;
  DoIdft();
  EXPECT_EQ(Bits(hh[69]), Bits(0.545f));  // 218 pass bins of 400

  for (int k = 0; k < FresN; ++k) FresR[k] = 1.0f;  // all pass
  TapN_2 = 199;
  DoIdft();
  EXPECT_EQ(hh[199], 1.0f);
  for (int m = 1; m <= 199; ++m) {
    EXPECT_LT(std::fabs(hh[199 + m]), m <= 69 ? 1e-6f : 1e-5f) << m;
    EXPECT_NE(hh[199 + m], 0.0f) << m;  // Pi is not exactly pi
  }
}

TEST(DoIdft, CountsOutsideTheDesignRange) {
  SetUpIdft();
  TapN_2 = 500;  // centre held to 199
  DoIdft();
  EXPECT_EQ(Bits(hh[199]), Bits(0.545f));
  EXPECT_EQ(Bits(hh[0]), Bits(hh[398]));
  EXPECT_NE(hh[0], 0.0f);
  EXPECT_EQ(hh[399], 0.0f);

  FresN = 10;  // taps further than 9 from the centre stay 0
  PutParam();
  TapN_2 = 69;
  DoIdft();
  EXPECT_EQ(hh[69], 0.6f);
  EXPECT_TRUE(hh[60] == hh[78] && hh[78] != 0.0f && hh[79] == 0.0f && hh[59] == 0.0f);

  for (int bins_centre : {0, 1}) {  // no bins, or a negative centre: no taps
    FresN = bins_centre ? 400 : 0;
    TapN_2 = bins_centre ? -1 : 69;
    DoIdft();
    for (int i = 0; i < kMaxTaps; ++i) ASSERT_EQ(hh[i], 0.0f) << i;
  }
}

TEST(BesselI0, SeriesValues) {
  EXPECT_EQ(BesselI0(0.0f), 1.0f);
  EXPECT_EQ(Bits(BesselI0(7.0f)), 0x4328980Au);  // 168.5939
  EXPECT_EQ(Bits(BesselI0(-7.0f)), 0x4328980Au);
  EXPECT_TRUE(std::isinf(BesselI0(1000.0f)));  // an overflowing series ends
}

// Taps of 1.0 up to n, then 5.0; after Kaiser(n, ...) hh[0 .. n-1] is the window.
void FillOnes(int n) {
  for (int i = 0; i < kMaxTaps; ++i) hh[i] = i < n ? 1.0f : 5.0f;
}

TEST(Kaiser, WindowOf139Taps) {
  FillOnes(139);
  Kaiser(139, 7.0f);
  EXPECT_EQ(hh[69], 1.0f);
  EXPECT_EQ(Bits(hh[0]), Bits(1.0f / BesselI0(7.0f)));  // 0.0059314
  for (int i = 0; i < 139; ++i) EXPECT_EQ(Bits(hh[i]), Bits(hh[138 - i])) << i;
  for (int i = 1; i <= 69; ++i) EXPECT_GT(hh[i], hh[i - 1]) << i;
  for (int i = 139; i < kMaxTaps; ++i) EXPECT_EQ(hh[i], 5.0f) << i;

  float positive[kMaxTaps];
  std::memcpy(positive, hh, sizeof positive);
  FillOnes(139);
  Kaiser(139, -7.0f);
  EXPECT_EQ(std::memcmp(positive, hh, sizeof positive), 0);
}

TEST(Kaiser, AlphaZeroLeavesTapsUnchanged) {
  for (int i = 0; i < kMaxTaps; ++i) hh[i] = static_cast<float>(i) * 0.37f - 11.0f;
  float before[kMaxTaps];
  std::memcpy(before, hh, sizeof before);
  Kaiser(139, 0.0f);
  EXPECT_EQ(std::memcmp(before, hh, sizeof before), 0);
}

TEST(Kaiser, LengthsOutsideTheDesignRange) {
  for (int n : {0, -1}) {
    FillOnes(kMaxTaps);
    Kaiser(n, 7.0f);
    for (int i = 0; i < kMaxTaps; ++i) ASSERT_EQ(hh[i], 1.0f) << n;
  }
  FillOnes(1);  // one tap is its own centre: 1.0, not 0 / 0
  hh[0] = 0.3f;
  Kaiser(1, 7.0f);
  EXPECT_EQ(hh[0], 0.3f);
  EXPECT_EQ(hh[1], 5.0f);

  FillOnes(kMaxTaps);  // longer than the array: a window over all of it
  Kaiser(100000, 7.0f);
  for (int i = 0; i < kMaxTaps; ++i) ASSERT_EQ(Bits(hh[i]), Bits(hh[kMaxTaps - 1 - i])) << i;
  EXPECT_EQ(Bits(hh[0]), Bits(1.0f / BesselI0(7.0f)));
}

}  // namespace
