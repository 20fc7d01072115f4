// coeff-export LAYOUT FILE: writes the coefficients of a biquad file or a
// tap file on standard output in a layout that DSP code takes
// (coeff/coeff_layout.h). The layout names the file's kind, which the file
// itself does not say; the file is read strictly (coeff/coeff_reading.h),
// since what goes to a board must not be guessed.
//
// Exit statuses: 0 written; 1 the file cannot be opened or read, or
// standard output cannot be written; 2 an unknown layout or a file refused;
// 255 too few arguments. Every message goes to standard error, and nothing
// to standard output unless the whole layout is written.

#include <cstdio>
#include <cstring>
#include <string>

#include "coeff/coeff_layout.h"
#include "coeff/coeff_reading.h"

int main(int argc, char* argv[]) {
  const std::string usage = "usage: coeff-export LAYOUT FILE (LAYOUT: " + CoeffLayoutNames() + ")\n";
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      std::printf(
          "%sWrites the numbers of FILE, a biquad file (biquad-*) or a tap file (fir-*), one number a line,\n"
          "on standard output in LAYOUT for DSP code; a file with anything else is refused.\n",
          usage.c_str());
      return 0;
    }
  }
  if (argc < 3) {
    std::fputs(usage.c_str(), stderr);
    return -1;
  }
  const CoeffLayout* layout = FindCoeffLayout(argv[1]);
  if (!layout) {
    std::fprintf(stderr, "coeff-export: unknown layout %s; the layouts are %s.\n", argv[1], CoeffLayoutNames().c_str());
    return 2;
  }
  const CoeffReading reading = ReadCoefficientFile(layout->kind, argv[2]);
  if (reading.fault != CoeffReading::Fault::kNone) {
    std::fprintf(stderr, "coeff-export: %s\n", reading.words.c_str());
    return reading.fault == CoeffReading::Fault::kUnreadable ? 1 : 2;
  }
  const std::string text = layout->write(reading.values, argv[2]);
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
    std::fputs("coeff-export: standard output cannot be written.\n", stderr);
    return 1;
  }
  return 0;
}
