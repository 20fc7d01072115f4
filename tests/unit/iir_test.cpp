// The recursive-filter chain, the cascade response and the coefficient
// file: published values of each stage, the coefficients of every type and
// order, properties of any design, and the file as written and read back.

#include <complex>
#include <random>

#include "iir/cascade_response.h"
#include "iir/coeff_file.h"
#include "iir/iir_viewer.h"
#include "iir/pelmora_limits.h"
#include "tests/support.h"

namespace {

const std::string kFile = test::MakeTempDir() + "/coeff1.txt";

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

// Reads kFile as the viewer does; returns what it printed on standard
// output and error, joined by "|".
std::string Load() {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  TxtLoad(kFile.c_str());
  const std::string out = testing::internal::GetCapturedStdout();
  return out + "|" + testing::internal::GetCapturedStderr();
}

// Gain (dB) and phase (rad) of sections 0 to n - 1 of (a0, a1, a2, b1, b2)
// at w, from the transfer function in double: each section's phase is
// arg N - arg D folded into -pi/2 to pi/2, as its principal arctangent is.
// False where a fold is too near to call the phase.
bool Response(const float* const s[5], int n, double w, double& gain, double& phase) {
  gain = phase = 0.0;
  bool clear = true;
  const std::complex<double> z = std::polar(1.0, -w);
  for (int j = 0; j < n; ++j) {
    const std::complex<double> h = (double(s[0][j]) + double(s[1][j]) * z + double(s[2][j]) * z * z) /
                                   (1.0 + double(s[3][j]) * z + double(s[4][j]) * z * z);
    const double folded = std::remainder(std::arg(h), M_PI);
    clear = clear && std::fabs(std::fabs(folded) - M_PI / 2) > 1e-3;
    gain += 20.0 * std::log10(std::abs(h));
    phase += folded;
  }
  return clear;
}

// Values of the stages as printed (to one unit of the 7th significant
// digit), and what no later stage reads but each must hold: the
// prototype's numerator is its constant, every denominator is monic (s^2,
// or s alone in a first-order section), and section T is written by the
// band designs of order 2 alone.
TEST(IirDesign, ValuesOfEachStage) {
  Design(kBandPass, 2);
  EXPECT_NEAR(PD1, 1.415893, 1e-6);
  EXPECT_NEAR(fcp2, 6061.896, 1e-3);
  Design(kBandPass, 1);
  EXPECT_NEAR(PD0, 1.002377, 1e-6);
  // type, order, PD2 and SD2
  for (const auto& [type, order, pd2, sd2] : std::vector<std::tuple<int, int, float, float>>{
           {0, 1, 0, 0}, {0, 2, 1, 1}, {1, 1, 0, 0}, {1, 2, 1, 1}, {2, 1, 0, 1}, {2, 2, 1, 1}, {3, 1, 0, 1},
           {3, 2, 1, 1}}) {
    PD2 = PN1 = PN2 = SD2 = TD2 = 7.0f;
    Design(type, order);
    EXPECT_TRUE(PD2 == pd2 && SD2 == sd2 && PN1 == 0.0f && PN2 == 0.0f && PN0 == PD0) << type << " " << order;
    EXPECT_EQ(TD2, type >= kBandPass && order == 2 ? 1.0f : 7.0f) << type << " " << order;
  }
  ResetCoefficients();
  EXPECT_TRUE(p_a0[0] == 1.0f && p_a1[0] == 0.0f && p_b2[0] == 0.0f && p_a0[7] == 1.0f && p_a2[7] == 0.0f);
}

// Every type and order: at 2000 Hz and 5000 Hz the printed coefficients,
// which are the file the designer writes (two sections for the band types
// of order 2, one otherwise; every other entry pass-through); at any
// corners the requested attenuation at each corner, to a ten-thousandth of
// a dB, and the exact zeros of the band types. The viewer reads the file
// back to six decimals, and both variants of the response follow the
// transfer function: the designer's over its design, the viewer's over
// the file.
TEST(IirDesign, EveryTypeAndOrder) {
  // tests/data/iir_coefficients.txt: the printed coefficients of each type
  // and order in turn, each file after a line "# type, order".
  std::vector<std::string> printed;
  std::istringstream data(test::Read(TEST_DATA_DIR "/iir_coefficients.txt"));
  for (std::string line; std::getline(data, line);) {
    line[0] == '#' ? printed.emplace_back() : printed.back().append(line + "\n");
  }
  ASSERT_EQ(printed.size(), 8u);
  for (const auto& [fc1, fc2] : {std::pair<float, float>{2000, 5000}, {1000, 3000}, {7000, 10000}}) {
    for (int row = 0; row < 8; ++row) {
      const int type = row / 2, order = row % 2 + 1, sections = int(printed[row].size()) / 40;
      SCOPED_TRACE(testing::Message() << fc1 << " Hz, type " << type << ", order " << order);
      Design(type, order, fc1, fc2);
      std::fill_n(Gain, kResponseSize, 42.0f);
      CalcFres(Gain, Theta);
      TxtSave(kFile.c_str());
      EXPECT_TRUE(fc1 != 2000 || test::Read(kFile) == printed[row]) << test::Read(kFile);
      EXPECT_EQ(Load(), "BiquadN = " + std::to_string(sections) + "\n|");
      const float* const designed[] = {p_a0, p_a1, p_a2, p_b1, p_b2};
      const float* const loaded[] = {a0, a1, a2, b1, b2};
      for (int n = 0; n < 5 * kMaxSections; ++n) {
        const float v = designed[n % 5][n / 5], six = float(std::round(double(v) * 1e6) / 1e6);
        EXPECT_EQ(n < 5 * sections ? loaded[n % 5][n / 5] : v, n < 5 * sections ? six : (n % 5 ? 0.0f : 1.0f)) << n;
      }
      for (int j = 0; j < sections; ++j) {
        EXPECT_TRUE(type != kBandPass || (p_a1[j] == 0.0f && p_a2[j] == -p_a0[j])) << j;
        EXPECT_TRUE(type != kBandReject || (p_a2[j] == p_a0[j] && (order == 2 || p_a1[j] == p_b1[j]))) << j;
      }
      double g, p;
      for (float f : {fc1, type >= kBandPass ? fc2 : fc1}) {
        Response(designed, kMaxSections, 2.0 * 3.14159f * f / 22050.0, g, p);
        EXPECT_NEAR(g, -3.0, 0.0001) << f << " Hz";
      }
      float gain[kResponseSize], phase[kResponseSize];
      CascadeResponseDouble(BiquadSet{a0, a1, a2, b1, b2, BiquadN}, 3.1415925f, gain, phase);
      for (int i = 0; i < kResponsePoints; ++i) {
        if (Response(designed, 2, static_cast<float>(double(i * 3.14159f) / 180.0 + 0.001), g, p) && g > -60.0) {
          EXPECT_TRUE(std::fabs(Gain[i] - g) < 0.001 && std::fabs(Theta[i] - p) < 0.0001) << "designer, point " << i;
        }
        if (Response(loaded, BiquadN, double(i * 3.1415925f) / 180.0 + 0.001, g, p) && g > -60.0) {
          EXPECT_TRUE(std::fabs(gain[i] - g) < 1e-5 && std::fabs(phase[i] - p) < 1e-6) << "viewer, point " << i;
        }
      }
      EXPECT_TRUE(Gain[kResponsePoints] == 42.0f && Gain[kResponseSize - 1] == 42.0f);
    }
  }
}

// The built-in band-pass: the designer's published points, and the
// viewer's response of its file within 0.003 dB and 0.0001 rad of the
// designer's wherever the gain is above -60 dB.
TEST(CascadeResponse, BuiltInBandPass) {
  Design(kBandPass, 2);
  CalcFres(Gain, Theta);
  TxtSave(kFile.c_str());
  Load();
  float gain[kResponseSize], phase[kResponseSize];
  CascadeResponseDouble(BiquadSet{a0, a1, a2, b1, b2, BiquadN}, 3.1415925f, gain, phase);
  for (int i = 0; i < kResponsePoints; ++i) {
    EXPECT_TRUE(std::fabs(Theta[i]) <= 3.1416f) << i;
    EXPECT_TRUE(Gain[i] <= -60.0f || (std::fabs(gain[i] - Gain[i]) < 0.003 && std::fabs(phase[i] - Theta[i]) < 0.0001));
  }
  for (const auto& [i, g, p] : {std::tuple<int, double, double>{0, -117.89, 3.140}, {33, -2.78, 1.531},
                                {50, -0.00, 0.186}, {82, -3.13, -1.590}, {180, -141.81, 3.141}, {300, -0.01, 0.348}}) {
    EXPECT_TRUE(std::fabs(Gain[i] - g) < 0.005 && std::fabs(Theta[i] - p) < 0.0005) << "point " << i;
  }
}

// The reader: line n is coefficient n mod 5 of section n div 5, whatever
// atof makes of it, in pieces of at most 39 characters, up to 40 lines (a
// line on standard error for more); every coefficient that no line gives
// is pass-through.
TEST(CoeffFile, ReaderFillsTheSectionsLineByLine) {
  std::string numbered;
  for (int i = 1; i <= 45; ++i) numbered += std::to_string(i) + "\n";
  const std::pair<std::string, std::vector<float>> cases[] = {
      {numbered, {}}, {numbered.substr(0, 111), {}}, {numbered.substr(0, 10), {1, 2, 3, 4, 5}},
      {numbered.substr(0, 12), {1, 2, 3, 4, 5, 6}},
      {numbered.substr(0, 14), {1, 2, 3, 4, 5, 6, 7}}, {"", {}},
      {"1e-3\n+0.25\n   -2.5\n\n0.75\r\n0.5 trailing\nabc\n3", {1e-3f, 0.25f, -2.5f, 0, 0.75f, 0.5f, 0, 3}},
      {"0.125" + std::string(33, ' ') + "\n" + std::string(38, ' ') + "72.5     \n9\n", {0.125f, 7, 2.5f, 9}},
  };
  for (const auto& [content, values] : cases) {
    test::Write(kFile, content);
    const int lines = values.empty() && !content.empty() ? 40 : int(values.size());
    const std::string note = content == numbered ? kFile + ": more than 8 sections; only the first 8 are used.\n" : "";
    EXPECT_EQ(Load(), "BiquadN = " + std::to_string((lines + 4) / 5) + "\n|" + note);
    const float* const slots[] = {a0, a1, a2, b1, b2};
    for (int n = 0; n < kMaxCoeffLines; ++n) {
      const float expected = lines == 40 ? float(n + 1) : (n < lines ? values[n] : (n % 5 ? 0.0f : 1.0f));
      EXPECT_EQ(slots[n % 5][n / 5], expected) << "line " << n << " of " << content.substr(0, 20);
    }
  }
}

// Every design that the limits accept is sound as written: its file, read
// back as the viewer reads it, is a stable cascade, 0.1 dB or less off the
// attenuation asked at each corner, and no coefficient that the design
// needs is written as zero (a band's a1 and b1 carry cos w0, zero up to
// rounding at a centre of Fsamp / 4). Designs with their corners pushed to
// the edges of the ranges, for every type and order, at the ends of the
// attenuation and of the sampling frequency, then at random inside.
TEST(PelmoraLimits, EveryAcceptedDesignIsSoundAsWritten) {
  auto sound = [](const PelmoraDesign& d) {
    MakePelmoraDesign(d);
    TxtSave(kFile.c_str());
    Load();
    const float* const designed[] = {p_a0, p_a1, p_a2, p_b1, p_b2};
    const float* const loaded[] = {a0, a1, a2, b1, b2};
    bool ok = BiquadN >= 1;
    for (int n = 0; n < 5 * BiquadN; ++n) {
      ok = ok && (designed[n % 5][n / 5] == 0.0f || loaded[n % 5][n / 5] != 0.0f || (d.type >= kBandPass && n % 2));
    }
    for (int j = 0; j < BiquadN; ++j) ok = ok && std::fabs(b2[j]) < 1.0f && std::fabs(b1[j]) < 1.0f + b2[j];
    double g, p;
    for (float f : {d.fc1, d.type >= kBandPass ? d.fc2 : d.fc1}) {
      Response(loaded, BiquadN, 2.0 * M_PI * (double(f) / double(d.fsamp)), g, p);
      ok = ok && std::fabs(g + double(d.attenuation_db)) <= 0.1;
    }
    return ok;
  };
  // The last value from `from` toward `to` that the limits accept, by bisection.
  auto edge = [](PelmoraDesign d, float PelmoraDesign::*field, float to) {
    float in = d.*field, out = to;
    for (float mid = in + (out - in) / 2; mid != in && mid != out; mid = in + (out - in) / 2) {
      d.*field = mid;
      (PelmoraAccepts(d) ? in : out) = mid;
    }
    return in;
  };
  std::mt19937 random(11);
  auto uniform = [&](double low, double high) { return low + (high - low) * (random() / 4294967296.0); };
  int designs = 0;
  for (int n = 0; n < 3360; ++n) {
    PelmoraDesign d{n % 4, n / 4 % 2 + 1, 0.0f, 0.0f, 0.0f, n / 8 % 3 ? 22050.0f : float(std::pow(10.0, uniform(-15, 15)))};
    d.attenuation_db = std::vector<float>{1e-5f, 60.0f, float(uniform(1e-5, 60)), float(std::pow(10.0, uniform(-5, 1.78)))}[n / 24 % 4];
    d.fc1 = float(uniform(0.005, 0.485) * d.fsamp);
    d.fc2 = float(uniform(double(d.fc1) / double(d.fsamp), 0.49) * d.fsamp);
    if (!PelmoraAccepts(d)) continue;
    switch (n / 96 % 7) {  // none, or some corners or the attenuation pushed to their edges
      case 1: d.fc1 = edge(d, &PelmoraDesign::fc1, 0.0f); break;
      case 2: d.fc2 = edge(d, &PelmoraDesign::fc2, d.fsamp); d.fc1 = edge(d, &PelmoraDesign::fc1, 0.0f); break;
      case 3: d.type >= kBandPass ? d.fc2 = edge(d, &PelmoraDesign::fc2, d.fsamp) : d.fc1 = edge(d, &PelmoraDesign::fc1, d.fsamp); break;
      case 4: d.fc2 = edge(d, &PelmoraDesign::fc2, 0.0f); break;
      case 5:
        d.fc1 = edge(d, &PelmoraDesign::fc1, 0.0f);
        d.attenuation_db = edge(d, &PelmoraDesign::attenuation_db, 0.0f);
        break;
      case 6: d.attenuation_db = edge(d, &PelmoraDesign::attenuation_db, 100.0f); break;
    }
    ASSERT_TRUE(PelmoraAccepts(d)) << n;
    ++designs;
    EXPECT_TRUE(sound(d)) << "type " << d.type << ", order " << d.order << ", " << d.fc1 << " Hz, " << d.fc2
                          << " Hz, " << d.attenuation_db << " dB, " << d.fsamp << " Hz";
  }
  EXPECT_GT(designs, 3000) << designs;
}

}  // namespace
