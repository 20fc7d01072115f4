// coeff-export and coeff-apply run as a user runs them: pelmora's file
// exported as a C header that a C program built with the board's flags
// filters with, as the header does here; a sound file made here filtered
// channel by channel, bit for bit as the header filters it; and what
// each refuses, with its line and status, leaving every file as it was.
#include <sndfile.h>

#include "board/filter_board.h"
#include "tests/e2e/harness.h"

namespace {

using Floats = std::vector<float>;
const std::string kPelmora = "0.265783\n0.000000\n-0.265783\n-0.385449\n0.475031\n0.422319\n0.000000\n-0.422319\n-1.316578\n0.639658\n";
const Floats kPelmoraValues = {0.265783f, 0, -0.265783f, -0.385449f, 0.475031f, 0.422319f, 0, -0.422319f, -1.316578f, 0.639658f};

struct Ran {
  std::string out, err;
  int status;
};

// Runs a program of the suite in dir, through `wrapper` (setpriv, prlimit) if given.
Ran RunIn(const std::string& dir, const std::string& program, std::vector<std::string> args,
          std::vector<std::string> wrapper = {}) {
  args.insert(args.begin(), e2e::kPrograms + program);
  if (wrapper.empty()) wrapper = {args[0]}, args.erase(args.begin());
  args.insert(args.begin(), wrapper.begin() + 1, wrapper.end());
  e2e::Run run(wrapper[0], args, dir);
  const int status = run.Wait(60).value_or(-1000);
  return {run.Stdout(), run.Stderr(), status};
}

Floats Filtered(const Floats& x) {
  Floats y(x.size()), state(4);
  fb_biquad f;
  fb_biquad_init(&f, 2, kPelmoraValues.data(), state.data());
  fb_biquad_run(&f, x.data(), y.data(), x.size());
  return y;
}

// Two channels of exact floats at 22050 Hz, `gain` times [-1, 1).
Floats Channel(uint32_t seed, float gain) {
  Floats x(5000);
  for (float& v : x) v = gain * float(int32_t(seed = seed * 1664525u + 1013904223u) >> 8) * 0x1p-23f;
  return x;
}

void WriteSound(const std::string& path, const Floats& left, const Floats& right) {
  SF_INFO info = {0, 22050, 2, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0, 0};
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  for (size_t i = 0; i < left.size(); ++i) sf_writef_float(file, Floats{left[i], right[i]}.data(), 1);
  sf_close(file);
}

// The channels of a sound file, and its format.
std::pair<std::vector<Floats>, int> ReadSound(const std::string& path) {
  SF_INFO info = {};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  std::vector<Floats> channels(file ? info.channels : 0);
  Floats frame(channels.size());
  while (file && sf_readf_float(file, frame.data(), 1) == 1)
    for (size_t c = 0; c < channels.size(); ++c) channels[c].push_back(frame[c]);
  if (file) sf_close(file);
  return {channels, info.format};
}

std::string Repeat(const std::string& text, int times) {
  std::string all;
  while (times-- > 0) all += text;
  return all;
}

std::string Listing(const std::string& dir) { return test::Capture("ls -A '" + dir + "'"); }

}  // namespace

TEST(CoeffExport, GivesAHeaderThatACProgramFiltersWithAsTheBoardHeader) {
  const std::string dir = test::MakeTempDir();
  test::Write(dir + "/coeff1.txt", kPelmora);
  const Ran ran = RunIn(dir, "coeff-export", {"biquad-c", "coeff1.txt"});
  EXPECT_EQ(ran.err + std::to_string(ran.status), "0");
  test::Write(dir + "/coeffs.h", ran.out);
  test::Write(dir + "/block.c",
              "#include <stdio.h>\n#include \"filter_board.h\"\n#include \"coeffs.h\"\nint main(void) {\n"
              "  float state[2 * BIQUAD_SECTIONS], x[64], y[64];\n  fb_biquad f;\n  int i;\n"
              "  for (i = 0; i < 64; ++i) x[i] = (i % 7 - 3) * 0.25f;\n"
              "  fb_biquad_init(&f, BIQUAD_SECTIONS, biquad_coeffs, state);\n  fb_biquad_run(&f, x, y, 64);\n"
              "  for (i = 0; i < 64; ++i) printf(\"%a\\n\", y[i]);\n  return 0;\n}\n");
  std::string expected;
  Floats x(64);
  for (int i = 0; i < 64; ++i) x[i] = float(i % 7 - 3) * 0.25f;
  for (float v : Filtered(x)) {
    char line[64];
    std::snprintf(line, sizeof line, "%a\n", double(v));
    expected += line;
  }
  EXPECT_EQ(test::Capture("cd '" + dir + "' && " C_COMPILER " -std=c99 -pedantic-errors -Wall -Werror -ffp-contract=off -O2 -I" BOARD_DIR
                          " block.c -o block 2>&1 && ./block"), expected);
}

TEST(CoeffExport, FaultsAsTheViewers) {
  const std::string dir = test::MakeTempDir(), usage = "usage: coeff-export LAYOUT FILE (LAYOUT: biquad-c, biquad-sos, biquad-cmsis, fir-c, fir-cmsis)\n";
  test::Write(dir + "/many.txt", Repeat("0.5\n", 401));
  const std::vector<std::tuple<std::vector<std::string>, std::string, std::string, int>> cases = {
      {{}, "", usage, 255},
      {{"biquad-c"}, "", usage, 255},
      {{"iir-c", "many.txt"}, "", "coeff-export: unknown layout iir-c; the layouts are biquad-c, biquad-sos, biquad-cmsis, fir-c, fir-cmsis.\n", 2},
      {{"fir-c", "missing.txt"}, "missing.txt cannot be opened.\n", "", 1},
      {{"biquad-sos", "."}, ". cannot be read.\n", "", 1},
      {{"fir-cmsis", "many.txt"}, "#define FIR_CMSIS_TAPS 400\n", "many.txt: more than 400 taps; only the first 400 are used.\n", 0},
      {{"biquad-sos", "many.txt"}, Repeat("0.5 0.5 0.5 1 0.5 0.5\n", 8), "many.txt: more than 8 sections; only the first 8 are used.\n", 0},
  };
  for (const auto& [args, out, err, status] : cases) {
    const Ran ran = RunIn(dir, "coeff-export", args);
    // A C layout's text is read back elsewhere: here the line of its count.
    EXPECT_TRUE(out[0] == '#' ? ran.out.find(out) != std::string::npos : ran.out == out) << ran.out;
    EXPECT_EQ(ran.err, err);
    EXPECT_EQ(ran.status, status);
  }
}

TEST(CoeffApply, FiltersEachChannelAsTheBoardHeaderAndReplacesTheOutputWhole) {
  const std::string dir = test::MakeTempDir();
  test::Write(dir + "/coeff1.txt", kPelmora);
  const Floats left = Channel(1, 1.0f), right = Channel(2, 3.0f);
  WriteSound(dir + "/in.wav", left, right);
  const std::string input = test::Read(dir + "/in.wav");
  test::Write(dir + "/out.wav", e2e::kEarlier);
  chmod((dir + "/out.wav").c_str(), 0640);
  const Floats y[2] = {Filtered(left), Filtered(right)};
  float peak = 0;
  int clipped = 0;
  for (const Floats& channel : y)
    for (float v : channel) peak = std::max(peak, std::fabs(v)), clipped += std::nearbyint(v * 32768.0) > 32767 || std::nearbyint(v * 32768.0) < -32768;
  char report[100];
  std::snprintf(report, sizeof report, "peak %.4f (%+.1f dBFS)", peak, 20 * std::log10(peak));
  // The sound file's own format (float samples), then 16-bit samples on request.
  for (const std::string format : {"", "wav16"}) {
    std::vector<std::string> args = {"biquad", "coeff1.txt", "22050", "in.wav", "out.wav"};
    if (!format.empty()) args.insert(args.begin(), {"--format", format});
    const Ran ran = RunIn(dir, "coeff-apply", args);
    EXPECT_EQ(ran.out, "BiquadN = 2\nout.wav: 5000 frames, 2 channels; " + std::string(report) +
                           (format.empty() ? "" : ", " + std::to_string(clipped) + " samples clipped") + "\n");
    EXPECT_EQ(ran.err + std::to_string(ran.status), "0");
    const auto [channels, kind] = ReadSound(dir + "/out.wav");
    EXPECT_EQ(kind, SF_FORMAT_WAV | (format.empty() ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_16));
    ASSERT_EQ(channels.size(), 2u);
    for (int c = 0; c < 2 && format.empty(); ++c) EXPECT_EQ(channels[c], y[c]);
    // 16 bits: each value rounded to the nearest step, full scale where it clips.
    for (size_t i = 0; i < y[1].size() && !format.empty(); ++i)
      ASSERT_EQ(channels[1][i], std::clamp(std::nearbyint(y[1][i] * 32768.0), -32768.0, 32767.0) / 32768) << i;
  }
  struct stat st;
  EXPECT_EQ(stat((dir + "/out.wav").c_str(), &st) == 0 ? st.st_mode & 0777 : 0, 0640u);
  EXPECT_EQ(test::Read(dir + "/in.wav"), input);
  EXPECT_EQ(Listing(dir), "coeff1.txt\nin.wav\nout.wav\n");
}

TEST(CoeffApply, RefusesWithALineAndLeavesEveryFileAsItWas) {
  const std::string dir = test::MakeTempDir();
  test::Write(dir + "/coeff1.txt", kPelmora);
  WriteSound(dir + "/in.wav", Channel(1, 1.0f), Channel(2, 1.0f));
  const std::string input = test::Read(dir + "/in.wav");
  test::Write(dir + "/out.wav", e2e::kEarlier);
  link((dir + "/in.wav").c_str(), (dir + "/same.wav").c_str());
  mkdir((dir + "/locked").c_str(), 0500);
  // Root passes over a folder's permissions unless it gives up the capabilities that let it.
  const std::vector<std::string> as_user = geteuid() == 0
      ? std::vector<std::string>{"setpriv", "--bounding-set=-dac_override,-dac_read_search,-fowner", "--"} : std::vector<std::string>{};
  const std::string usage = "usage: coeff-apply [--format wav16|wav24|float|flac] biquad|fir COEFFS RATE INPUT OUTPUT\n";
  const std::vector<std::tuple<std::vector<std::string>, std::vector<std::string>, std::string, std::string, int>> cases = {
      {{"biquad", "coeff1.txt", "22050", "in.wav"}, {}, "", usage, 255},
      {{"iir", "coeff1.txt", "22050", "in.wav", "out.wav"}, {}, "", "coeff-apply: unknown kind iir; the kinds are biquad and fir.\n", 2},
      {{"fir", "coeff1.txt", "22kHz", "in.wav", "out.wav"}, {}, "", "coeff-apply: the rate must be the design's sampling frequency in Hz, a number above 0, not 22kHz.\n", 2},
      {{"--format", "mp3", "fir", "coeff1.txt", "22050", "in.wav", "out.wav"}, {}, "", "coeff-apply: unknown format mp3; the formats are wav16, wav24, float and flac.\n", 2},
      {{"biquad", "missing.txt", "22050", "in.wav", "out.wav"}, {}, "missing.txt cannot be opened.\n", "", 1},
      {{"biquad", "coeff1.txt", "22050", "missing.wav", "out.wav"}, {}, "BiquadN = 2\n", "coeff-apply: missing.wav cannot be opened as a sound file: System error", 1},
      {{"biquad", "coeff1.txt", "44100", "in.wav", "out.wav"}, {}, "BiquadN = 2\n", "coeff-apply: in.wav is sampled at 22050 Hz, but the coefficients were designed for 44100 Hz.\n", 2},
      {{"biquad", "coeff1.txt", "22050", "in.wav", "same.wav"}, {}, "BiquadN = 2\n", "coeff-apply: in.wav and same.wav are the same file; the output must be another.\n", 2},
      {{"biquad", "coeff1.txt", "22050", "in.wav", "locked/out.wav"}, as_user, "BiquadN = 2\n", "coeff-apply: locked/out.wav cannot be created: Permission denied.\n", 1},
      {{"biquad", "coeff1.txt", "22050", "in.wav", "out.wav"}, {"prlimit", "--fsize=20000", "--"}, "BiquadN = 2\n", "coeff-apply: out.wav cannot be written: ", 1},
  };
  for (const auto& [args, wrapper, out, err, status] : cases) {
    const Ran ran = RunIn(dir, "coeff-apply", args, wrapper);
    EXPECT_EQ(ran.out, out);
    EXPECT_EQ(ran.err.substr(0, err.size()), err);
    EXPECT_EQ(std::count(ran.err.begin(), ran.err.end(), '\n'), !err.empty()) << ran.err;
    EXPECT_EQ(ran.status, status);
    EXPECT_EQ(test::Read(dir + "/in.wav") + test::Read(dir + "/out.wav"), input + e2e::kEarlier);
    EXPECT_EQ(Listing(dir) + Listing(dir + "/locked"), "coeff1.txt\nin.wav\nlocked\nout.wav\nsame.wav\n");
  }
}
