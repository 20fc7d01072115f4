// The FIR design chain: tap-count adjustment, desired response, inverse
// DFT and Kaiser window.

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "fir/fir_design.h"
#include "fir_test_support.h"
#include "plot/shared_state.h"

namespace {

constexpr uint32_t kStopBits = 0x2EDBE6FF;  // 1e-10f, the -200 dB amplitude

// ---- Tap-count adjustment ----

TEST(AdjustTapCount, MakesTheCountOddAndKeepsItInTheArray) {
  struct Case {
    int requested, taps, even, centre;
  };
  const Case cases[] = {{140, 139, 1, 69}, {139, 139, 0, 69}, {3, 3, 0, 1},    {2, 1, 1, 0},
                        {1, 1, 0, 0},      {0, 1, 0, 0},      {-7, 1, 0, 0},   {399, 399, 0, 199},
                        {400, 399, 1, 199}, {401, 399, 1, 199}, {100000, 399, 1, 199}};
  for (const Case& c : cases) {
    TapN = c.requested;
    evenTap = 5;
    AdjustTapCount();
    EXPECT_EQ(TapN, c.taps) << c.requested;
    EXPECT_EQ(evenTap, c.even) << c.requested;
    EXPECT_EQ(TapN_2, c.centre) << c.requested;
  }
}

// ---- Desired response ----

class PutParamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Fsamp = 22050.0f;
    FresN = 400;
    lpf_fc1 = hpf_fc1 = 3000.0f;
    bpf_fc1 = 2000.0f;
    bpf_fc2 = 8000.0f;
    brf_fc1 = 3000.0f;
    brf_fc2 = 7000.0f;
    for (int i = 0; i < kMaxBins; ++i) FresR[i] = FresI[i] = 99.0f;
  }

  // Every bin in one of the inclusive pass ranges holds exactly 1.0, every
  // other bin below `bins` exactly the stop amplitude, every FresI entry
  // below `bins` 0.0; entries from `bins` up keep the fill value 99.
  static void ExpectLayout(std::vector<std::pair<int, int>> pass, int bins = 400) {
    for (int k = 0; k < kMaxBins; ++k) {
      bool in_pass = false;
      for (const auto& r : pass) in_pass = in_pass || (k >= r.first && k <= r.second);
      if (k >= bins) {
        EXPECT_EQ(FresR[k], 99.0f) << "bin " << k;
        EXPECT_EQ(FresI[k], 99.0f) << "bin " << k;
      } else {
        EXPECT_EQ(Bits(FresR[k]), in_pass ? Bits(1.0f) : kStopBits) << "bin " << k;
        EXPECT_EQ(Bits(FresI[k]), Bits(0.0f)) << "bin " << k;
      }
    }
  }
};

TEST_F(PutParamTest, BandPassLayout) {
  FilType = kBandPass;
  PutParam();
  ExpectLayout({{36, 144}, {255, 363}});
}

TEST_F(PutParamTest, LowPassLayout) {
  FilType = kLowPass;
  PutParam();
  ExpectLayout({{0, 53}, {346, 399}});
}

TEST_F(PutParamTest, HighPassLayout) {
  FilType = kHighPass;
  PutParam();
  ExpectLayout({{54, 345}});
}

TEST_F(PutParamTest, BandRejectLayout) {
  FilType = kBandReject;
  PutParam();
  ExpectLayout({{0, 53}, {126, 273}, {346, 399}});
}

TEST_F(PutParamTest, EdgeOnAnExactBinIsThatBin) {
  FilType = kLowPass;
  lpf_fc1 = 2205.0f;  // 400 * 2205 / 22050 = 40 exactly
  PutParam();
  ExpectLayout({{0, 39}, {360, 399}});
}

TEST_F(PutParamTest, LowPassAtZeroHertzIsAllStop) {
  FilType = kLowPass;
  lpf_fc1 = 0.0f;
  PutParam();
  ExpectLayout({});
}

TEST_F(PutParamTest, UnknownTypeIsAllStop) {
  for (int type : {-1, 4, 1000}) {
    FilType = type;
    PutParam();
    ExpectLayout({});
  }
}

TEST_F(PutParamTest, EdgesOutsideZeroToFsampAreHeldToTheBinRange) {
  FilType = kBandPass;
  bpf_fc1 = -500.0f;   // bin 0
  bpf_fc2 = 30000.0f;  // beyond Fsamp: bin 400
  PutParam();
  ExpectLayout({{0, 399}});

  bpf_fc1 = 2000.0f;  // bin 36: [36, 400) and [0, 364) pass, [364, 400) stop
  PutParam();
  ExpectLayout({{0, 363}});
}

TEST_F(PutParamTest, BinCountIsHeldToTheArray) {
  FilType = kBandPass;
  FresN = 10;  // bins 0.9 and 3.6: pass bins 0 to 2 and 7 to 9
  PutParam();
  ExpectLayout({{0, 2}, {7, 9}}, 10);

  SetUp();
  FresN = -3;
  PutParam();
  ExpectLayout({}, 0);

  SetUp();
  FresN = 5000;  // as 400 bins
  PutParam();
  ExpectLayout({{36, 144}, {255, 363}});
}

// ---- Inverse DFT ----

class DoIdftTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Pi = kPiAtLoad;
    Fsamp = 22050.0f;
    FresN = 400;
    FilType = kBandPass;
    bpf_fc1 = 2000.0f;
    bpf_fc2 = 8000.0f;
    PutParam();
    for (float& h : hh) h = 7.0f;
  }
};

// The full transform x[0 .. FresN-1] straight from its definition, as a
// reference for the reduced one.
std::vector<float> FullInverseDft() {
  std::vector<float> x(FresN);
  for (int n = 0; n < FresN; ++n) {
    float sum = 0.0f;
    for (int k = 0; k < FresN; ++k) {
      const double theta_d = ((static_cast<double>(Pi) + static_cast<double>(Pi)) * k) * n / FresN;
      const double theta = static_cast<float>(theta_d);
      sum = static_cast<float>(static_cast<double>(sum) + (static_cast<double>(FresR[k]) * std::cos(theta) -
                                                           static_cast<double>(FresI[k]) * std::sin(theta)));
    }
    x[n] = sum;
  }
  for (float& v : x) v = v / static_cast<float>(FresN);
  return x;
}

TEST_F(DoIdftTest, BandPassTapsAreCentredSymmetricAndZeroBeyond) {
  TapN_2 = 69;
  DoIdft();
  EXPECT_EQ(Bits(hh[69]), Bits(0.545f));  // mean of 218 pass bins of 400
  for (int m = 1; m <= 69; ++m) EXPECT_EQ(Bits(hh[69 - m]), Bits(hh[69 + m])) << m;
  for (int i = 139; i < kMaxTaps; ++i) EXPECT_EQ(Bits(hh[i]), Bits(0.0f)) << i;
}

TEST_F(DoIdftTest, ReducedTransformMatchesTheFullOneToTheBit) {
  // Arbitrary complex samples, so that both the cosine and the sine terms count.
  for (int k = 0; k < FresN; ++k) {
    FresR[k] = static_cast<float>((k * 37) % 101) / 50.0f - 1.0f;
    FresI[k] = static_cast<float>((k * 53) % 89) / 40.0f - 1.0f;
  }
  const std::vector<float> x = FullInverseDft();
  for (int centre : {0, 1, 69, 199}) {
    TapN_2 = centre;
    DoIdft();
    for (int m = 0; m <= centre; ++m) {
      ASSERT_EQ(Bits(hh[centre - m]), Bits(x[m])) << "centre " << centre << " m " << m;
      ASSERT_EQ(Bits(hh[centre + m]), Bits(x[m])) << "centre " << centre << " m " << m;
    }
  }
}

TEST_F(DoIdftTest, AllPassGivesAUnitCentreTap) {
  for (int k = 0; k < FresN; ++k) FresR[k] = 1.0f;
  TapN_2 = 199;
  DoIdft();
  EXPECT_EQ(hh[199], 1.0f);
  for (int m = 1; m <= 199; ++m) {
    EXPECT_LT(std::fabs(hh[199 + m]), m <= 69 ? 1e-6f : 1e-5f) << m;
    EXPECT_NE(hh[199 + m], 0.0f) << m;  // Pi is not exactly pi
  }
}

TEST_F(DoIdftTest, SingleCentreTap) {
  TapN_2 = 0;
  DoIdft();
  EXPECT_EQ(Bits(hh[0]), Bits(0.545f));
  for (int i = 1; i < kMaxTaps; ++i) EXPECT_EQ(hh[i], 0.0f) << i;
}

TEST_F(DoIdftTest, CentreBeyondTheArrayIsHeldTo199) {
  TapN_2 = 500;
  DoIdft();
  EXPECT_EQ(Bits(hh[199]), Bits(0.545f));
  EXPECT_EQ(Bits(hh[0]), Bits(hh[398]));
  EXPECT_NE(hh[0], 0.0f);
  EXPECT_EQ(hh[399], 0.0f);
}

TEST_F(DoIdftTest, NegativeCentreOrNoBinsPlacesNoTap) {
  TapN_2 = -1;
  DoIdft();
  for (int i = 0; i < kMaxTaps; ++i) EXPECT_EQ(hh[i], 0.0f) << i;

  SetUp();
  TapN_2 = 69;
  FresN = 0;
  DoIdft();
  for (int i = 0; i < kMaxTaps; ++i) EXPECT_EQ(hh[i], 0.0f) << i;
}

TEST_F(DoIdftTest, TapsFurtherThanTheBinCountStayZero) {
  FresN = 10;
  PutParam();
  TapN_2 = 69;
  DoIdft();
  for (int m = 0; m <= 69; ++m) {
    EXPECT_EQ(Bits(hh[69 - m]), Bits(hh[69 + m])) << m;
    if (m >= 10) {
      EXPECT_EQ(hh[69 + m], 0.0f) << m;
    }
  }
  EXPECT_EQ(hh[69], 0.6f);  // 6 pass bins of 10
}

// ---- Kaiser window ----

TEST(BesselI0, SeriesValues) {
  EXPECT_EQ(BesselI0(0.0f), 1.0f);
  EXPECT_EQ(Bits(BesselI0(7.0f)), 0x4328980Au);  // 168.5939
  EXPECT_EQ(Bits(BesselI0(-7.0f)), 0x4328980Au);
  EXPECT_NEAR(BesselI0(1.0f), 1.2660659f, 1e-6f);
  // An overflowing series ends instead of looping.
  EXPECT_TRUE(std::isinf(BesselI0(1000.0f)));
}

class KaiserTest : public ::testing::Test {
 protected:
  // Taps of 1.0 up to `n`, then 5.0: after Kaiser, hh[0 .. n-1] is the window.
  void Fill(int n) {
    for (int i = 0; i < kMaxTaps; ++i) hh[i] = i < n ? 1.0f : 5.0f;
  }
};

TEST_F(KaiserTest, WindowOf139Taps) {
  Fill(139);
  Kaiser(139, 7.0f);
  EXPECT_EQ(hh[69], 1.0f);
  EXPECT_NEAR(hh[0], 0.0059314f, 1e-7f);
  EXPECT_EQ(Bits(hh[0]), Bits(1.0f / BesselI0(7.0f)));
  for (int i = 0; i < 139; ++i) EXPECT_EQ(Bits(hh[i]), Bits(hh[138 - i])) << i;
  for (int i = 1; i <= 69; ++i) EXPECT_GT(hh[i], hh[i - 1]) << i;
  for (int i = 139; i < kMaxTaps; ++i) EXPECT_EQ(hh[i], 5.0f) << i;
}

TEST_F(KaiserTest, AlphaZeroLeavesTapsUnchanged) {
  for (int i = 0; i < kMaxTaps; ++i) hh[i] = static_cast<float>(i) * 0.37f - 11.0f;
  float before[kMaxTaps];
  std::memcpy(before, hh, sizeof before);
  Kaiser(139, 0.0f);
  for (int i = 0; i < kMaxTaps; ++i) EXPECT_EQ(Bits(hh[i]), Bits(before[i])) << i;
}

TEST_F(KaiserTest, NegativeAlphaEqualsPositive) {
  Fill(139);
  Kaiser(139, 7.0f);
  float positive[kMaxTaps];
  std::memcpy(positive, hh, sizeof positive);
  Fill(139);
  Kaiser(139, -7.0f);
  for (int i = 0; i < kMaxTaps; ++i) EXPECT_EQ(Bits(hh[i]), Bits(positive[i])) << i;
}

TEST_F(KaiserTest, LengthsOutsideTheDesignRange) {
  for (int n : {0, -1, -1000}) {
    Fill(kMaxTaps);
    Kaiser(n, 7.0f);
    for (int i = 0; i < kMaxTaps; ++i) ASSERT_EQ(hh[i], 1.0f) << n;
  }

  // One tap is its own centre: window value 1.0, not a number 0 / 0.
  Fill(1);
  hh[0] = 0.3f;
  Kaiser(1, 7.0f);
  EXPECT_EQ(hh[0], 0.3f);
  EXPECT_EQ(hh[1], 5.0f);

  // Longer than the array: a window over all 400 entries.
  Fill(kMaxTaps);
  Kaiser(100000, 7.0f);
  for (int i = 0; i < kMaxTaps; ++i) {
    ASSERT_TRUE(std::isfinite(hh[i])) << i;
    ASSERT_EQ(Bits(hh[i]), Bits(hh[kMaxTaps - 1 - i])) << i;
  }
  EXPECT_EQ(Bits(hh[0]), Bits(1.0f / BesselI0(7.0f)));
}

// ---- The built-in design ----

TEST(BuiltInDesign, TapsToSixDecimals) {
  DesignBuiltIn();
  EXPECT_EQ(TapN, 139);
  EXPECT_EQ(evenTap, 1);
  EXPECT_EQ(TapN_2, 69);
  EXPECT_EQ(Bits(hh[69]), Bits(0.545f));
  EXPECT_NEAR(hh[68], 0.071436f, 5e-7f);
  EXPECT_NEAR(hh[67], -0.300360f, 5e-7f);
  EXPECT_NEAR(hh[0], -0.000022f, 5e-7f);
  float sum = 0.0f;
  for (int i = 0; i < 139; ++i) {
    EXPECT_EQ(Bits(hh[i]), Bits(hh[138 - i])) << i;
    sum += hh[i];
  }
  EXPECT_LT(std::fabs(sum), 1e-4f);
  for (int i = 139; i < kMaxTaps; ++i) EXPECT_EQ(hh[i], 0.0f) << i;
}

}  // namespace
