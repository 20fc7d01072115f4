// coeff-export LAYOUT FILE: writes the coefficients of a biquad file or a
// tap file, read as the viewers read them, on standard output in a layout
// that DSP code takes (core/coeff_layout.h). The layout names the file's
// kind, which the file itself does not say.

#include <cstdio>
#include <string>

#include "core/coeff_layout.h"
#include "programs/coeff_read.h"

int main(int argc, char* argv[]) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: coeff-export LAYOUT FILE (LAYOUT: %s)\n", CoeffLayoutNames().c_str());
    return -1;
  }
  const CoeffLayout* layout = FindCoeffLayout(argv[1]);
  if (!layout) {
    std::fprintf(stderr, "coeff-export: unknown layout %s; the layouts are %s.\n", argv[1], CoeffLayoutNames().c_str());
    return 2;
  }
  const std::string text = layout->write(ReadCoefficients(layout->kind, argv[2], true), argv[2]);
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
    std::fputs("coeff-export: standard output cannot be written.\n", stderr);
    return 1;
  }
  return 0;
}
