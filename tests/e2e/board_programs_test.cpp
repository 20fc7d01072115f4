// coeff-export and coeff-apply run as a user runs them: pelmora's file
// exported as a C header that a C program built with the board's flags
// filters with as the header does here; a sound file made here filtered
// channel by channel, bit for bit as the header filters it; and what
// each refuses, with its line and status, leaving every file as it was.
#include <sndfile.h>

#include "core/textio.h"
#include "tests/board_support.h"
#include "tests/e2e/harness.h"

namespace {

using namespace board;

// A program of the suite run in dir, through `wrapper` (setpriv, prlimit) if
// one is given: "standard output|standard error|exit status".
std::string RunIn(const std::string& dir, const std::string& program, std::vector<std::string> args, std::vector<std::string> wrapper = {}) {
  wrapper.push_back(e2e::kPrograms + program);
  args.insert(args.begin(), wrapper.begin() + 1, wrapper.end());
  e2e::Run run(wrapper[0], args, dir);
  return std::to_string(run.Wait(60).value_or(-1000)).insert(0, run.Stdout() + "|" + run.Stderr() + "|");
}

// A stereo float WAV at 22050 Hz of exact floats, interleaved, the right
// channel 3 times the left's size (it clips once filtered).
Floats WriteSound(const std::string& path) {
  Floats frames(10000);
  for (uint32_t i = 0, s = 1; i < frames.size(); ++i) frames[i] = float(1 + i % 2 * 2) * float(int32_t(s = s * 1664525u + 1013904223u) >> 8) * 0x1p-23f;
  SF_INFO info = {0, 22050, 2, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0, 0};
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  sf_writef_float(file, frames.data(), 5000);
  sf_close(file);
  return frames;
}

// A sound file's format and its samples, interleaved (up to 5001 stereo frames).
std::pair<int, Floats> ReadSound(const std::string& path) {
  SF_INFO info = {};
  Floats samples(10002);
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  samples.resize(file && info.channels == 2 ? size_t(sf_readf_float(file, samples.data(), 5001)) * 2 : 0);
  sf_close(file);
  return {info.format, samples};
}

std::string Listing(const std::string& dir) { return test::Capture("ls -A '" + dir + "'"); }

}  // namespace

TEST(CoeffExport, GivesAHeaderThatACProgramFiltersWithAsTheBoardHeaderAndFaultsAsTheViewers) {
  const std::string dir = test::MakeTempDir(), layouts = "biquad-c, biquad-sos, biquad-cmsis, fir-c, fir-cmsis";
  test::Write(dir + "/coeff1.txt", test::Read(TEST_DATA_DIR "/pelmora_coeff1.txt"));
  const std::string ran = RunIn(dir, "coeff-export", {"biquad-c", "coeff1.txt"});
  EXPECT_EQ(ran.substr(ran.size() - 3), "||0");
  test::Write(dir + "/coeffs.h", ran.substr(0, ran.size() - 3));
  // The README's example program, as strict C99 with the board's flags: an impulse's first six outputs.
  std::string expected;
  for (float v : Filter(true, kPelmora, {1, 0, 0, 0, 0, 0})) expected += FormatNumber("%.9g\n", double(v));
  EXPECT_EQ(test::Capture("cd '" + dir + "' && " C_COMPILER " -std=c99 -pedantic-errors -Wall -Werror -ffp-contract=off -O2 -I" BOARD_DIR
                          " -I. " EXAMPLE " -o block 2>&1 && ./block"), expected);
  // Faults and notes; of a layout's text, the line of its count (the text is read back in the unit tests).
  test::Write(dir + "/many.txt", std::string(401, '\n'));  // 401 zeros
  EXPECT_EQ(RunIn(dir, "coeff-export", {"biquad-c"}), "|usage: coeff-export LAYOUT FILE (LAYOUT: " + layouts + ")\n|255");
  EXPECT_EQ(RunIn(dir, "coeff-export", {"iir-c", "many.txt"}), "|coeff-export: unknown layout iir-c; the layouts are " + layouts + ".\n|2");
  EXPECT_EQ(RunIn(dir, "coeff-export", {"fir-c", "missing.txt"}), "missing.txt cannot be opened.\n||1");
  const std::string many = RunIn(dir, "coeff-export", {"fir-cmsis", "many.txt"});
  EXPECT_EQ(many.substr(many.find("#define FIR_CMSIS_TAPS"), 27) + many.substr(many.find('|')), "#define FIR_CMSIS_TAPS 400\n|many.txt: more than 400 taps; only the first 400 are used.\n|0");
}

TEST(CoeffApply, FiltersEachChannelAsTheBoardHeaderReplacingTheOutputWholeOrRefusesWithALine) {
  const std::string dir = test::MakeTempDir(), bq = "BiquadN = 2\n|coeff-apply: ";
  test::Write(dir + "/coeff1.txt", test::Read(TEST_DATA_DIR "/pelmora_coeff1.txt"));
  const Floats y = Filter(true, kPelmora, WriteSound(dir + "/in.wav"), {4096}, 2);
  const std::string input = test::Read(dir + "/in.wav");
  test::Write(dir + "/out.wav", e2e::kEarlier);
  link((dir + "/in.wav").c_str(), (dir + "/same.wav").c_str());
  mkdir((dir + "/locked").c_str(), 0500);
  // Refused, with every file as it was. Root passes over a folder's permissions
  // unless it gives up the capabilities that let it.
  const auto as_user = geteuid() ? std::vector<std::string>{} : std::vector<std::string>{"setpriv", "--bounding-set=-dac_override,-dac_read_search,-fowner", "--"};
  const std::vector<std::string> ok = {"biquad", "coeff1.txt", "22050", "in.wav", "out.wav"};
  auto with = [&](size_t at, const std::string& arg) { std::vector<std::string> a = ok; a[at] = arg; return a; };
  const std::vector<std::tuple<std::vector<std::string>, std::vector<std::string>, std::string>> cases = {
      {{"biquad", "coeff1.txt", "22050", "in.wav"}, {}, "|usage: coeff-apply [--format wav16|wav24|float|flac] biquad|fir COEFFS RATE INPUT OUTPUT\n|255"},
      {with(0, "iir"), {}, "|coeff-apply: unknown kind iir; the kinds are biquad and fir.\n|2"},
      {with(2, "22kHz"), {}, "|coeff-apply: the rate must be the design's sampling frequency in Hz, a number above 0, not 22kHz.\n|2"},
      {{"--format=mp3", "fir", "coeff1.txt", "22050", "in.wav", "out.wav"}, {}, "|coeff-apply: unknown format mp3; the formats are wav16, wav24, float and flac.\n|2"},
      {with(1, "missing.txt"), {}, "missing.txt cannot be opened.\n||1"},
      {with(3, "missing.wav"), {}, bq + "missing.wav cannot be opened as a sound file: System error : No such file or directory.\n|1"},
      {with(2, "44100"), {}, bq + "in.wav is sampled at 22050 Hz, but the coefficients were designed for 44100 Hz.\n|2"},
      {with(4, "same.wav"), {}, bq + "in.wav and same.wav are the same file; the output must be another.\n|2"},
      {with(4, "locked/out.wav"), as_user, bq + "locked/out.wav cannot be created: Permission denied.\n|1"},
      {ok, {"prlimit", "--fsize=20000", "--"}, bq + "out.wav cannot be written: System error : File too large.\n|1"},  // 40 kB to write
  };
  for (const auto& [args, wrapper, expected] : cases) {
    EXPECT_EQ(RunIn(dir, "coeff-apply", args, wrapper), expected);
    EXPECT_TRUE(test::Read(dir + "/in.wav") == input && test::Read(dir + "/out.wav") == e2e::kEarlier);
    EXPECT_EQ(Listing(dir) + Listing(dir + "/locked"), "coeff1.txt\nin.wav\nlocked\nout.wav\nsame.wav\n");
  }
  // Done: in the sound file's own format (float samples), then in 16-bit samples on
  // request, each value rounded to the nearest step, full scale where it clips.
  Floats pcm16 = y;
  float peak = 0;
  int clipped = 0;
  for (float& v : pcm16) {
    const double q = std::nearbyint(v * 32768.0);
    peak = std::max(peak, std::fabs(v)), clipped += q < -32768 || q > 32767, v = float(std::clamp(q, -32768.0, 32767.0) / 32768);
  }
  const std::string report = "BiquadN = 2\nout.wav: 5000 frames, 2 channels; peak " + FormatNumber("%.4f", peak) + " (" +
                             FormatNumber("%+.1f", 20 * std::log10(peak)) + " dBFS)";
  for (const std::string format : {"", "wav16"}) {
    std::vector<std::string> args = ok;
    if (!format.empty()) args.insert(args.begin(), {"--format", format});
    EXPECT_EQ(RunIn(dir, "coeff-apply", args), report + (format.empty() ? "" : ", " + std::to_string(clipped) + " samples clipped") + "\n||0");
    EXPECT_EQ(ReadSound(dir + "/out.wav"), std::make_pair(SF_FORMAT_WAV | (format.empty() ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_16), format.empty() ? y : pcm16));
  }
  EXPECT_TRUE(test::Read(dir + "/in.wav") == input);
  EXPECT_EQ(Listing(dir), "coeff1.txt\nin.wav\nlocked\nout.wav\nsame.wav\n");
}
