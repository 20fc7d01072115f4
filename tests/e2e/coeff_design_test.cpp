// coeff-design run as a script runs it, in a folder of its own: the
// designers' files for configure options, byte for byte as the designers
// built with those options write them; the export layouts; and the configure's
// refusals, each with its line, its status and no file written.
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tests/e2e/harness.h"
#ifdef WITH_LIQUID
#include <liquid/liquid.h>
#endif

namespace {

const std::string kData = e2e::kData + "/", kNo = "|coeff-design: ";
const std::string kUsage = "usage: coeff-design pelmora|tavrine [-o FILE] [--layout LAYOUT] OPTION...\n";

// coeff-design run in dir, through `wrapper` if one is given: "standard
// output|standard error|exit status".
std::string RunIn(const std::string& dir, std::vector<std::string> args, std::vector<std::string> wrapper = {}) {
  wrapper.push_back(e2e::kPrograms + "coeff-design");
  args.insert(args.begin(), wrapper.begin() + 1, wrapper.end());
  e2e::Run run(wrapper[0], args, dir);
  const int status = run.Wait(60).value_or(-1000);
  return run.Stdout() + "|" + run.Stderr() + "|" + std::to_string(status);
}

// The numbers that open the pieces of a text between `separators`.
std::vector<double> Numbers(const std::string& text, const std::string& separators = "\n") {
  std::vector<double> numbers;
  for (size_t at = 0; at <= text.size(); at = std::min(text.find_first_of(separators, at), text.size()) + 1) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str() + at, &end);
    if (end != text.c_str() + at) numbers.push_back(v);
  }
  return numbers;
}

void ExpectNear(const std::vector<double>& got, const std::vector<double>& expected, double within) {
  ASSERT_EQ(got.size(), expected.size());
  for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], expected[i], within) << "value " << i;
}

mode_t ModeOf(const std::string& path) {
  struct stat st = {};
  return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

}  // namespace

TEST(CoeffDesign, WritesTheFileOfTheDesignerConfiguredWithTheOptionsReplacingTheEarlierOne) {
  // The pelmora files are what pelmora built with the options writes (tests/e2e/programs_test.cpp), the
  // tavrine band-reject one is what tavrine built with those options writes.
  const std::string band_reject = "0.583589\n-0.695851\n0.583589\n-0.387135\n0.475895\n"
                                  "0.926023\n-1.104157\n0.926023\n-1.316220\n0.639983\n";
  const std::string at_44100 = "0.793474\n-1.426137\n0.793474\n-1.340717\n0.672368\n"
                               "0.931094\n-1.673485\n0.931094\n-1.722087\n0.813585\n";
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"pelmora"}, test::Read(kData + "pelmora_coeff1.txt")},
      {{"pelmora", "PELMORA_FC1=2e3", "-DPELMORA_FSAMP=22050.", "-DPELMORA_TYPE=band-pass", "PELMORA_ORDER=2",
        "PELMORA_ATTENUATION_DB=3.0", "PELMORA_FC2=+5000"},
       test::Read(kData + "pelmora_coeff1.txt")},
      {{"tavrine"}, test::Read(kData + "tavrine_coeff1.txt")},
      {{"tavrine", "TAVRINE_ALPHA=7.0", "-DTAVRINE_BINS=400", "TAVRINE_BPF_FC2=8e3", "-DTAVRINE_LPF_FC1=1000"},
       test::Read(kData + "tavrine_coeff1.txt")},
      {{"tavrine", "-DTAVRINE_TYPE=band-reject", "-DTAVRINE_BRF_FC1=1500.5", "-DTAVRINE_BRF_FC2=5e3",
        "-DTAVRINE_FSAMP=16000.", "-DTAVRINE_BINS=256", "-DTAVRINE_TAPS=51", "-DTAVRINE_ALPHA=4.5"},
       test::Read(kData + "tavrine_band_reject.txt")},
      {{"pelmora", "-DPELMORA_TYPE=band-reject", "-DPELMORA_ORDER=2", "-DPELMORA_FC1=2000", "-DPELMORA_FC2=5000",
        "-DPELMORA_ATTENUATION_DB=3", "-DPELMORA_FSAMP=22050"},
       band_reject},
      {{"pelmora", "-DPELMORA_TYPE=band-reject", "-DPELMORA_FC1=2e3", "-DPELMORA_FC2=5000.0", "-DPELMORA_FSAMP=44100."},
       at_44100},
  };
  for (const auto& [args, expected] : cases) {
    SCOPED_TRACE(args.back());
    const std::string dir = test::MakeTempDir();
    test::Write(dir + "/coeff1.txt", e2e::kEarlier);
    chmod((dir + "/coeff1.txt").c_str(), 0640);
    EXPECT_EQ(RunIn(dir, args), "||0");
    EXPECT_TRUE(test::Read(dir + "/coeff1.txt") == expected);
    EXPECT_EQ(ModeOf(dir + "/coeff1.txt"), 0640u);
    // -o names another file, and coeff1.txt stays as it was.
    std::vector<std::string> to_other = args;
    to_other.insert(to_other.begin() + 1, {"-o", "other.txt"});
    EXPECT_EQ(RunIn(dir, to_other), "||0");
    EXPECT_TRUE(test::Read(dir + "/other.txt") == expected);
  }
}

TEST(CoeffDesign, WritesALayoutOnStandardOutputFromTheDesignsFullValuesAndNoFile) {
  // (designer, layout, the file of the design, what the numbers follow): the numbers are the file's, each
  // biquad-sos row a0 a1 a2 1 b1 b2, within the file's six decimals, and some hold more than six.
  const std::vector<std::tuple<std::string, std::string, std::string, std::string>> cases = {
      {"pelmora", "biquad-c", "pelmora_coeff1.txt", "{,"},
      {"pelmora", "biquad-sos", "pelmora_coeff1.txt", " \n"},
      {"tavrine", "fir-c", "tavrine_coeff1.txt", "{,"},
  };
  for (const auto& [designer, layout, file, after] : cases) {
    SCOPED_TRACE(layout);
    const std::string dir = test::MakeTempDir(), ran = RunIn(dir, {designer, "--layout", layout});
    ASSERT_EQ(ran.substr(ran.size() - 3), "||0");
    EXPECT_EQ(test::Listing(dir), "");
    std::string text = ran.substr(0, ran.size() - 3);
    if (text.find('{') != std::string::npos) text = text.substr(text.find('{'), text.find('}') - text.find('{'));
    std::vector<double> expected = Numbers(test::Read(kData + file));
    for (size_t i = 3; layout == "biquad-sos" && i < expected.size(); i += 6) expected.insert(expected.begin() + i, 1);
    const std::vector<double> full = Numbers(text, after);
    ExpectNear(full, expected, 5.01e-7);
    EXPECT_NE(full, expected);
  }
  EXPECT_EQ(RunIn(test::MakeTempDir(), {"pelmora", "--layout=biquad-cmsis"}, {"sh", "-c", "exec \"$@\" >/dev/full", "sh"}),
            kNo + "standard output cannot be written.\n|1");
}

TEST(CoeffDesign, RefusesWithTheConfiguresLineWritingNothing) {
  // Each row of tests/data/refused_values.txt, "SETTINGS|LINE": refused with LINE, or written without one.
  std::ifstream rows(kData + "refused_values.txt");
  for (std::string row; std::getline(rows, row);) {
    SCOPED_TRACE(row);
    std::istringstream words(row.substr(0, row.find('|')));
    std::vector<std::string> args{std::istream_iterator<std::string>(words), {}};
    const std::string line = row.substr(row.find('|') + 1), dir = test::MakeTempDir();
    args.insert(args.begin(), args[0].find("PELMORA") != std::string::npos ? "pelmora" : "tavrine");
    EXPECT_EQ(RunIn(dir, args), line.empty() ? "||0" : kNo + line + "\n|2");
    EXPECT_EQ(test::Listing(dir), line.empty() ? "coeff1.txt\n" : "");
  }
  // Arguments, standard output, standard error and status of the others.
  const std::string not_option =
      "PELMORA_FOO=1: not an option; the options are -DNAME=VALUE of PELMORA_TYPE, PELMORA_FAMILY, PELMORA_ORDER, "
      "PELMORA_FC1, PELMORA_FC2, PELMORA_STOP1, PELMORA_STOP2, PELMORA_ATTENUATION_DB, PELMORA_RIPPLE_DB, "
      "PELMORA_STOPBAND_DB, PELMORA_FSAMP\n|2";
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{}, "|" + kUsage + "|2"},
      {{"-DPELMORA_TYPE=low-pass"}, "|" + kUsage + "|2"},
      {{"pelmora", "-o"}, "|" + kUsage + "|2"},
      {{"pelmora", "--layout", "biquad-c", "-o", "x.h"}, "|" + kUsage + "|2"},
      {{"iir", "PELMORA_FC1=1000"}, kNo + "unknown designer iir; the designers are pelmora and tavrine.\n|2"},
      {{"tavrine", "--layout", "biquad-c"},
       kNo + "unknown layout biquad-c; the layouts of tavrine's design are fir-c, fir-cmsis.\n|2"},
      {{"pelmora", "-DPELMORA_FOO=1"}, kNo + not_option},
      {{"pelmora", "PELMORA_FSAMP=44100", "-o", "missing/coeff1.txt"},
       kNo + "missing/coeff1.txt cannot be opened: No such file or directory.\n|1"},
      {{"tavrine", "--help"},
       kUsage + "Designs pelmora's or tavrine's filter from configure options (-DNAME=VALUE, or NAME=VALUE), each\n"
                "variable not given at the configure's default, and writes the design's file as the designer built\n"
                "with those options writes it: coeff1.txt, or FILE. With --layout, writes the design on standard\n"
                "output in LAYOUT for DSP code instead (LAYOUT: biquad-c, biquad-sos, biquad-cmsis, fir-c, "
                "fir-cmsis).\n||0"},
  };
  for (const auto& [args, expected] : cases) {
    const std::string dir = test::MakeTempDir();
    EXPECT_EQ(RunIn(dir, args), expected);
    EXPECT_EQ(test::Listing(dir), "");
  }
}

namespace {

// Whether taps meet the low-pass requirement at 8000 Hz: within 0.1 dB
// (peak to peak) from 0 to 1000 Hz, 60 dB down from 1200 to 4000 Hz, on
// points 0.1 Hz apart.
bool MeetsLowPass(const std::vector<double>& h) {
  double pass_max = 0.0, pass_min = HUGE_VAL, stop_max = 0.0;
  for (int i = 0; i <= 40000; ++i) {
    const double f = i * 0.1, w = 2.0 * M_PI * f / 8000.0;
    if (f > 1000.0 && f < 1200.0) continue;
    double re = 0.0, im = 0.0;
    for (size_t n = 0; n < h.size(); ++n) re += h[n] * std::cos(w * n), im -= h[n] * std::sin(w * n);
    const double gain = std::hypot(re, im);
    if (f <= 1000.0) pass_max = std::max(pass_max, gain), pass_min = std::min(pass_min, gain);
    if (f >= 1200.0) stop_max = std::max(stop_max, gain);
  }
  return 20.0 * std::log10(pass_max / pass_min) <= 0.1 && 20.0 * std::log10(stop_max) <= -60.0;
}

}  // namespace

// TAVRINE_METHOD=equiripple with TAVRINE_TAPS=auto writes the fewest taps
// that meet the band requirement: 111, measured here on the file's
// taps; liquid-dsp's Parks-McClellan design of two fewer, on the same
// bands and weights (1 and dp / ds), does not meet it, its design of 111
// does.
TEST(CoeffDesign, EquirippleWithTheFewestTaps) {
  const std::string dir = test::MakeTempDir();
  ASSERT_EQ(RunIn(dir, {"tavrine", "-DTAVRINE_TYPE=low-pass", "-DTAVRINE_METHOD=equiripple", "-DTAVRINE_TAPS=auto",
                        "-DTAVRINE_LPF_FC1=1100", "-DTAVRINE_TRANSITION_HZ=200", "-DTAVRINE_RIPPLE_DB=0.1",
                        "-DTAVRINE_STOPBAND_DB=60", "-DTAVRINE_FSAMP=8000"}),
            "||0");
  const std::vector<double> taps = Numbers(test::Read(dir + "/coeff1.txt"));
  EXPECT_EQ(taps.size(), 111u);
  EXPECT_TRUE(MeetsLowPass(taps));
#ifdef WITH_LIQUID
  const float dp = (std::pow(10.0f, 0.005f) - 1.0f) / (std::pow(10.0f, 0.005f) + 1.0f);
  for (const unsigned count : {109u, 111u}) {
    std::vector<float> h(count), edges = {0.0f, 0.125f, 0.15f, 0.5f}, gains = {1.0f, 0.0f}, weights = {1.0f, dp / 1e-3f};
    std::vector<liquid_firdespm_wtype> flat(2, LIQUID_FIRDESPM_FLATWEIGHT);
    ASSERT_EQ(firdespm_run(count, 2, edges.data(), gains.data(), weights.data(), flat.data(), LIQUID_FIRDESPM_BANDPASS,
                           h.data()),
              LIQUID_OK);
    EXPECT_EQ(MeetsLowPass({h.begin(), h.end()}), count == 111u) << count;
  }
#endif
}
