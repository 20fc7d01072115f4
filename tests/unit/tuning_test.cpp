// The live tuners without their window: a path of changes through every
// type, order, tap and sample count gives at each step the design that a
// new process makes from the same parameters; changes beyond a limit are
// held at its edge and said in numbers; a type whose edges the rate does
// not accept is taken with edges that it accepts; numbers go back to the
// configure as the same floats, and the configure's options come in.

// Built once per designer (each holds its own state): PELMORA_TUNING
// selects pelmora's tuner, else tavrine's.

#include "tests/support.h"
#ifdef PELMORA_TUNING
#include "iir/cascade_response.h"
#include "iir/coeff_file.h"
#include "iir/iir_design.h"
#include "iir/pelmora_limits.h"
#include "iir/pelmora_tuning.h"
using Design = PelmoraDesign;
using DesignTuner = PelmoraTuner;
constexpr auto Accepts = PelmoraAccepts;
#define CHAIN_VALUES DesignedCoefficients()
#define MAKE_CHAIN MakePelmoraDesign
#else
#include "fir/fir_design.h"
#include "fir/tap_file.h"
#include "fir/taps.h"
#include "fir/tavrine_limits.h"
#include "fir/tavrine_tuning.h"
using Design = TavrineDesign;
using DesignTuner = TavrineTuner;
constexpr auto Accepts = TavrineAccepts;
#define CHAIN_VALUES DesignedTaps(hh)
#define MAKE_CHAIN MakeTavrineDesign
#endif

namespace {

// The design chain run as the designer runs it, with its response.
void MakeChain(const Design& design) {
  MAKE_CHAIN(design);
  CalcFres(Gain, Theta);
}

// What a design leaves for the response, the plot and the file: the
// coefficient set or the taps and their counts, and Gain and Theta.
std::string DesignBytes() {
  std::string bytes;
  const auto add = [&](const void* p, size_t n) { bytes.append(static_cast<const char*>(p), n); };
#ifdef PELMORA_TUNING
  for (const float* set : {p_a0, p_a1, p_a2, p_b1, p_b2}) add(set, sizeof p_a0);
#else
  for (const int* count : {&TapN, &evenTap, &TapN_2}) add(count, sizeof *count);
  add(hh, sizeof hh);
#endif
  for (const float* response : {Gain, Theta}) add(response, sizeof Gain);
  return bytes;
}

// A fresh design: this test program started anew with FRESH_DESIGN naming
// a file of the parameters' bytes makes the design as its first and only
// one, prints DesignBytes and ends before any test runs.
[[maybe_unused]] const bool kFreshRun = [] {
  if (!std::getenv("FRESH_DESIGN")) return false;
  MakeChain(*reinterpret_cast<const Design*>(test::Read(std::getenv("FRESH_DESIGN")).data()));
  const std::string bytes = DesignBytes();
  _exit(write(1, bytes.data(), bytes.size()) == ssize_t(bytes.size()) ? 0 : 1);
}();

// (Under an emulator, EMULATOR runs the new process as it runs this one.)
std::string FreshDesignBytes(const Design& design) {
  static const std::string file = test::MakeTempDir() + "/design";
  char self[4096] = {};
  EXPECT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
  test::Write(file, std::string(reinterpret_cast<const char*>(&design), sizeof design));
  return test::Capture("FRESH_DESIGN=" + file + " " EMULATOR " '" + self + "'");
}

// Moves the tuner along path (field, value) and compares each step's
// design, accepted by the limits, with the fresh one; its values, asked
// before the chain's state is made, are those of the step's design.
void Walk(DesignTuner& tuner, const std::vector<std::pair<int, double>>& path) {
  for (const auto& [field, value] : path) {
    tuner.Set(field, value);
    const std::vector<float> values = tuner.Coefficients();
    MakeChain(tuner.design());
    EXPECT_TRUE(Accepts(tuner.design()) && DesignBytes() == FreshDesignBytes(tuner.design()) && values == CHAIN_VALUES)
        << tuner.OptionsLine();
  }
}

// A change beyond a limit stops at the edge of the range: (field, asked,
// bound from the limit's formula, the words). The value held is the
// bound's or within one step (0.1) inside it, and the words say it.
void HoldsAtLimits(DesignTuner& tuner, const std::vector<std::tuple<int, double, double, std::string>>& table) {
  for (const auto& [field, asked, bound, words] : table) {
    const double before = tuner.Value(field);
    EXPECT_FALSE(tuner.Set(field, asked));
    const double held = tuner.Value(field), inside = asked > before ? bound - held : held - bound;
    EXPECT_TRUE(inside >= -1e-3 && inside <= 0.1 + 1e-3 && Accepts(tuner.design())) << held << " " << words;
    EXPECT_EQ(tuner.Held(), words);
    const auto [low, high] = tuner.Range(field);
    EXPECT_EQ(asked > before ? high : low, held) << words;
  }
}

#ifdef PELMORA_TUNING
using T = PelmoraTuner;

TEST(Tuning, PathGivesFreshDesigns) {
  T tuner(kBuiltInPelmoraDesign);
  std::vector<std::pair<int, double>> path;
  for (int type : {0, 3, 1, 2})
    for (int order : {1, 2, 5})  // choices: auto, 1, 2, ...; order 4 of the families
      path.insert(path.end(), {{T::kType, type}, {T::kFamily, order == 5 ? 1 + type : 0}, {T::kOrder, order},
                               {T::kLowerCorner, 900 + 1500 * type + 400.5 * order},
                               {T::kUpperCorner, 11000 - 700 * type}, {T::kAttenuation, 0.1 + 9.7 * type},
                               {T::kFsamp, 22050 + 22050 * (type % 2)}});
  Walk(tuner, path);
}

// Changes held at the limits, each bound from the limits' formulas (R =
// 10^(attenuation / (20 order))); a type or order that the corners do not
// allow is taken, the corner moved to the nearest that the limits accept.
TEST(Tuning, ChangesHeldAtTheLimits) {
  T tuner(kBuiltInPelmoraDesign);
  EXPECT_EQ(tuner.Words(), "band-pass of order 2: corners 2000 Hz and 5000 Hz, 3 dB down; sampling 22050 Hz");
  const std::string band = "at 0.00001 dB a band-pass of order 2 with its ";
  HoldsAtLimits(tuner, {
      {T::kAttenuation, 0, 0.00001, "a band-pass of order 2 with its corners at 2000 Hz and 5000 Hz needs its "
                                    "attenuation at 0.00001 dB or above, at 22050 Hz"},
      {T::kLowerCorner, 11025, 5000 - 22050 / 200.0,
       band + "upper corner at 5000 Hz needs its lower corner at 4889.7 Hz or below, at 22050 Hz"},
      {T::kUpperCorner, 11025, 0.49 * 22050,
       band + "lower corner at 4889.7 Hz needs its upper corner at 10804.5 Hz or below, at 22050 Hz"},
      {T::kLowerCorner, 0, 22050 / 200.0,
       band + "upper corner at 10804.5 Hz needs its lower corner at 110.3 Hz or above, at 22050 Hz"}});
  EXPECT_TRUE(tuner.Set(T::kType, kLowPass) && tuner.Set(T::kLowerCorner, 500));
  HoldsAtLimits(tuner, {{T::kAttenuation, 60, 20 * 2 * std::log10(500 * 650 / 22050.0),
                         "a low-pass of order 2 with its corner at 500 Hz needs its attenuation at 46.7 dB or below, "
                         "at 22050 Hz"}});
  EXPECT_TRUE(tuner.Set(T::kLowerCorner, 2000) && tuner.Set(T::kAttenuation, 60));
  HoldsAtLimits(tuner, {{T::kLowerCorner, 0, 22050 * std::pow(10.0, 60 / 40.0) / 650,
                         "at 60 dB a low-pass of order 2 needs its corner at 1072.8 Hz or above, at 22050 Hz"},
                        {T::kFsamp, 1e9, 1072.8 / (std::pow(10.0, 60 / 40.0) / 650),
                         "at 60 dB a low-pass of order 2 with its corner at 1072.8 Hz needs its sampling frequency "
                         "at 22051.1 Hz or below"}});
  tuner.Set(T::kFsamp, 22050);
  // Order 1 at 60 dB takes a corner of 400 Hz (22050 R / 70000 = 315 Hz
  // or above); order 2 then moves it to 22050 R / 650 = 1072.75 Hz.
  EXPECT_TRUE(tuner.Set(T::kOrder, 1) && tuner.Set(T::kLowerCorner, 400) && tuner.Set(T::kOrder, 2));  // auto first
  EXPECT_TRUE(tuner.design().order == 2 && tuner.design().fc1 == 1072.8f);
  EXPECT_EQ(tuner.Held(),
            "a low-pass of order 2 takes no corners or edges as they were: corner to 1072.8 Hz, at 22050 Hz");
}

// A band requirement's stop edges out of place for the type chosen are
// put beyond its corners (2000 and 5000 Hz): a quarter of a band-reject's
// width inside it, half the way to 0 Hz below a high-pass's corner; in
// place, they stay.
TEST(Tuning, StopEdgesPlacedForTheTypeChosen) {
  T tuner(kBuiltInPelmoraDesign);
  ASSERT_EQ(tuner.Configure({"-DPELMORA_FAMILY=chebyshev1", "-DPELMORA_ORDER=auto", "-DPELMORA_FSAMP=44100",
                             "-DPELMORA_STOP2=12000"}),
            "");
  for (const auto& [type, stop1, stop2, moved] : std::vector<std::tuple<int, float, float, std::string>>{
           {kBandReject, 2750, 4250, "lower stop edge to 2750 Hz, upper stop edge to 4250 Hz, at 44100 Hz"},
           {kLowPass, 2750, 4250, ""},
           {kHighPass, 1000, 4250, "stop edge to 1000 Hz, at 44100 Hz"}}) {
    EXPECT_TRUE(tuner.Set(T::kType, type));
    EXPECT_TRUE(tuner.design().stop1 == stop1 && tuner.design().stop2 == stop2) << tuner.OptionsLine();
    const std::string held = tuner.Held();
    EXPECT_EQ(held.substr(held.size() - std::min(held.size(), moved.size())), moved);
  }
}

// Numbers written back as the shortest text that strtof reads as the same
// float; the configure's options read in its forms, a refused one named
// with its value and what is allowed, and the design left as it was.
TEST(Tuning, NumbersAndOptionsOfTheConfigure) {
  std::string texts;
  for (float v : {22050.0f, 0.1f, 1e-15f, 91.9f, 1e15f, 3.4028235e38f, 0.00012f, -0.0f, 1.0f / 3, NAN, -INFINITY})
    texts += ShortestDecimal(v) + " ";
  EXPECT_EQ(texts, "22050 0.1 1e-15 91.9 1000000000000000 3.4028235e38 0.00012 -0 0.33333334 nan -inf ");
  std::mt19937 random(18);
  for (int i = 0; i < 100000; ++i) {
    const float v = std::ldexp(std::uniform_real_distribution<float>(1, 2)(random), int(random() % 200) - 100);
    const std::string text = ShortestDecimal(v);
    ASSERT_TRUE(std::strtof(text.c_str(), nullptr) == v && text.find('+') == std::string::npos) << text;
  }
  T tuner(kBuiltInPelmoraDesign);
  const std::string built_in = tuner.OptionsLine();
  for (const auto& [options, said, line] : std::vector<std::tuple<std::vector<std::string>, std::string, std::string>>{
           {{"-DPELMORA_TYPE=low-pass", "-DPELMORA_FC1=1.5e3", "-DPELMORA_ORDER=01", "PELMORA_FSAMP=44100."}, "",
            "-DPELMORA_TYPE=low-pass -DPELMORA_FAMILY=butterworth -DPELMORA_ORDER=1 -DPELMORA_FC1=1500 "
            "-DPELMORA_ATTENUATION_DB=3 -DPELMORA_FSAMP=44100"},
           {{"-DPELMORA_TYPE=low-pass", "-DPELMORA_FAMILY=elliptic", "-DPELMORA_ORDER=auto", "-DPELMORA_FC1=1000",
             "-DPELMORA_STOP1=1500", "-DPELMORA_FSAMP=44100", "-DPELMORA_RIPPLE_DB=0.5"},
            "",
            "-DPELMORA_TYPE=low-pass -DPELMORA_FAMILY=elliptic -DPELMORA_ORDER=auto -DPELMORA_FC1=1000 "
            "-DPELMORA_STOP1=1500 -DPELMORA_RIPPLE_DB=0.5 -DPELMORA_STOPBAND_DB=60 -DPELMORA_FSAMP=44100"},
           {{"-DPELMORA_FAMILY=Elliptic"},
            "PELMORA_FAMILY = Elliptic: not allowed; allowed are butterworth, chebyshev1, chebyshev2, elliptic, bessel",
            ""},
           {{"-DPELMORA_FC1=2k"},
            "PELMORA_FC1 = 2k: not allowed; allowed are decimal numbers, such as 2000, 1500.5 or 2e3", ""},
           {{"-DPELMORA_TYPE=lowpass"},
            "PELMORA_TYPE = lowpass: not allowed; allowed are low-pass, high-pass, band-pass, band-reject", ""},
           {{"-DPELMORA_ORDER=1.0"}, "PELMORA_ORDER = 1.0: not allowed; allowed are whole numbers or auto", ""},
           {{"-DPELMORA_ORDER=9"},
            "PELMORA_ORDER = 9: not allowed; allowed are 1 to 16 for low- and high-pass, 1 to 8 for band types, or auto",
            ""},
           {{"-DPELMORA_ATTENUATION_DB=61"},
            "PELMORA_ATTENUATION_DB = 61: not allowed; allowed are numbers from 0.00001 to 60 (dB)", ""},
           {{"-DPELMORA_GAIN=1"}, "PELMORA_GAIN=1: not an option; the options are -DNAME=VALUE of PELMORA_TYPE, "
            "PELMORA_FAMILY, PELMORA_ORDER, PELMORA_FC1, PELMORA_FC2, PELMORA_STOP1, PELMORA_STOP2, "
            "PELMORA_ATTENUATION_DB, PELMORA_RIPPLE_DB, PELMORA_STOPBAND_DB, PELMORA_FSAMP", ""}}) {
    T fresh(kBuiltInPelmoraDesign);
    EXPECT_EQ(fresh.Configure(options), said);
    EXPECT_EQ(fresh.OptionsLine(), said.empty() ? line : built_in);
  }
  // Every rate that the configure accepts is offered: 1e15 Hz, and 9e14 set.
  EXPECT_TRUE(tuner.Configure({"-DPELMORA_FSAMP=1e15", "-DPELMORA_FC1=1e14", "-DPELMORA_FC2=2e14"}).empty() &&
              tuner.Set(T::kFsamp, 9e14));
}
#else
using T = TavrineTuner;

TEST(Tuning, PathGivesFreshDesigns) {
  T tuner(kBuiltInTavrineDesign);
  std::vector<std::pair<int, double>> path;
  for (int type : {0, 1, 3, 2})
    for (const auto& [taps, bins] : {std::pair{1, 400}, {2, 37}, {400, 400}, {57, 256}})
      path.insert(path.end(), {{T::kType, type}, {T::kBins, bins}, {T::kTaps, taps}, {T::kAlpha, 3.1 * type + taps % 9},
                               {T::kEdge1, 1000 * type + 500.5}, {T::kEdge2, 9000 - 1000 * type},
                               {T::kFsamp, 22050 - 6000 * (taps % 2)}});
  Walk(tuner, path);
}

// Changes held at the limits: frequency samples down to the 139 of the
// 140 taps asked (139 designed); the upper edge below 11025 Hz on sample
// (400 - 1) / 2 = 199, which ends at 200 x 22050 / 400 = 11025 Hz; the
// lower edge on sample 1 from 22050 / 139 Hz; taps up to 139 samples.
TEST(Tuning, ChangesHeldAtTheLimits) {
  T tuner(kBuiltInTavrineDesign);
  HoldsAtLimits(tuner, {
      {T::kBins, 0, 139, "a band-pass of 140 taps asked with its edges at 2000 Hz and 8000 Hz needs its frequency "
                         "samples at 139 or above, at 22050 Hz"},
      {T::kEdge2, 11025, 11025, "with 139 frequency samples a band-pass with its lower edge at 2000 Hz needs its upper "
                                "edge at 11024.9 Hz or below, at 22050 Hz"},
      {T::kEdge1, 0, 22050 / 139.0, "with 139 frequency samples a band-pass with its upper edge at 11024.9 Hz needs "
                                    "its lower edge at 158.7 Hz or above, at 22050 Hz"},
      {T::kTaps, 400, 140,
       "with 139 frequency samples a band-pass needs its requested taps at 140 or below, at 22050 Hz"}});
  EXPECT_EQ(tuner.Words(), "band-pass: 139 taps designed (140 asked), Kaiser alpha 7, 139 frequency samples, "
                           "edges 158.7 Hz and 11024.9 Hz; sampling 22050 Hz");
  tuner.Set(T::kTaps, 1);
  EXPECT_EQ(tuner.Words().substr(0, 35), "band-pass: 1 tap designed (1 asked)");
  // Every rate that the configure accepts is offered: 1e36 Hz, and 9e35 set.
  EXPECT_TRUE(tuner.Configure({"-DTAVRINE_FSAMP=1e36", "-DTAVRINE_BPF_FC1=1e35", "-DTAVRINE_BPF_FC2=3e35"}).empty() &&
              tuner.Set(T::kFsamp, 9e35));
}

// At 8000 Hz the stored band edges (8000 and 7000 Hz) lie above half the
// rate: the band types are taken with their upper edge moved to the
// highest that 400 samples allow, 3999.9 Hz (sample 199 ends at 4000 Hz);
// their lower edges, accepted, stay. The printed line carries the moved
// edges, and a configure makes the same design of it.
TEST(Tuning, TypeSwitchAtEightKilohertz) {
  T tuner(kBuiltInTavrineDesign);
  ASSERT_EQ(tuner.Configure({"-DTAVRINE_TYPE=high-pass", "-DTAVRINE_HPF_FC1=1000", "-DTAVRINE_FSAMP=8000",
                             "-DTAVRINE_TAPS=63"}), "");
  for (const auto& [type, fc1, fc2, name] : {std::tuple{kBandPass, 2000.0f, 3999.9f, "band-pass"},
                                             std::tuple{kBandReject, 3000.0f, 3999.9f, "band-reject"}}) {
    EXPECT_TRUE(tuner.Set(T::kType, type));
    EXPECT_TRUE(tuner.design().type == type && tuner.Value(T::kEdge1) == fc1 && tuner.Value(T::kEdge2) == fc2 &&
                Accepts(tuner.design())) << tuner.OptionsLine();
    EXPECT_EQ(tuner.Held(), "with 400 frequency samples a " + std::string(name) +
                                " takes no corners or edges as they were: upper edge to 3999.9 Hz, at 8000 Hz");
  }
  // Only the edges of the type chosen; the configure's defaults of the
  // others (8000 Hz) are accepted at any rate.
  EXPECT_EQ(tuner.OptionsLine(), "-DTAVRINE_TYPE=band-reject -DTAVRINE_METHOD=window -DTAVRINE_TAPS=63 "
                                 "-DTAVRINE_ALPHA=7 -DTAVRINE_BINS=400 -DTAVRINE_BRF_FC1=3000 -DTAVRINE_BRF_FC2=3999.9 "
                                 "-DTAVRINE_FSAMP=8000");
  T again(kBuiltInTavrineDesign);
  std::istringstream words(tuner.OptionsLine());
  EXPECT_EQ(again.Configure({std::istream_iterator<std::string>(words), {}}), "");
  EXPECT_TRUE(again.FileText() == tuner.FileText() && again.design().bpf_fc2 == 8000);
  EXPECT_EQ(again.Configure({"-DTAVRINE_BRF_FC2=4000"}),
            "TAVRINE_BRF_FC2 = 4000: not allowed; allowed are numbers above 0 and below TAVRINE_FSAMP / 2 whose "
            "sample, TAVRINE_BINS f / TAVRINE_FSAMP rounded down, is from that of TAVRINE_BRF_FC1 + 1 to "
            "(TAVRINE_BINS - 1) / 2 (Hz), with TAVRINE_FSAMP = 8000, TAVRINE_BINS = 400, TAVRINE_BRF_FC1 = 3000");
}

// The band requirement's fields are offered where the design has one
// (equiripple, or auto taps), alpha where the window's count is asked; the
// requirement is drawn as its bands: a low-pass at 1100 Hz with 200 Hz
// transitions passes to 1000 Hz within +-dp, dp = (10^0.005 - 1) /
// (10^0.005 + 1) for 0.1 dB, and stops 60 dB down from 1200 Hz.
TEST(Tuning, MethodAndRequirement) {
  T tuner(kBuiltInTavrineDesign);
  EXPECT_TRUE(tuner.Requirement().empty() && tuner.Offered(T::kAlpha) && !tuner.Offered(T::kTransition));
  ASSERT_EQ(tuner.Configure({"-DTAVRINE_TYPE=low-pass", "-DTAVRINE_METHOD=equiripple", "-DTAVRINE_TAPS=auto",
                             "-DTAVRINE_LPF_FC1=1100", "-DTAVRINE_FSAMP=8000"}), "");
  EXPECT_TRUE(!tuner.Offered(T::kAlpha) && tuner.Offered(T::kTransition) && tuner.Offered(T::kStopband));
  const double dp = (std::pow(10.0, 0.005) - 1.0) / (std::pow(10.0, 0.005) + 1.0);  // 0.1f dB: within 1e-9 dB
  const std::vector<SpecBand> bands = tuner.Requirement();
  ASSERT_EQ(bands.size(), 2u);
  EXPECT_TRUE(bands[0].pass && bands[0].from_hz == 0.0 && std::fabs(bands[0].to_hz - 1000.0) < 1e-9 &&
              std::fabs(bands[0].low_db - 20.0 * std::log10(1.0 - dp)) < 1e-9 &&
              std::fabs(bands[0].high_db - 20.0 * std::log10(1.0 + dp)) < 1e-9);
  EXPECT_TRUE(!bands[1].pass && std::fabs(bands[1].from_hz - 1200.0) < 1e-9 && bands[1].to_hz == 4000.0 &&
              bands[1].high_db == -60.0);
  // 111 taps, the fewest (tests/e2e/coeff_design_test.cpp measures them).
  EXPECT_EQ(tuner.Words().substr(0, 54), "low-pass by equiripple: 111 taps, the fewest for the b");
  EXPECT_EQ(tuner.Configure({"-DTAVRINE_TRANSITION_HZ=50"}),
            "TAVRINE_TAPS = auto: not allowed; allowed is auto where the band requirement needs at most 400 taps; "
            "this one needs 440 taps");
}
#endif

}  // namespace
