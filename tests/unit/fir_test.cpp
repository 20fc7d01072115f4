// The FIR chain, its response and the tap file: the tap count, the bins of
// the desired response, the inverse DFT, the Kaiser window, the designer's
// file and response, and the file as written and read back.

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fir/fir_design.h"
#include "fir/tap_file.h"
#include "tests/support.h"

namespace {

using test::Bits;

// The designer's chain with its built-in parameters for a requested count.
void Design(int requested_taps) {
  Pi = 3.1415925f;
  Fsamp = 22050.0f;
  FresN = 400;
  bpf_fc1 = 2000.0f;
  bpf_fc2 = 8000.0f;
  alpha = 7.0f;
  FilType = kBandPass;
  TapN = requested_taps;
  AdjustTapCount();
  PutParam();
  DoIdft();
  Kaiser(TapN, alpha);
}

const std::string kTapFile = test::MakeTempDir() + "/taps.txt";

// Loads `content` as a tap file into `taps`; returns what the reader
// printed on standard output and, after a '|', on standard error.
std::string Load(const std::string& content, float* taps) {
  const std::string& file = kTapFile;
  test::Write(file, content);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  TxtLoad(file.c_str(), taps);
  const std::string out = testing::internal::GetCapturedStdout();
  return out + "|" + testing::internal::GetCapturedStderr();
}

TEST(FirDesign, TapCountIsMadeOddAndKeptInTheArray) {
  // requested, designed, evenTap, TapN_2
  for (const auto& c : std::vector<std::vector<int>>{{140, 139, 1, 69}, {139, 139, 0, 69}, {2, 1, 1, 0}, {1, 1, 0, 0},
                                                     {0, 1, 0, 0}, {-7, 1, 0, 0}, {400, 399, 1, 199},
                                                     {100000, 399, 1, 199}}) {
    TapN = c[0];
    AdjustTapCount();
    EXPECT_EQ(std::vector<int>({c[0], TapN, evenTap, TapN_2}), c);
  }
}

// Pass bins (the inclusive ranges listed) hold exactly 1.0, the other bins
// exactly 1e-10f (-200 dB, 0x2EDBE6FF), FresI 0.0; entries from FresN up
// keep what they held.
TEST(FirDesign, BinsOfTheDesiredResponse) {
  struct Layout {
    int type, bins;
    float fc1, fc2;
    std::vector<int> pass;  // first, last, first, last, ...
  };
  const Layout layouts[] = {
      {kBandPass, 400, 2000, 8000, {36, 144, 255, 363}},
      {kLowPass, 400, 3000, 0, {0, 53, 346, 399}},
      {kHighPass, 400, 3000, 0, {54, 345}},
      {kBandReject, 400, 3000, 7000, {0, 53, 126, 273, 346, 399}},
      {kLowPass, 400, 2205, 0, {0, 39, 360, 399}},  // 400 * 2205 / 22050 is bin 40 exactly
      {kLowPass, 400, 0, 0, {}},                   // an edge at 0 Hz: all stop
      {4, 400, 2000, 8000, {}},                    // unknown types: all stop
      {-1, 400, 2000, 8000, {}},
      {kBandPass, 400, -500, 30000, {0, 399}},  // edges held to bins 0 and 400
      {kBandPass, 400, 2000, 30000, {0, 363}},
      {kBandPass, 400, std::nanf(""), 8000, {0, 144, 255, 399}},
      {kBandPass, 5000, 2000, 8000, {36, 144, 255, 363}},  // as 400 bins
      {kBandPass, 10, 2000, 8000, {0, 2, 7, 9}},           // bins 0.9 and 3.6
      {kBandPass, -3, 2000, 8000, {}},
  };
  Fsamp = 22050.0f;
  for (const Layout& l : layouts) {
    std::fill_n(FresR, kMaxBins, 99.0f);
    std::fill_n(FresI, kMaxBins, 99.0f);
    FilType = l.type;
    FresN = l.bins;
    lpf_fc1 = hpf_fc1 = bpf_fc1 = brf_fc1 = l.fc1;
    bpf_fc2 = brf_fc2 = l.fc2;
    PutParam();
    const int bins = std::clamp(l.bins, 0, kMaxBins);
    for (int k = 0; k < kMaxBins; ++k) {
      bool pass = false;
      for (size_t r = 0; r < l.pass.size(); r += 2) pass = pass || (k >= l.pass[r] && k <= l.pass[r + 1]);
      const uint32_t r = k >= bins ? Bits(99.0f) : (pass ? Bits(1.0f) : 0x2EDBE6FFu);
      ASSERT_EQ(Bits(FresR[k]), r) << "type " << l.type << ", " << l.bins << " bins, bin " << k;
      ASSERT_EQ(Bits(FresI[k]), k >= bins ? Bits(99.0f) : 0u) << "type " << l.type << ", bin " << k;
    }
  }
}

TEST(FirDesign, InverseDftPlacesTheTapsAboutTheCentre) {
  Design(140);
  std::fill_n(hh, kMaxTaps, 7.0f);
  TapN_2 = 69;
  DoIdft();
  EXPECT_EQ(Bits(hh[69]), Bits(0.545f));  // the mean of the samples: 218 pass bins of 400
  for (int m = 1; m <= 69; ++m) EXPECT_EQ(Bits(hh[69 - m]), Bits(hh[69 + m])) << m;
  for (int i = 139; i < kMaxTaps; ++i) ASSERT_EQ(hh[i], 0.0f) << i;

  TapN_2 = 0;  // one tap
  DoIdft();
  EXPECT_TRUE(Bits(hh[0]) == Bits(0.545f) && hh[1] == 0.0f);
  TapN_2 = 500;  // centre held to 199, the longest symmetric set that fits
  DoIdft();
  EXPECT_TRUE(Bits(hh[199]) == Bits(0.545f) && hh[0] == hh[398] && hh[0] != 0.0f && hh[399] == 0.0f);

  std::fill_n(FresR, kMaxBins, 1.0f);  // all pass: 1.0 at the centre, next to nothing elsewhere
  TapN_2 = 199;
  DoIdft();
  EXPECT_EQ(hh[199], 1.0f);
  for (int m = 1; m <= 199; ++m) {
    EXPECT_TRUE(std::fabs(hh[199 + m]) < (m <= 69 ? 1e-6f : 1e-5f) && hh[199 + m] != 0.0f) << m;
  }

  // The imaginary parts count: x[m] = -sin(2 pi m / 4) / 4 for a single
  // imaginary sample at bin 1 of 4.
  FresN = 4;
  std::fill_n(FresR, 4, 0.0f);
  std::fill_n(FresI, 4, 0.0f);
  FresI[1] = 1.0f;
  TapN_2 = 1;
  DoIdft();
  EXPECT_NEAR(hh[0], -0.25f, 1e-7f);
  EXPECT_NEAR(hh[1], 0.0f, 1e-7f);
  EXPECT_EQ(hh[2], hh[0]);

  FresN = 10;  // taps further than FresN - 1 from the centre stay 0
  PutParam();
  TapN_2 = 69;
  DoIdft();
  EXPECT_TRUE(hh[69] == 0.6f && hh[60] == hh[78] && hh[78] != 0.0f && hh[79] == 0.0f && hh[59] == 0.0f);
  FresN = 1;  // one bin: the one tap is that bin
  PutParam();
  TapN_2 = 0;
  DoIdft();
  EXPECT_EQ(Bits(hh[0]), 0x2EDBE6FFu);
  for (const auto& [bins, centre] : {std::pair<int, int>{0, 69}, {400, -1}}) {  // no bins, or no centre: no taps
    FresN = bins;
    TapN_2 = centre;
    DoIdft();
    EXPECT_EQ(std::count(hh, hh + kMaxTaps, 0.0f), kMaxTaps) << bins;
  }
}

TEST(FirDesign, KaiserWindow) {
  EXPECT_EQ(BesselI0(0.0f), 1.0f);
  EXPECT_EQ(Bits(BesselI0(7.0f)), 0x4328980Au);  // 168.5939
  EXPECT_EQ(Bits(BesselI0(-7.0f)), 0x4328980Au);
  EXPECT_TRUE(std::isinf(BesselI0(1000.0f)));  // an overflowing series ends
  const uint32_t end = Bits(1.0f / BesselI0(7.0f));  // 0.0059314
  // Taps of 1.0 up to n, then 5.0: after the window hh[0 .. n-1] is the window.
  auto window = [](int n, int taps, float a) {
    for (int i = 0; i < kMaxTaps; ++i) hh[i] = i < taps ? 1.0f : 5.0f;
    Kaiser(n, a);
    return std::vector<float>(hh, hh + kMaxTaps);
  };
  const std::vector<float> w = window(139, 139, 7.0f);
  EXPECT_TRUE(w[69] == 1.0f && Bits(w[0]) == end && w[139] == 5.0f && w[399] == 5.0f);
  for (int i = 0; i < 139; ++i) EXPECT_EQ(Bits(w[i]), Bits(w[138 - i])) << i;
  for (int i = 1; i <= 69; ++i) EXPECT_GT(w[i], w[i - 1]) << i;
  EXPECT_EQ(window(139, 139, -7.0f), w);
  EXPECT_EQ(window(139, 139, 0.0f), window(0, 139, 7.0f)) << "alpha 0: rectangular";
  EXPECT_EQ(window(0, kMaxTaps, 7.0f), window(-1, kMaxTaps, 0.5f)) << "no window";
  EXPECT_EQ(window(0, kMaxTaps, 7.0f), std::vector<float>(kMaxTaps, 1.0f));
  EXPECT_EQ(window(1, 1, 7.0f)[0], 1.0f) << "one tap is its own centre";
  const std::vector<float> all = window(100000, kMaxTaps, 7.0f);  // a window over the whole array
  EXPECT_TRUE(Bits(all[0]) == end && all[0] == all[399] && all[199] == all[200] && all[199] < 1.0f);
}

// The built-in design's file, as printed: 139 taps about 0.545 and a final
// zero tap; an odd request writes no zero tap.
TEST(FirDesign, TheDesignersFile) {
  const std::string file = test::MakeTempDir() + "/coeff1.txt";
  Design(140);
  TxtSave(file.c_str(), hh);
  const std::string text = test::Read(file);
  EXPECT_EQ(text, test::Read(TEST_DATA_DIR "/tavrine_coeff1.txt"));
  const std::string head = "-0.000022\n-0.000052\n0.000037\n-0.000005\n0.000033\n";
  const std::string tail = "\n0.000037\n-0.000052\n-0.000022\n0.000000\n";
  EXPECT_EQ(text.substr(0, head.size()), head);
  EXPECT_NE(text.find("\n-0.300360\n0.071436\n0.545000\n0.071436\n-0.300360\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  double sum = 0;
  for (int i = 0; i < 139; ++i) sum += hh[i];
  EXPECT_LT(std::fabs(sum), 1e-4);
  Design(139);
  TxtSave(file.c_str(), hh);
  EXPECT_EQ(test::Read(file), text.substr(0, text.size() - 9));
}

TEST(FirResponse, PointsOfTheBuiltInDesign) {
  Design(140);
  std::fill_n(Gain, kResponseSize, 123.0f);
  std::fill_n(Theta, kResponseSize, 123.0f);
  CalcFres(Gain, Theta);
  // point, gain (dB) and its tolerance, phase (rad)
  for (const auto& p : std::vector<std::vector<float>>{{33, -4.234f, 5e-4f, 1.0306f}, {36, -0.395f, 5e-4f, 0.5593f},
                                                       {50, -0.00003f, 5e-6f, -0.5926f}, {100, -0.0002f, 5e-5f, -1.1162f},
                                                       {130, -4.770f, 5e-4f, 0.4546f}, {133, -18.13f, 5e-3f, -0.0166f},
                                                       {145, -81.9f, 0.05f, Theta[145]}}) {
    EXPECT_NEAR(Gain[int(p[0])], p[1], p[2]) << "point " << p[0];
    EXPECT_NEAR(Theta[int(p[0])], p[3], 5e-5f) << "point " << p[0];
  }
  for (int i = 0; i < kResponseSize; ++i) {
    if (i <= 26 || (i >= 137 && i <= 180)) { EXPECT_LT(Gain[i], -76.0f) << i; }
    if (i >= kResponsePoints) { EXPECT_TRUE(Gain[i] == 123.0f && Theta[i] == 123.0f) << i; }
  }
}

// The response of a tap set: a trailing zero tap and a count beyond the
// array change nothing; one tap is flat; a delay of one sample has phase
// -w; no taps give minus infinity and no phase.
TEST(FirResponse, SimpleTapSets) {
  auto response = [](int taps) {
    std::vector<float> r(2 * kResponseSize);
    TapN = taps;
    CalcFres(r.data(), r.data() + kResponseSize);
    return r;
  };
  Design(140);
  EXPECT_EQ(response(139), response(140));
  for (int i = 0; i < kMaxTaps; ++i) hh[i] = std::sin(float(i) * 0.1f);
  EXPECT_EQ(response(400), response(1000000));
  std::fill_n(hh, kMaxTaps, 0.0f);
  hh[0] = 1.0f;
  hh[1] = 0.5f;  // beyond the count: not read
  const std::vector<float> flat = response(1);
  EXPECT_EQ(std::count(flat.begin(), flat.begin() + kResponsePoints, 0.0f), kResponsePoints);
  EXPECT_EQ(std::count(flat.begin() + kResponseSize, flat.end() - 40, 0.0f), kResponsePoints);
  hh[0] = 0.0f;
  hh[1] = 1.0f;
  hh[2] = 0.5f;
  const std::vector<float> delay = response(2);
  EXPECT_NEAR(delay[kResponseSize + 0], -0.001f, 1e-9f);  // point 0 lies at 0.001 rad
  EXPECT_NEAR(delay[kResponseSize + 45], -(M_PI / 4 + 0.001), 1e-6);
  EXPECT_NEAR(delay[45], 0.0f, 1e-6f);
  const std::vector<float> none = response(0);
  EXPECT_TRUE(std::isinf(none[10]) && none[10] < 0 && std::isnan(none[kResponseSize + 10]));
}

// The viewer on the designer's file: within 0.0001 dB and a millionth of a
// radian in the pass band; the six-decimal taps move the deep stop band.
TEST(FirResponse, ViewerOfTheDesignersFile) {
  Design(140);
  float gain[kResponseSize], phase[kResponseSize];
  CalcFres(gain, phase);
  std::fill_n(hh, kMaxTaps, 0.0f);
  EXPECT_EQ(Load(test::Read(TEST_DATA_DIR "/tavrine_coeff1.txt"), hh), "TapN = 140\n|");
  CalcFres(Gain, Theta);
  int pass_points = 0;
  for (int i = 0; i < kResponsePoints; ++i) {
    if (gain[i] < -1.0f) continue;
    ++pass_points;
    EXPECT_NEAR(Gain[i], gain[i], 1e-4f) << i;
    EXPECT_NEAR(Theta[i], phase[i], 1e-6f) << i;
  }
  EXPECT_GT(pass_points, 150);
  EXPECT_NEAR(gain[179], -99.6f, 0.05f);
  EXPECT_NEAR(Gain[179], -95.0f, 0.05f);
}

// The writer: six decimals, a final zero tap for an even request, never
// more lines than the array holds. The reader: whatever atof makes of each
// piece of at most 39 characters, at most 400 taps, nothing else touched.
TEST(TapFile, WrittenAndRead) {
  const std::string file = test::MakeTempDir() + "/taps.txt";
  float taps[kMaxTaps + 1];
  for (int i = 0; i < kMaxTaps; ++i) taps[i] = float(i);
  evenTap = 1;
  for (const auto& [count, last] : {std::pair<int, std::string>{100000, "399.000000\n"}, {399, "0.000000\n"}}) {
    TapN = count;
    TxtSave(file.c_str(), taps);
    const std::string text = test::Read(file);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 400);
    EXPECT_EQ(text.substr(text.rfind('\n', text.size() - 2) + 1), last);
  }
  const float written[] = {0.545f, -0.30036044f, 4.9e-7f, 1234.5678f, 1e-3f, 3e35f};
  TapN = 6;
  TxtSave(file.c_str(), written);
  std::fill_n(taps, kMaxTaps + 1, 9.0f);
  EXPECT_EQ(Load(test::Read(file), taps), "TapN = 7\n|");
  for (int i = 0; i < 5; ++i) EXPECT_EQ(taps[i], float(std::round(double(written[i]) * 1e6) / 1e6)) << i;
  EXPECT_TRUE(taps[2] == 0.0f && taps[5] == 3e35f && taps[6] == 0.0f && taps[7] == 9.0f);

  struct Case {
    std::string content;
    std::vector<float> taps;
  };
  std::string full;
  for (int i = 0; i < kMaxTaps; ++i) full += std::to_string(i) + "\n";
  for (const Case& c : {Case{"", {}}, {"1.5\n\n-2.5\n", {1.5f, 0.0f, -2.5f}}, {"0.25\n0.75", {0.25f, 0.75f}},
                        {"1e-3\n+2.5\n   -0.125\n0.5\r\n7.25xyz\nabc\n", {0.001f, 2.5f, -0.125f, 0.5f, 7.25f, 0}},
                        {"1.25" + std::string(35, ' ') + "3.5\n", {1.25f, 3.5f}}, {full, {0, 1}}}) {
    std::fill_n(taps, kMaxTaps + 1, 9.0f);
    const int n = c.content == full ? kMaxTaps : int(c.taps.size());
    EXPECT_EQ(Load(c.content, taps), "TapN = " + std::to_string(n) + "\n|");
    EXPECT_EQ(TapN, n);
    EXPECT_EQ(std::vector<float>(taps, taps + c.taps.size()), c.taps);
    EXPECT_TRUE(taps[n] == 9.0f && (n < kMaxTaps || taps[kMaxTaps - 1] == 399.0f)) << n;
  }
  std::fill_n(taps, kMaxTaps + 1, 9.0f);
  EXPECT_EQ(Load(full + "400\n401\n", taps),
            "TapN = 400\n|" + kTapFile + ": more than 400 taps; only the first 400 are used.\n");
  EXPECT_TRUE(taps[kMaxTaps - 1] == 399.0f && taps[kMaxTaps] == 9.0f);
}

}  // namespace
