#include <cstdio>
#include <cstdlib>

#include "coeff/coeff_text.h"
#include "iir/coeff_file.h"
#include "iir/iir_viewer.h"

float a0[kMaxSections], a1[kMaxSections], a2[kMaxSections];
float b1[kMaxSections], b2[kMaxSections];
int BiquadN;

static_assert(kMostFileSections <= kMaxSections, "the viewer's sections hold every section of a file");

void TxtLoad(const char* name) {
  const ViewerReading reading = ReadAsViewer(CoeffKind::kBiquad, name);
  if (reading.fault != ViewerReading::Fault::kNone) {
    std::printf("%s\n", reading.words.c_str());
    std::exit(1);
  }
  // Every section starts as a pass-through one; those of the file follow,
  // the last one completed by the reading. An empty file has none, and the
  // cascade of no sections is flat at 0 dB.
  for (int k = 0; k < kMaxSections; ++k) {
    a0[k] = 1.0f;
    a1[k] = a2[k] = b1[k] = b2[k] = 0.0f;
  }
  float* const slots[kLinesPerSection] = {a0, a1, a2, b1, b2};
  const std::vector<float>& values = reading.coefficients.values;
  for (size_t n = 0; n < values.size(); ++n) slots[n % kLinesPerSection][n / kLinesPerSection] = values[n];
  BiquadN = int(reading.coefficients.Sections());
  std::printf("BiquadN = %d\n", BiquadN);
  // A line beyond the sections that the set holds is not used: say so.
  if (reading.more) {
    std::fprintf(stderr, "%s: more than %d sections; only the first %d are used.\n", name, kMostFileSections,
                 kMostFileSections);
  }
}
