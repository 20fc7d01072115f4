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
std::string RunIn(const std::string& dir, const std::string& program, std::vector<std::string> args,
                  std::vector<std::string> wrapper = {}) {
  wrapper.push_back(e2e::kPrograms + program);
  args.insert(args.begin(), wrapper.begin() + 1, wrapper.end());
  e2e::Run run(wrapper[0], args, dir);
  return std::to_string(run.Wait(60).value_or(-1000)).insert(0, run.Stdout() + "|" + run.Stderr() + "|");
}

// A stereo float WAV at 22050 Hz of exact floats, interleaved, the right
// channel 3 times the left's size (it clips once filtered).
Floats WriteSound(const std::string& path) {
  Floats frames = Signal(10000);
  for (size_t i = 1; i < frames.size(); i += 2) frames[i] *= 3;
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

}  // namespace

TEST(CoeffExport, GivesAHeaderThatACProgramFiltersWithAsTheBoardHeaderOrRefusesAFileWithItsLineAndNoOutput) {
  const std::string dir = test::MakeTempDir(), layouts = "biquad-c, biquad-sos, biquad-cmsis, fir-c, fir-cmsis";
  test::Write(dir + "/coeff1.txt", test::Read(TEST_DATA_DIR "/pelmora_coeff1.txt"));
  const std::string ran = RunIn(dir, "coeff-export", {"biquad-c", "coeff1.txt"});
  EXPECT_EQ(ran.substr(ran.size() - 3), "||0");
  test::Write(dir + "/coeffs.h", ran.substr(0, ran.size() - 3));
  // The README's example program, as strict C99 with the board's flags: an impulse's first six outputs.
  std::string expected;
  for (float v : Filter(true, kPelmora, {1, 0, 0, 0, 0, 0})) expected += FormatNumber("%.9g\n", double(v));
  EXPECT_EQ(test::Capture("cd '" + dir + "' && " C_COMPILER " -std=c99 -pedantic-errors -Wall -Werror -ffp-contract=off"
                          " -O2 -I" BOARD_DIR " -I. " EXAMPLE " -o block 2>&1 && ./block"),
            expected);
  // Refused, with nothing on standard output: (arguments, a file's name and text, standard error and status); the
  // reading's other refusals are in tests/unit/board_test.cpp.
  std::string many;  // 400 lines of 38 characters, and one more
  for (int i = 0; i < 401; ++i) many += i < 400 ? "0." + std::string(36, '5') + "\n" : "0.5\n";
  const std::string e = "|coeff-export: ", tavrine = e2e::kData + "/tavrine_coeff1.txt";
  const std::string usage = "usage: coeff-export LAYOUT FILE (LAYOUT: " + layouts + ")\n";
  const std::vector<std::tuple<std::vector<std::string>, std::string, std::string>> cases = {
      {{"biquad-c"}, "", "|" + usage + "|255"},
      {{"iir-c", "coeff1.txt"}, "", e + "unknown layout iir-c; the layouts are " + layouts + ".\n|2"},
      {{"biquad-c", "coef1.txt"}, "", e + "coef1.txt cannot be opened: No such file or directory.\n|1"},
      {{"fir-c", "."}, "", e + ". cannot be read: Is a directory.\n|1"},
      {{"fir-c", "/dev/null"}, "", e + "/dev/null is empty.\n|2"},
      {{"biquad-c", tavrine}, "", e + tavrine + ", line 41: a biquad file holds at most 8 sections (40 lines).\n|2"},
      {{"fir-cmsis", "many.txt"}, many, e + "many.txt, line 401: a tap file holds at most 400 taps.\n|2"},
      {{"fir-c", "/dev/zero"}, "",
       e + "/dev/zero, line 1: the line is longer than 38 characters, which the viewers read as more than one "
           "number.\n|2"},
      {{"--help"}, "",
       usage + "Writes the numbers of FILE, a biquad file (biquad-*) or a tap file (fir-*), one number a line,\n"
               "on standard output in LAYOUT for DSP code; a file with anything else is refused.\n||0"},
  };
  for (const auto& [args, text, expected] : cases) {
    if (!text.empty()) test::Write(dir + "/" + args[1], text);
    EXPECT_EQ(RunIn(dir, "coeff-export", args), expected);
  }
  EXPECT_EQ(RunIn(dir, "coeff-export", {"fir-c", "coeff1.txt"}, {"sh", "-c", "exec \"$@\" >/dev/full", "sh"}),
            e + "standard output cannot be written.\n|1");
}

// A folder with pelmora's coeff1.txt, a stereo in.wav, its hard link
// same.wav, an earlier out.wav and a folder that cannot be written.
struct CoeffApply : testing::Test {
  const std::string dir = test::MakeTempDir(), no = "|coeff-apply: ";
  const std::vector<std::string> ok = {"biquad", "coeff1.txt", "22050", "in.wav", "out.wav"};
  Floats y;  // in.wav's frames through the header's cascade
  std::string input;
  void SetUp() override {
    test::Write(dir + "/coeff1.txt", test::Read(TEST_DATA_DIR "/pelmora_coeff1.txt"));
    y = Filter(true, kPelmora, WriteSound(dir + "/in.wav"), {4096}, 2);
    input = test::Read(dir + "/in.wav");
    test::Write(dir + "/out.wav", e2e::kEarlier);
    link((dir + "/in.wav").c_str(), (dir + "/same.wav").c_str());
    mkdir((dir + "/locked").c_str(), 0500);
  }
};

TEST_F(CoeffApply, RefusesWithALineLeavingEveryFileAsItWas) {
  const std::string tavrine = e2e::kData + "/tavrine_coeff1.txt", bq = "BiquadN = 2\n" + no;
  const std::string usage =
      "usage: coeff-apply [--format wav16|wav24|float|flac] [--gain DB] biquad|fir COEFFS RATE INPUT OUTPUT\n";
  // Root passes over a folder's permissions unless it gives up the capabilities that let it.
  const auto as_user =
      geteuid() ? std::vector<std::string>{}
                : std::vector<std::string>{"setpriv", "--bounding-set=-dac_override,-dac_read_search,-fowner", "--"};
  auto with = [&](size_t at, const std::string& arg) { std::vector<std::string> a = ok; a[at] = arg; return a; };
  const std::vector<std::tuple<std::vector<std::string>, std::vector<std::string>, std::string>> cases = {
      {{"biquad", "coeff1.txt", "22050", "in.wav"}, {}, "|" + usage + "|255"},
      {{"biquad", "coeff1.txt", "22050", "in.wav", "out.wav", "--gain"}, {}, "|" + usage + "|255"},
      {{"--help"}, {},
       usage + "Filters each channel of INPUT with the biquad cascade or the taps of COEFFS, designed for RATE Hz,\n"
               "multiplies the filtered samples by the gain (DB, 0 when not given) and writes them to OUTPUT in the\n"
               "format --format names, else in the one of OUTPUT's extension: .wav (INPUT's sample format), .flac\n"
               "(24 bits), .ogg (Vorbis); without an extension, INPUT's format.\n||0"},
      {with(4, "out.xyz"), {},
       no + "out.xyz: unknown extension .xyz; the extensions are .wav, .flac and .ogg, or --format names the "
            "format.\n|2"},
      {{"--gain", "-3dB", "fir", "coeff1.txt", "22050", "in.wav", "out.wav"}, {},
       no + "the gain must be a number of dB from -200 to 200, not -3dB.\n|2"},
      {with(1, tavrine), {}, no + tavrine + ", line 41: a biquad file holds at most 8 sections (40 lines).\n|2"},
      {with(0, "iir"), {}, no + "unknown kind iir; the kinds are biquad and fir.\n|2"},
      {with(2, "22kHz"), {},
       no + "the rate must be the design's sampling frequency in Hz, a number above 0, not 22kHz.\n|2"},
      {{"--format=mp3", "fir", "coeff1.txt", "22050", "in.wav", "out.wav"}, {},
       no + "unknown format mp3; the formats are wav16, wav24, float and flac.\n|2"},
      {with(1, "missing.txt"), {}, no + "missing.txt cannot be opened: No such file or directory.\n|1"},
      {with(3, "missing.wav"), {},
       bq + "missing.wav cannot be opened as a sound file: System error : No such file or directory.\n|1"},
      {{"fir", "coeff1.txt", "44100", "in.wav", "out.wav"}, {},
       "TapN = 10\n" + no + "in.wav is sampled at 22050 Hz, but the coefficients were designed for 44100 Hz.\n|2"},
      {with(4, "same.wav"), {}, bq + "in.wav and same.wav are the same file; the output must be another.\n|2"},
      {with(4, "locked/out.wav"), as_user, bq + "locked/out.wav cannot be created: Permission denied.\n|1"},
      {ok, {"prlimit", "--fsize=20000", "--"},  // 40 kB to write
       bq + "out.wav cannot be written: System error : File too large.\n|1"},
  };
  for (const auto& [args, wrapper, expected] : cases) {
    EXPECT_EQ(RunIn(dir, "coeff-apply", args, wrapper), expected);
    EXPECT_TRUE(test::Read(dir + "/in.wav") == input && test::Read(dir + "/out.wav") == e2e::kEarlier);
    EXPECT_EQ(test::Listing(dir) + test::Listing(dir + "/locked"), "coeff1.txt\nin.wav\nlocked\nout.wav\nsame.wav\n");
  }
}

TEST_F(CoeffApply, FiltersEachChannelAsTheBoardHeaderReplacingTheOutputWhole) {
  // Done, in the format that --format or OUTPUT's extension names (none: the
  // input's): float samples, times 10^(G/20) in single precision for a gain
  // of G dB; integer samples rounded to the nearest step, full scale where
  // they clip; Vorbis, lossy, its frames. (arguments before ok's, OUTPUT, format, bits, G)
  const int wav_float = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  const std::vector<std::tuple<std::vector<std::string>, std::string, int, int, double>> done = {
      {{}, "out.wav", wav_float, 0, 0},
      {{}, "out", wav_float, 0, 0},
      {{"--gain=-20"}, "out.wav", wav_float, 0, -20},
      {{"--format", "wav16"}, "out.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 16, 0},
      {{}, "out.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 24, 0},
      {{}, "out.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, -1, 0},
  };
  for (const auto& [before, output, format, bits, gain] : done) {
    Floats expected = y;
    float peak = 0;
    long long clipped = 0;
    for (float& v : expected) {
      v *= float(std::pow(10.0, gain / 20));
      const double scale = bits > 0 ? std::ldexp(1.0, bits - 1) : 0, q = std::nearbyint(v * scale);
      peak = std::max(peak, std::fabs(v)), clipped += q < -scale || q > scale - 1;
      if (bits > 0) v = float(std::clamp(q, -scale, scale - 1) / scale);
    }
    std::vector<std::string> args = before;
    args.insert(args.end(), ok.begin(), ok.end() - 1), args.push_back(output);
    const std::string ran = RunIn(dir, "coeff-apply", args);
    const std::string warning = no + std::to_string(clipped) + " samples clipped; --gain ";
    const double avoiding =
        std::strtod(ran.c_str() + std::min(ran.find(warning) + warning.size(), ran.size()), nullptr);
    EXPECT_EQ(ran, "BiquadN = 2\n" + output + ": 5000 frames, 2 channels; peak " + FormatNumber("%.4f", peak) + " (" +
                       FormatNumber("%+.1f", 20 * std::log10(peak)) + " dBFS)" +
                       (bits > 0 ? ", " + std::to_string(clipped) + " samples clipped\n" + warning +
                                       FormatNumber("%.1f", avoiding) + " would avoid it.\n|0"
                                 : "\n||0"));
    const auto [written, samples] = ReadSound(dir + "/" + output);
    // No PEAK chunk, whose time stamp would make two runs' bytes differ.
    EXPECT_EQ(std::make_tuple(written, bits < 0 ? samples.size() == y.size() : samples == expected,
                              test::Read(dir + "/" + output).find("PEAK")),
              std::make_tuple(format, true, std::string::npos))
        << output;
    // The gain the warning gives avoids clipping; 0.2 dB more does not.
    for (const double more : {0.0, 0.2}) {
      if (bits != 16) continue;
      std::vector<std::string> gained = args;
      gained.insert(gained.begin(), {"--gain", FormatNumber("%.1f", avoiding + more)});
      const bool none = RunIn(dir, "coeff-apply", gained).find(" 0 samples clipped\n||0") != std::string::npos;
      EXPECT_EQ(none, more == 0) << more;
    }
  }
  // Vorbis input to .wav: float samples, as WAV holds no Vorbis.
  const std::string vorbis = RunIn(dir, "coeff-apply", {"biquad", "coeff1.txt", "22050", "out.ogg", "out.wav"});
  EXPECT_EQ(vorbis.substr(vorbis.size() - 3) + std::to_string(ReadSound(dir + "/out.wav").first),
            "||0" + std::to_string(wav_float));
  EXPECT_TRUE(test::Read(dir + "/in.wav") == input);
  EXPECT_EQ(test::Listing(dir), "coeff1.txt\nin.wav\nlocked\nout\nout.flac\nout.ogg\nout.wav\nsame.wav\n");
}
