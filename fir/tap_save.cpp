#include <string>
#include <vector>

#include "coeff/coeff_text.h"
#include "core/file_replacement.h"
#include "fir/fir_design.h"
#include "fir/tap_file.h"

std::vector<float> DesignedTaps(const float* taps) {
  std::vector<float> values(taps, taps + TapN);
  if (evenTap == 1) values.push_back(0.0f);
  return values;
}

std::string TapFileText(const float* taps) { return CoefficientFileText(DesignedTaps(taps)); }

void TxtSave(const char* name, const float* taps) { ReplaceFileOrExit(name, TapFileText(taps)); }
