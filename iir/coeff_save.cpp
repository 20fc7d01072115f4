#include <string>
#include <vector>

#include "coeff/coeff_text.h"
#include "core/file_replacement.h"
#include "iir/coeff_file.h"
#include "iir/iir_design.h"

std::vector<float> DesignedCoefficients() {
  std::vector<float> values;
  for (int i = 0; i < DesignSections(FilType, OrderN); ++i)
    values.insert(values.end(), {p_a0[i], p_a1[i], p_a2[i], p_b1[i], p_b2[i]});
  return values;
}

std::string CoeffFileText() { return CoefficientFileText(DesignedCoefficients()); }

void TxtSave(const char* name) { ReplaceFileOrExit(name, CoeffFileText()); }
