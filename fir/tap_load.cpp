#include <cstdio>
#include <algorithm>
#include <cstdlib>

#include "coeff/coeff_text.h"
#include "fir/tap_file.h"
#include "fir/taps.h"

static_assert(kMostFileTaps <= kMaxTaps, "the viewer's taps hold every tap of a file");

void TxtLoad(const char* name, float* taps) {
  const ViewerReading reading = ReadAsViewer(CoeffKind::kFir, name);
  if (reading.fault != ViewerReading::Fault::kNone) {
    std::printf("%s\n", reading.words.c_str());
    std::exit(1);
  }
  const std::vector<float>& values = reading.coefficients.values;
  std::copy(values.begin(), values.end(), taps);
  TapN = int(values.size());
  std::printf("TapN = %d\n", TapN);
  if (reading.more) {
    std::fprintf(stderr, "%s: more than %d taps; only the first %d are used.\n", name, kMostFileTaps, kMostFileTaps);
  }
}
