// coeff-apply [--format F] [--gain DB] KIND COEFFS RATE INPUT OUTPUT:
// filters a sound file with the biquad cascade or the taps of a
// coefficient file, read strictly (coeff/coeff_reading.h), each channel on
// its own, through the board header (board/filter_board.h), scales the
// filtered samples by the gain, and writes OUTPUT beside and renames it
// into place, in the format that --format or OUTPUT's extension names.
//
// Exit statuses: 0 done; 1 a file that cannot be read or written; 2 an
// argument refused (kind, rate, format, extension, gain, a coefficient file
// refused, a sound file at another rate, INPUT and OUTPUT the same file);
// 255 too few arguments.

#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "board/filter_board.h"
#include "coeff/coeff_reading.h"
#include "core/file_replacement.h"
#include "core/number_text.h"

namespace {

const char kUsage[] =
    "usage: coeff-apply [--format wav16|wav24|float|flac] [--gain DB] biquad|fir COEFFS RATE INPUT OUTPUT\n";
const char kHelp[] =
    "Filters each channel of INPUT with the biquad cascade or the taps of COEFFS, designed for RATE Hz,\n"
    "multiplies the filtered samples by the gain (DB, 0 when not given) and writes them to OUTPUT in the\n"
    "format --format names, else in the one of OUTPUT's extension: .wav (INPUT's sample format), .flac\n"
    "(24 bits), .ogg (Vorbis); without an extension, INPUT's format.\n";

// Output formats the user may ask for, by name.
struct NamedFormat {
  const char* name;
  int format;
};
const NamedFormat kFormats[] = {{"wav16", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
                                {"wav24", SF_FORMAT_WAV | SF_FORMAT_PCM_24},
                                {"float", SF_FORMAT_WAV | SF_FORMAT_FLOAT},
                                {"flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24}};
// Output formats by OUTPUT's extension; WAV with the input's sample format.
const NamedFormat kExtensions[] = {
    {"wav", SF_FORMAT_WAV}, {"flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24}, {"ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS}};

// OUTPUT's extension in lower case: what follows the last '.' of its last
// component, "" where there is none (a name that begins with its only '.'
// has none either).
std::string Extension(const std::string& path) {
  const size_t base = path.find_last_of('/') + 1, dot = path.find_last_of('.');
  std::string extension = dot == std::string::npos || dot <= base ? "" : path.substr(dot + 1);
  for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

// Whether a progress line on a terminal waits for its end.
bool progress_open = false;

[[noreturn]] void Fail(int status, const std::string& line) {
  if (progress_open) std::fputc('\n', stderr);
  std::fprintf(stderr, "coeff-apply: %s\n", line.c_str());
  std::exit(status);
}

// One channel's filter, on the shared coefficients.
struct ChannelFilter {
  std::vector<float> state;
  fb_biquad biquad;
  fb_fir fir;
  ChannelFilter(CoeffKind kind, const std::vector<float>& c) {
    if (kind == CoeffKind::kBiquad) {
      state.resize(c.size() / kLinesPerSection * 2 + 1);
      fb_biquad_init(&biquad, int(c.size() / kLinesPerSection), c.data(), state.data());
    } else {
      state.resize(2 * c.size() + 1);
      fb_fir_init(&fir, int(c.size()), c.data(), state.data());
    }
  }
  ChannelFilter(const ChannelFilter&) = delete;
  void Run(CoeffKind kind, float* samples, size_t n) {
    kind == CoeffKind::kBiquad ? fb_biquad_run(&biquad, samples, samples, n) : fb_fir_run(&fir, samples, samples, n);
  }
};

// Bits of an integer PCM format's samples, which this program rounds to
// itself (to nearest, saturating at full scale); 0 for the others.
int PcmBits(int format) {
  switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
      return 8;
    case SF_FORMAT_PCM_16:
      return 16;
    case SF_FORMAT_PCM_24:
      return 24;
    case SF_FORMAT_PCM_32:
      return 32;
    default:
      return 0;
  }
}

bool IsFloatFormat(int format) {
  const int sub = format & SF_FORMAT_SUBMASK;
  return sub == SF_FORMAT_FLOAT || sub == SF_FORMAT_DOUBLE || sub == SF_FORMAT_VORBIS || sub == SF_FORMAT_OPUS ||
         sub == SF_FORMAT_MPEG_LAYER_III;
}

// What the command line asks for, each argument checked.
struct Request {
  CoeffKind kind;
  const char *coeffs, *input, *output;
  double rate;
  double gain_db;
  float gain;  // the factor of gain_db, in single precision as the samples it multiplies
  int format;  // the output format asked for, or 0: the input's
};

// Reads the command line: --help answered, a wrong count of arguments
// refused with the usage line, the options taken out.
std::vector<const char*> Arguments(int argc, char* argv[], const char*& format_name, const char*& gain_text) {
  std::vector<const char*> args;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      std::printf("%s%s", kUsage, kHelp);
      std::exit(0);
    } else if (std::strcmp(argv[i], "--format") == 0 && i + 1 < argc) {
      format_name = argv[++i];
    } else if (std::strncmp(argv[i], "--format=", 9) == 0) {
      format_name = argv[i] + 9;
    } else if (std::strcmp(argv[i], "--gain") == 0 && i + 1 < argc) {
      gain_text = argv[++i];
    } else if (std::strncmp(argv[i], "--gain=", 7) == 0) {
      gain_text = argv[i] + 7;
    } else {
      args.push_back(argv[i]);
    }
  }
  if (args.size() != 5) {
    std::fputs(kUsage, stderr);
    std::exit(255);
  }
  return args;
}

// The output format that --format or OUTPUT's extension names, 0 for none.
int OutputFormat(const char* format_name, const char* output) {
  int format = 0;
  for (const NamedFormat& f : kFormats)
    if (format_name && std::strcmp(format_name, f.name) == 0) format = f.format;
  if (format_name && !format)
    Fail(2, std::string("unknown format ") + format_name + "; the formats are wav16, wav24, float and flac.");
  const std::string extension = Extension(output);
  for (const NamedFormat& f : kExtensions)
    if (!format_name && extension == f.name) format = f.format;
  if (!format_name && !extension.empty() && !format) {
    Fail(2, std::string(output) + ": unknown extension ." + extension +
                "; the extensions are .wav, .flac and .ogg, or --format names the format.");
  }
  return format;
}

// The request of the command line, or the program ends with the refusal.
Request ReadRequest(int argc, char* argv[]) {
  const char *format_name = nullptr, *gain_text = nullptr;
  const std::vector<const char*> args = Arguments(argc, argv, format_name, gain_text);
  Request r{};
  const std::string kind_name = args[0];
  r.coeffs = args[1], r.input = args[3], r.output = args[4];
  if (kind_name != "biquad" && kind_name != "fir")
    Fail(2, "unknown kind " + kind_name + "; the kinds are biquad and fir.");
  r.kind = kind_name == "biquad" ? CoeffKind::kBiquad : CoeffKind::kFir;
  char* end = nullptr;
  r.rate = std::strtod(args[2], &end);
  if (end == args[2] || *end || !(r.rate > 0) || !std::isfinite(r.rate)) {
    Fail(2,
         std::string("the rate must be the design's sampling frequency in Hz, a number above 0, not ") + args[2] + ".");
  }
  r.gain_db = gain_text ? std::strtod(gain_text, &end) : 0.0;
  if (gain_text && (end == gain_text || *end || !(std::fabs(r.gain_db) <= 200)))
    Fail(2, std::string("the gain must be a number of dB from -200 to 200, not ") + gain_text + ".");
  r.gain = float(std::pow(10.0, r.gain_db / 20));
  r.format = OutputFormat(format_name, r.output);
  return r;
}

// The coefficient file, read strictly, its size printed.
std::vector<float> ReadCoefficients(const Request& r) {
  const CoeffReading reading = ReadCoefficientFile(r.kind, r.coeffs);
  if (reading.fault != CoeffReading::Fault::kNone)
    Fail(reading.fault == CoeffReading::Fault::kUnreadable ? 1 : 2, reading.words);
  if (r.kind == CoeffKind::kBiquad) {
    std::printf("BiquadN = %zu\n", reading.values.size() / kLinesPerSection);
  } else {
    std::printf("TapN = %zu\n", reading.values.size());
  }
  return reading.values;
}

// Opens INPUT, checks it against the request, and works out the output's
// format into out_info.
SNDFILE* OpenInput(const Request& r, SF_INFO& in_info, SF_INFO& out_info) {
  SNDFILE* in = sf_open(r.input, SFM_READ, &in_info);
  if (!in) Fail(1, std::string(r.input) + " cannot be opened as a sound file: " + sf_strerror(nullptr));
  if (double(in_info.samplerate) != r.rate) {
    Fail(2, std::string(r.input) + " is sampled at " + std::to_string(in_info.samplerate) +
                " Hz, but the coefficients were designed for " + FormatNumber("%.9g", r.rate) + " Hz.");
  }
  // The same file under two names (a link, a path of another spelling) is
  // one device and inode.
  struct stat in_stat, out_stat;
  if (stat(r.input, &in_stat) == 0 && stat(r.output, &out_stat) == 0 && in_stat.st_dev == out_stat.st_dev &&
      in_stat.st_ino == out_stat.st_ino) {
    Fail(2, std::string(r.input) + " and " + r.output + " are the same file; the output must be another.");
  }
  // A format without its sample format (.wav) takes the input's, or float
  // samples where it cannot hold that one (a WAV of Vorbis input).
  out_info = in_info;
  if (r.format & SF_FORMAT_SUBMASK) {
    out_info.format = r.format;
  } else if (r.format) {
    out_info.format = r.format | (in_info.format & SF_FORMAT_SUBMASK);
    if (!sf_format_check(&out_info)) out_info.format = r.format | SF_FORMAT_FLOAT;
  }
  if (!sf_format_check(&out_info)) {
    Fail(2, std::string(r.output) + ": the format cannot hold " + std::to_string(in_info.channels) +
                " channels at " + std::to_string(in_info.samplerate) + " Hz.");
  }
  return in;
}

// The progress of a file that takes more than a second: on a terminal, one
// line rewritten; elsewhere (a log), a line each time; once shown, it ends
// at 100 % on a line of its own.
class Progress {
 public:
  Progress(const char* output, sf_count_t frames) : output_(output), frames_(frames) {}
  void Show(sf_count_t done) {
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    if (seconds < next_report_ || frames_ <= 0) return;
    std::fprintf(stderr, terminal_ ? "\rcoeff-apply: %s: %3d %%" : "coeff-apply: %s: %3d %%\n", output_,
                 int(100.0 * double(done) / double(frames_)));
    next_report_ = seconds + 0.5;
    reported_ = true;
    progress_open = terminal_;
  }
  void End() {
    const char* format = terminal_ ? "\rcoeff-apply: %s: 100 %%\n" : "coeff-apply: %s: 100 %%\n";
    if (reported_) std::fprintf(stderr, format, output_);
    progress_open = false;
  }

 private:
  const char* output_;
  sf_count_t frames_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  double next_report_ = 1.0;
  bool reported_ = false;
  bool terminal_ = isatty(2) != 0;
};

// What the filtered samples came to.
struct Written {
  sf_count_t frames = 0;
  float peak = 0.0f;
  long long clipped = 0;
  bool integer = false;    // an integer output format
  int bits = 0;            // its bits, where this program rounds to them
  double full_scale = 1;   // 2^(bits-1)
};

// Filters INPUT into OUTPUT's new file, channel by channel, scaled by the
// gain. Integer PCM samples: y full scales to round(y 2^(bits-1)),
// saturated, placed in the top bits of an int, which libsndfile shifts
// down exactly (its own conversion of floats rounds down). Other integer
// codings (A-law, ADPCM, ...) take libsndfile's conversion, clipped. The
// gain multiplies the filter's output before this, so the peak and the
// clipped samples are those of the scaled samples.
Written Filter(const Request& r, const std::vector<float>& c, SNDFILE* in, const SF_INFO& in_info, SNDFILE* out,
               int out_format, BesideFile& file) {
  Written w;
  w.integer = !IsFloatFormat(out_format);
  w.bits = PcmBits(out_format);
  w.full_scale = std::ldexp(1.0, w.bits - 1);
  const double top = w.full_scale - 1;
  if (w.integer) sf_command(out, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  // No PEAK chunk in a float file: its time stamp would make two runs on
  // the same input (or on the PC and the board) differ in their bytes.
  sf_command(out, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
  const int channels = in_info.channels;
  std::vector<std::unique_ptr<ChannelFilter>> filters;
  for (int ch = 0; ch < channels; ++ch) filters.push_back(std::make_unique<ChannelFilter>(r.kind, c));
  constexpr sf_count_t kFrames = 4096;
  std::vector<float> frames(size_t(kFrames) * channels), one(kFrames);
  std::vector<int> pcm(w.bits ? frames.size() : 0);
  Progress progress(r.output, in_info.frames);
  for (sf_count_t n; (n = sf_readf_float(in, frames.data(), kFrames)) > 0; w.frames += n) {
    for (int ch = 0; ch < channels; ++ch) {
      for (sf_count_t i = 0; i < n; ++i) one[i] = frames[size_t(i * channels + ch)];
      filters[ch]->Run(r.kind, one.data(), size_t(n));
      for (sf_count_t i = 0; i < n; ++i) {
        const size_t at = size_t(i * channels + ch);
        const float y = frames[at] = one[i] * r.gain;
        w.peak = std::fmax(w.peak, std::fabs(y));
        if (w.bits) {
          const double q = std::nearbyint(double(y) * w.full_scale);
          w.clipped += q > top || q < -w.full_scale;
          pcm[at] = int(std::ldexp(std::fmin(std::fmax(q, -w.full_scale), top), 32 - w.bits));
        } else {
          w.clipped += w.integer && std::fabs(y) > 1.0f;
        }
      }
    }
    if ((w.bits ? sf_writef_int(out, pcm.data(), n) : sf_writef_float(out, frames.data(), n)) != n) {
      const std::string why = sf_strerror(out);
      sf_close(out);
      file.Abandon();
      Fail(1, std::string(r.output) + " cannot be written: " + why);
    }
    progress.Show(w.frames + n);
  }
  if (sf_error(in) != SF_ERR_NO_ERROR) {
    const std::string why = sf_strerror(in);
    sf_close(out);
    file.Abandon();
    Fail(1, std::string(r.input) + " cannot be read: " + why);
  }
  progress.End();
  return w;
}

// The summary line, and where samples were clipped, the gain that would
// bring the peak to the largest value the format holds, rounded down to a
// tenth of a dB, so that it does avoid clipping.
void Report(const Request& r, const Written& w, int channels) {
  std::string report = std::string(r.output) + ": " + std::to_string(w.frames) + " frames, " +
                       std::to_string(channels) + (channels == 1 ? " channel; peak " : " channels; peak ") +
                       FormatNumber("%.4f", w.peak) + " (" + FormatNumber("%+.1f", 20 * std::log10(double(w.peak))) +
                       " dBFS)";
  if (w.integer) report += ", " + std::to_string(w.clipped) + " samples clipped";
  std::printf("%s\n", report.c_str());
  if (w.clipped > 0) {
    const double largest = w.bits ? (w.full_scale - 1) / w.full_scale : 1.0;
    const double avoiding = std::floor((r.gain_db + 20 * std::log10(largest / double(w.peak))) * 10) / 10;
    std::fflush(stdout);
    std::fprintf(stderr, "coeff-apply: %lld samples clipped; %s.\n", w.clipped,
                 std::isfinite(w.peak) ? ("--gain " + FormatNumber("%.1f", avoiding) + " would avoid it").c_str()
                                       : "the output is not finite, which no gain avoids");
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  const Request r = ReadRequest(argc, argv);
  const std::vector<float> c = ReadCoefficients(r);
  SF_INFO in_info = {}, out_info = {};
  SNDFILE* in = OpenInput(r, in_info, out_info);

  BesideFile file;
  const int fd = file.Create(r.output);
  if (fd < 0) Fail(1, std::string(r.output) + " cannot be created: " + std::strerror(errno) + ".");
  SNDFILE* out = sf_open_fd(fd, SFM_WRITE, &out_info, SF_FALSE);
  if (!out) {
    file.Abandon();
    Fail(1, std::string(r.output) + " cannot be written: " + sf_strerror(nullptr));
  }
  const Written written = Filter(r, c, in, in_info, out, out_info.format, file);
  sf_close(in);
  sf_write_sync(out);
  const int closed = sf_close(out);
  if (closed != 0 || !file.Commit()) {
    if (closed != 0) file.Abandon();
    Fail(1, std::string(r.output) + " cannot be written: " +
                (closed ? sf_error_number(closed) : std::strerror(errno)) + ".");
  }
  Report(r, written, in_info.channels);
  return 0;
}
