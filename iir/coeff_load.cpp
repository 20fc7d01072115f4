#include <cstdio>

#include "core/textio.h"
#include "iir/coeff_file.h"
#include "iir/iir_viewer.h"

float a0[kMaxSections], a1[kMaxSections], a2[kMaxSections];
float b1[kMaxSections], b2[kMaxSections];
int BiquadN;

void TxtLoad(const char* name) {
  std::FILE* file = OpenForReadingOrExit(name);
  for (int k = 0; k < kMaxSections; ++k) {
    a0[k] = 1.0f;
    a1[k] = a2[k] = b1[k] = b2[k] = 0.0f;
  }
  float* const slots[kLinesPerSection] = {a0, a1, a2, b1, b2};
  char line[kLineBufferSize];
  int reads = 0;
  while (reads < kMaxCoeffLines && ReadLinePiece(file, name, line)) {
    slots[reads % kLinesPerSection][reads / kLinesPerSection] = static_cast<float>(ParseValue(line));
    ++reads;
  }
  // Sections touched, the last one possibly in part; an empty file has none
  // and the cascade of no sections is flat at 0 dB.
  BiquadN = (reads + kLinesPerSection - 1) / kLinesPerSection;
  std::printf("BiquadN = %d\n", BiquadN);
  // A line beyond the sections that the set holds is not used: say so.
  if (reads == kMaxCoeffLines && ReadLinePiece(file, name, line)) {
    std::fprintf(stderr, "%s: more than %d sections; only the first %d are used.\n", name, kMaxSections, kMaxSections);
  }
  std::fclose(file);
}
