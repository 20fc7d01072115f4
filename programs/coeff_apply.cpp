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
#include "core/beside_file.h"
#include "coeff/coeff_reading.h"
#include "core/textio.h"

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

}  // namespace

int main(int argc, char* argv[]) {
  std::vector<const char*> args;
  const char *format_name = nullptr, *gain_text = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      std::printf("%s%s", kUsage, kHelp);
      return 0;
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
    return -1;
  }
  const std::string kind_name = args[0];
  const char *coeffs = args[1], *input = args[3], *output = args[4];
  if (kind_name != "biquad" && kind_name != "fir")
    Fail(2, "unknown kind " + kind_name + "; the kinds are biquad and fir.");
  const CoeffKind kind = kind_name == "biquad" ? CoeffKind::kBiquad : CoeffKind::kFir;
  char* end = nullptr;
  const double rate = std::strtod(args[2], &end);
  if (end == args[2] || *end || !(rate > 0) || !std::isfinite(rate)) {
    Fail(2,
         std::string("the rate must be the design's sampling frequency in Hz, a number above 0, not ") + args[2] + ".");
  }
  const double gain_db = gain_text ? std::strtod(gain_text, &end) : 0.0;
  if (gain_text && (end == gain_text || *end || !(std::fabs(gain_db) <= 200)))
    Fail(2, std::string("the gain must be a number of dB from -200 to 200, not ") + gain_text + ".");
  // The factor of the gain, in single precision as the samples it multiplies.
  const float gain = float(std::pow(10.0, gain_db / 20));
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

  const CoeffReading reading = ReadCoefficientFile(kind, coeffs);
  if (reading.fault != CoeffReading::Fault::kNone)
    Fail(reading.fault == CoeffReading::Fault::kUnreadable ? 1 : 2, reading.words);
  const std::vector<float>& c = reading.values;
  if (kind == CoeffKind::kBiquad) {
    std::printf("BiquadN = %zu\n", c.size() / kLinesPerSection);
  } else {
    std::printf("TapN = %zu\n", c.size());
  }

  SF_INFO in_info = {};
  SNDFILE* in = sf_open(input, SFM_READ, &in_info);
  if (!in) Fail(1, std::string(input) + " cannot be opened as a sound file: " + sf_strerror(nullptr));
  if (double(in_info.samplerate) != rate) {
    Fail(2, std::string(input) + " is sampled at " + std::to_string(in_info.samplerate) +
                " Hz, but the coefficients were designed for " + FormatNumber("%.9g", rate) + " Hz.");
  }
  // The same file under two names (a link, a path of another spelling) is
  // one device and inode.
  struct stat in_stat, out_stat;
  if (stat(input, &in_stat) == 0 && stat(output, &out_stat) == 0 && in_stat.st_dev == out_stat.st_dev &&
      in_stat.st_ino == out_stat.st_ino) {
    Fail(2, std::string(input) + " and " + output + " are the same file; the output must be another.");
  }
  // A format without its sample format (.wav) takes the input's, or float
  // samples where it cannot hold that one (a WAV of Vorbis input).
  SF_INFO out_info = in_info;
  if (format & SF_FORMAT_SUBMASK) {
    out_info.format = format;
  } else if (format) {
    out_info.format = format | (in_info.format & SF_FORMAT_SUBMASK);
    if (!sf_format_check(&out_info)) out_info.format = format | SF_FORMAT_FLOAT;
  }
  if (!sf_format_check(&out_info)) {
    Fail(2, std::string(output) + ": the format cannot hold " + std::to_string(in_info.channels) + " channels at " +
                std::to_string(in_info.samplerate) + " Hz.");
  }

  BesideFile file;
  const int fd = file.Create(output);
  if (fd < 0) Fail(1, std::string(output) + " cannot be created: " + std::strerror(errno) + ".");
  SNDFILE* out = sf_open_fd(fd, SFM_WRITE, &out_info, SF_FALSE);
  if (!out) {
    file.Abandon();
    Fail(1, std::string(output) + " cannot be written: " + sf_strerror(nullptr));
  }
  // Integer PCM samples: y full scales to round(y 2^(bits-1)), saturated,
  // placed in the top bits of an int, which libsndfile shifts down exactly
  // (its own conversion of floats rounds down). Other integer codings
  // (A-law, ADPCM, ...) take libsndfile's conversion, clipped. The gain
  // multiplies the filter's output before this, so the peak and the clipped
  // samples are those of the scaled samples.
  const bool integer = !IsFloatFormat(out_info.format);
  const int bits = PcmBits(out_info.format);
  const double full_scale = std::ldexp(1.0, bits - 1), top = full_scale - 1;
  if (integer) sf_command(out, SFC_SET_CLIPPING, nullptr, SF_TRUE);

  const int channels = in_info.channels;
  std::vector<std::unique_ptr<ChannelFilter>> filters;
  for (int ch = 0; ch < channels; ++ch) filters.push_back(std::make_unique<ChannelFilter>(kind, c));
  constexpr sf_count_t kFrames = 4096;
  std::vector<float> frames(size_t(kFrames) * channels), one(kFrames);
  std::vector<int> pcm(bits ? frames.size() : 0);
  float peak = 0.0f;
  long long clipped = 0;
  sf_count_t done = 0;
  const auto start = std::chrono::steady_clock::now();
  double next_report = 1.0;
  bool reported = false;
  const bool terminal = isatty(2);
  for (sf_count_t n; (n = sf_readf_float(in, frames.data(), kFrames)) > 0; done += n) {
    for (int ch = 0; ch < channels; ++ch) {
      for (sf_count_t i = 0; i < n; ++i) one[i] = frames[size_t(i * channels + ch)];
      filters[ch]->Run(kind, one.data(), size_t(n));
      for (sf_count_t i = 0; i < n; ++i) {
        const size_t at = size_t(i * channels + ch);
        const float y = frames[at] = one[i] * gain;
        peak = std::fmax(peak, std::fabs(y));
        if (bits) {
          const double q = std::nearbyint(double(y) * full_scale);
          clipped += q > top || q < -full_scale;
          pcm[at] = int(std::ldexp(std::fmin(std::fmax(q, -full_scale), top), 32 - bits));
        } else {
          clipped += integer && std::fabs(y) > 1.0f;
        }
      }
    }
    if ((bits ? sf_writef_int(out, pcm.data(), n) : sf_writef_float(out, frames.data(), n)) != n) {
      const std::string why = sf_strerror(out);
      sf_close(out);
      file.Abandon();
      Fail(1, std::string(output) + " cannot be written: " + why);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // Progress: on a terminal, one line rewritten; elsewhere (a log), a line each time.
    if (seconds >= next_report && in_info.frames > 0) {
      std::fprintf(stderr, terminal ? "\rcoeff-apply: %s: %3d %%" : "coeff-apply: %s: %3d %%\n", output,
                   int(100.0 * double(done + n) / double(in_info.frames)));
      next_report = seconds + 0.5;
      reported = true;
      progress_open = terminal;
    }
  }
  if (sf_error(in) != SF_ERR_NO_ERROR) {
    const std::string why = sf_strerror(in);
    sf_close(out);
    file.Abandon();
    Fail(1, std::string(input) + " cannot be read: " + why);
  }
  // Progress, once shown, ends at 100 % on a line of its own.
  if (reported) std::fprintf(stderr, terminal ? "\rcoeff-apply: %s: 100 %%\n" : "coeff-apply: %s: 100 %%\n", output);
  progress_open = false;
  sf_close(in);
  sf_write_sync(out);
  const int closed = sf_close(out);
  if (closed != 0 || !file.Commit()) {
    if (closed != 0) file.Abandon();
    Fail(1, std::string(output) + " cannot be written: " + (closed ? sf_error_number(closed) : std::strerror(errno)) +
                ".");
  }
  std::string report = std::string(output) + ": " + std::to_string(done) + " frames, " + std::to_string(channels) +
                       (channels == 1 ? " channel; peak " : " channels; peak ") + FormatNumber("%.4f", peak) + " (" +
                       FormatNumber("%+.1f", 20 * std::log10(double(peak))) + " dBFS)";
  if (integer) report += ", " + std::to_string(clipped) + " samples clipped";
  std::printf("%s\n", report.c_str());
  // The gain that would bring the peak to the largest value the format
  // holds, rounded down to a tenth of a dB, so that it does avoid clipping.
  if (clipped > 0) {
    const double largest = bits ? top / full_scale : 1.0;
    const double avoiding = std::floor((gain_db + 20 * std::log10(largest / double(peak))) * 10) / 10;
    std::fflush(stdout);
    std::fprintf(stderr, "coeff-apply: %lld samples clipped; %s.\n", clipped,
                 std::isfinite(peak) ? ("--gain " + FormatNumber("%.1f", avoiding) + " would avoid it").c_str()
                                     : "the output is not finite, which no gain avoids");
  }
  return 0;
}
