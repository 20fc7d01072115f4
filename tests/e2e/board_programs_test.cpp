// coeff-export and coeff-apply run as a user runs them: pelmora's file
// exported as a C header that a C program built with the board's flags
// filters with as the header does here; a sound file made here filtered
// channel by channel, bit for bit as the header filters it; and what
// each refuses, with its line and status, leaving every file as it was.
#include <sndfile.h>

#include "board/filter_board.h"
#include "tests/e2e/harness.h"

namespace {

using Floats = std::vector<float>;
const Floats kPelmora = {0.265783f, 0, -0.265783f, -0.385449f, 0.475031f, 0.422319f, 0, -0.422319f, -1.316578f, 0.639658f};

struct Ran {
  std::string out, err;
  int status;
};

// A program of the suite run in dir, through `wrapper` (setpriv, prlimit) if one is given.
Ran RunIn(const std::string& dir, const std::string& program, std::vector<std::string> args, std::vector<std::string> wrapper = {}) {
  wrapper.push_back(e2e::kPrograms + program);
  args.insert(args.begin(), wrapper.begin() + 1, wrapper.end());
  e2e::Run run(wrapper[0], args, dir);
  const int status = run.Wait(60).value_or(-1000);
  return {run.Stdout(), run.Stderr(), status};
}

// A directory with pelmora's coeff1.txt (its ten lines as the floats above print).
std::string PelmoraDir() {
  const std::string dir = test::MakeTempDir();
  std::string file;
  for (float v : kPelmora) file += std::to_string(v) + "\n";
  test::Write(dir + "/coeff1.txt", file);
  return dir;
}

// pelmora's filter over x, or over each of x's `channels` interleaved.
Floats Filtered(Floats x, int channels = 1) {
  for (int c = 0; c < channels; ++c) {
    Floats state(4), one;
    for (size_t i = c; i < x.size(); i += channels) one.push_back(x[i]);
    fb_biquad f;
    fb_biquad_init(&f, 2, kPelmora.data(), state.data());
    fb_biquad_run(&f, one.data(), one.data(), one.size());
    for (size_t i = c; i < x.size(); i += channels) x[i] = one[i / channels];
  }
  return x;
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
  if (file) sf_close(file);
  return {info.format, samples};
}

std::string Listing(const std::string& dir) { return test::Capture("ls -A '" + dir + "'"); }

std::string Repeat(const std::string& text, int times) {
  std::string all;
  while (times-- > 0) all += text;
  return all;
}

}  // namespace

TEST(CoeffExport, GivesAHeaderThatACProgramFiltersWithAsTheBoardHeader) {
  const std::string dir = PelmoraDir();
  const Ran ran = RunIn(dir, "coeff-export", {"biquad-c", "coeff1.txt"});
  EXPECT_EQ(ran.err + std::to_string(ran.status), "0");
  test::Write(dir + "/coeffs.h", ran.out);
  test::Write(dir + "/block.c", "#include <stdio.h>\n#include \"filter_board.h\"\n#include \"coeffs.h\"\nint main(void) {\n"
              "  float state[2 * BIQUAD_SECTIONS], x[64], y[64];\n  fb_biquad f;\n  int i;\n"
              "  for (i = 0; i < 64; ++i) x[i] = (i % 7 - 3) * 0.25f;\n  fb_biquad_init(&f, BIQUAD_SECTIONS, biquad_coeffs, state);\n"
              "  fb_biquad_run(&f, x, y, 64);\n  for (i = 0; i < 64; ++i) printf(\"%a\\n\", y[i]);\n  return 0;\n}\n");
  Floats x(64);
  for (int i = 0; i < 64; ++i) x[i] = float(i % 7 - 3) * 0.25f;
  std::string expected;
  for (float v : Filtered(x)) {
    char line[40];
    std::snprintf(line, sizeof line, "%a\n", double(v));
    expected += line;
  }
  EXPECT_EQ(test::Capture("cd '" + dir + "' && " C_COMPILER " -std=c99 -pedantic-errors -Wall -Werror -ffp-contract=off -O2 -I" BOARD_DIR
                          " block.c -o block 2>&1 && ./block"), expected);
}

TEST(CoeffExport, FaultsAsTheViewers) {
  const std::string dir = test::MakeTempDir(), layouts = "biquad-c, biquad-sos, biquad-cmsis, fir-c, fir-cmsis";
  test::Write(dir + "/many.txt", Repeat("0.5\n", 401));
  const std::vector<std::tuple<std::vector<std::string>, std::string, std::string, int>> cases = {
      {{"biquad-c"}, "", "usage: coeff-export LAYOUT FILE (LAYOUT: " + layouts + ")\n", 255},
      {{"iir-c", "many.txt"}, "", "coeff-export: unknown layout iir-c; the layouts are " + layouts + ".\n", 2},
      {{"fir-c", "missing.txt"}, "missing.txt cannot be opened.\n", "", 1},
      {{"biquad-sos", "."}, ". cannot be read.\n", "", 1},
      {{"biquad-sos", "many.txt"}, Repeat("0.5 0.5 0.5 1 0.5 0.5\n", 8), "many.txt: more than 8 sections; only the first 8 are used.\n", 0},
      {{"fir-cmsis", "many.txt"}, "#define FIR_CMSIS_TAPS 400\n", "many.txt: more than 400 taps; only the first 400 are used.\n", 0},
  };
  for (const auto& [args, out, err, status] : cases) {
    const Ran ran = RunIn(dir, "coeff-export", args);
    // Of a C layout, the line of its count (its text is read back in the unit tests).
    EXPECT_TRUE(out[0] == '#' ? ran.out.find(out) != std::string::npos : ran.out == out) << ran.out;
    EXPECT_EQ(ran.err + std::to_string(ran.status), err + std::to_string(status));
  }
}

TEST(CoeffApply, FiltersEachChannelAsTheBoardHeaderAndReplacesTheOutputWhole) {
  const std::string dir = PelmoraDir();
  const Floats y = Filtered(WriteSound(dir + "/in.wav"), 2);
  const std::string input = test::Read(dir + "/in.wav");
  test::Write(dir + "/out.wav", e2e::kEarlier);
  chmod((dir + "/out.wav").c_str(), 0640);
  // 16-bit samples: each value rounded to the nearest step, full scale where it clips.
  Floats pcm16 = y;
  float peak = 0;
  int clipped = 0;
  for (float& v : pcm16) {
    const double q = std::nearbyint(v * 32768.0);
    peak = std::max(peak, std::fabs(v)), clipped += q < -32768 || q > 32767, v = float(std::clamp(q, -32768.0, 32767.0) / 32768);
  }
  char report[100];
  std::snprintf(report, sizeof report, "BiquadN = 2\nout.wav: 5000 frames, 2 channels; peak %.4f (%+.1f dBFS)", peak, 20 * std::log10(peak));
  // The sound file's own format (float samples), then 16-bit samples on request.
  for (const std::string format : {"", "wav16"}) {
    std::vector<std::string> args = {"biquad", "coeff1.txt", "22050", "in.wav", "out.wav"};
    if (!format.empty()) args.insert(args.begin(), {"--format", format});
    const Ran ran = RunIn(dir, "coeff-apply", args);
    EXPECT_EQ(ran.out, report + (format.empty() ? "" : ", " + std::to_string(clipped) + " samples clipped") + "\n");
    EXPECT_EQ(ran.err + std::to_string(ran.status), "0");
    const auto [kind, samples] = ReadSound(dir + "/out.wav");
    EXPECT_EQ(kind, SF_FORMAT_WAV | (format.empty() ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_16));
    EXPECT_EQ(samples, format.empty() ? y : pcm16);
  }
  struct stat st;
  EXPECT_EQ(stat((dir + "/out.wav").c_str(), &st) == 0 ? st.st_mode & 0777 : 0, 0640u);
  EXPECT_EQ(test::Read(dir + "/in.wav"), input);
  EXPECT_EQ(Listing(dir), "coeff1.txt\nin.wav\nout.wav\n");
}

TEST(CoeffApply, RefusesWithALineAndLeavesEveryFileAsItWas) {
  const std::string dir = PelmoraDir(), bq = "BiquadN = 2\n";
  WriteSound(dir + "/in.wav");
  const std::string input = test::Read(dir + "/in.wav");
  test::Write(dir + "/out.wav", e2e::kEarlier);
  link((dir + "/in.wav").c_str(), (dir + "/same.wav").c_str());
  mkdir((dir + "/locked").c_str(), 0500);
  // Root passes over a folder's permissions unless it gives up the capabilities that let it.
  std::vector<std::string> as_user;
  if (geteuid() == 0) as_user = {"setpriv", "--bounding-set=-dac_override,-dac_read_search,-fowner", "--"};
  const std::vector<std::string> ok = {"biquad", "coeff1.txt", "22050", "in.wav", "out.wav"};
  auto with = [&](size_t at, const std::string& arg) { std::vector<std::string> a = ok; a[at] = arg; return a; };
  const std::vector<std::tuple<std::vector<std::string>, std::vector<std::string>, std::string, std::string, int>> cases = {
      {{"biquad", "coeff1.txt", "22050", "in.wav"}, {}, "", "usage: coeff-apply [--format wav16|wav24|float|flac] biquad|fir COEFFS RATE INPUT OUTPUT\n", 255},
      {with(0, "iir"), {}, "", "coeff-apply: unknown kind iir; the kinds are biquad and fir.\n", 2},
      {with(2, "22kHz"), {}, "", "coeff-apply: the rate must be the design's sampling frequency in Hz, a number above 0, not 22kHz.\n", 2},
      {{"--format=mp3", "fir", "coeff1.txt", "22050", "in.wav", "out.wav"}, {}, "", "coeff-apply: unknown format mp3; the formats are wav16, wav24, float and flac.\n", 2},
      {with(1, "missing.txt"), {}, "missing.txt cannot be opened.\n", "", 1},
      {with(3, "missing.wav"), {}, bq, "coeff-apply: missing.wav cannot be opened as a sound file: System error", 1},
      {with(2, "44100"), {}, bq, "coeff-apply: in.wav is sampled at 22050 Hz, but the coefficients were designed for 44100 Hz.\n", 2},
      {with(4, "same.wav"), {}, bq, "coeff-apply: in.wav and same.wav are the same file; the output must be another.\n", 2},
      {with(4, "locked/out.wav"), as_user, bq, "coeff-apply: locked/out.wav cannot be created: Permission denied.\n", 1},
      {ok, {"prlimit", "--fsize=20000", "--"}, bq, "coeff-apply: out.wav cannot be written: ", 1},  // 40 kB to write
  };
  for (const auto& [args, wrapper, out, err, status] : cases) {
    const Ran ran = RunIn(dir, "coeff-apply", args, wrapper);
    EXPECT_EQ(ran.out + ran.err.substr(0, err.size()) + std::to_string(ran.status), out + err + std::to_string(status));
    EXPECT_EQ(std::count(ran.err.begin(), ran.err.end(), '\n'), !err.empty()) << ran.err;
    EXPECT_EQ(test::Read(dir + "/in.wav") + test::Read(dir + "/out.wav"), input + e2e::kEarlier);
    EXPECT_EQ(Listing(dir) + Listing(dir + "/locked"), "coeff1.txt\nin.wav\nlocked\nout.wav\nsame.wav\n");
  }
}
