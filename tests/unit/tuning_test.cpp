// The live tuners without their window: a path of changes through every
// type, order, tap and sample count gives at each step the design that a
// new process makes from the same parameters; changes beyond a limit are
// held at its edge; numbers go back to the configure as the same floats.

// Built once per designer (each holds its own state): PELMORA_TUNING
// selects pelmora's tuner, else tavrine's.

#include "tests/support.h"
#ifdef PELMORA_TUNING
#include "iir/iir_design.h"
#include "iir/pelmora_limits.h"
#include "iir/pelmora_tuning.h"
using Design = PelmoraDesign;
using DesignTuner = PelmoraTuner;
constexpr auto Accepts = PelmoraAccepts;
#else
#include "fir/fir_design.h"
#include "fir/tavrine_limits.h"
#include "fir/tavrine_tuning.h"
using Design = TavrineDesign;
using DesignTuner = TavrineTuner;
constexpr auto Accepts = TavrineAccepts;
#endif

namespace {

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
  DesignTuner(*reinterpret_cast<const Design*>(test::Read(std::getenv("FRESH_DESIGN")).data())).Respond();
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

// Moves the tuner along path (control, position) and compares each step's
// design, accepted by the limits, with the fresh one.
void Walk(DesignTuner& tuner, const std::vector<std::pair<int, int>>& path) {
  for (const auto& [control, position] : path) {
    tuner.Move(control, position);
    tuner.Respond();
    EXPECT_TRUE(Accepts(tuner.design()) && DesignBytes() == FreshDesignBytes(tuner.design())) << tuner.OptionsLine();
  }
}

// A change beyond a limit stops at the edge of the range (control, asked,
// held at), and the status names the limit.
void HoldsAtLimits(DesignTuner& tuner, const std::vector<std::tuple<int, int, int, std::string>>& table) {
  for (const auto& [control, asked, held, variable] : table) {
    tuner.Move(control, asked);
    EXPECT_EQ(tuner.Position(control), held) << variable;
    EXPECT_NE(tuner.Status().find("  |  held by " + variable + ": allowed "), std::string::npos) << tuner.Status();
  }
}

#ifdef PELMORA_TUNING
using T = PelmoraTuner;

TEST(Tuning, PathGivesFreshDesigns) {
  T tuner(kBuiltInPelmoraDesign);
  std::vector<std::pair<int, int>> path;
  for (int type : {0, 3, 1, 2}) {
    for (int order : {1, 2}) {
      path.insert(path.end(), {{T::kType, type}, {T::kOrder, order}, {T::kLowerCorner, 900 + 1500 * type + 400 * order},
                               {T::kUpperCorner, 11000 - 700 * type}, {T::kAttenuation, 1 + 97 * type}});
    }
  }
  Walk(tuner, path);
}

// Changes held at the limits; a type that the corners do not allow is not
// taken; a click moves the nearest corner that the type uses.
TEST(Tuning, ChangesHeldAtTheLimits) {
  T tuner(kBuiltInPelmoraDesign);
  EXPECT_EQ(tuner.Status(), "band-pass of order 2: corners 2000 Hz and 5000 Hz, 3 dB down; sampling 22050 Hz");
  HoldsAtLimits(tuner, {{T::kAttenuation, 0, 1, "PELMORA_ATTENUATION_DB"}, {T::kLowerCorner, 11025, 4889, "PELMORA_FC2"},
                        {T::kUpperCorner, 11025, 10804, "PELMORA_FC2"}, {T::kLowerCorner, 0, 111, "PELMORA_FC1"},
                        {T::kOrder, 0, 2, "PELMORA_ORDER"}});
  tuner.Move(T::kType, kLowPass);
  tuner.Move(T::kLowerCorner, 10700);
  HoldsAtLimits(tuner, {{T::kType, kBandPass, kLowPass, "PELMORA_FC1"}});  // above 0.485 Fsamp
  tuner.Click(3000.4);  // the only corner of a low-pass
  EXPECT_EQ(tuner.Status(), "low-pass of order 2: corner 3000 Hz, 0.1 dB down; sampling 22050 Hz");
}
// Steps from the sampling frequency; numbers written back as the shortest
// text that strtof reads as the same float. (The options lines are the
// tuners' printed lines, which the end-to-end tests compare whole.)
TEST(Tuning, StepsAndNumbersForTheConfigure) {
  for (const auto& [fsamp, mantissa, exponent] : std::vector<std::tuple<float, int, int>>{
           {22050, 1, 0}, {44100, 2, 0}, {8000, 2, -1}, {96000, 5, 0}, {1e-15f, 5, -20}, {1e15f, 5, 10}}) {
    const Step step = FrequencyStep(fsamp);
    const int last = LastPosition(fsamp / 2.0, step);
    EXPECT_TRUE(step.mantissa == mantissa && step.exponent == exponent && last >= 2000 && last <= 20000) << fsamp;
  }
  EXPECT_EQ(StepValue(15005, {1, -1}), 1500.5f);
  for (const auto& [v, text] : std::vector<std::pair<float, std::string>>{
           {22050, "22050"}, {0.1f, "0.1"}, {1e-15f, "1e-15"}, {91.9f, "91.9"}, {1e15f, "1000000000000000"},
           {3.4028235e38f, "3.4028235e38"}, {0.00012f, "0.00012"}})
    EXPECT_EQ(ShortestDecimal(v), text);
  std::mt19937 random(18);
  for (int i = 0; i < 100000; ++i) {
    const float v = std::ldexp(std::uniform_real_distribution<float>(1, 2)(random), int(random() % 200) - 100);
    const std::string text = ShortestDecimal(v);
    ASSERT_TRUE(std::strtof(text.c_str(), nullptr) == v && text.find('+') == std::string::npos) << text;
  }
}
#else
using T = TavrineTuner;

TEST(Tuning, PathGivesFreshDesigns) {
  T tuner(kBuiltInTavrineDesign);
  std::vector<std::pair<int, int>> path;
  for (int type : {0, 1, 3, 2}) {
    for (const auto& [taps, bins] : {std::pair{1, 400}, {2, 37}, {400, 400}, {57, 256}}) {
      path.insert(path.end(), {{T::kType, type}, {T::kBins, bins}, {T::kTaps, taps}, {T::kAlpha, 30 * type + taps % 9},
                               {T::kEdge1, 1000 * type + 500}, {T::kEdge2, 9000 - 1000 * type}});
    }
  }
  Walk(tuner, path);
}

// Changes held at the limits (edge 1 at the first of 139 samples; 139
// taps designed of the 140 asked), and a click.
TEST(Tuning, ChangesHeldAtTheLimits) {
  T tuner(kBuiltInTavrineDesign);
  HoldsAtLimits(tuner, {{T::kBins, 0, 139, "TAVRINE_TAPS"}, {T::kEdge2, 11025, 11024, "TAVRINE_BPF_FC2"},
                        {T::kEdge1, 0, 159, "TAVRINE_BPF_FC1"}, {T::kTaps, 400, 140, "TAVRINE_TAPS"}});
  tuner.Click(9000.0);  // nearer to the upper edge
  EXPECT_EQ(tuner.Status(), "band-pass: 139 taps designed (140 asked), Kaiser alpha 7, 139 frequency samples, "
                            "edges 159 Hz and 9000 Hz; sampling 22050 Hz");
}
#endif

}  // namespace
