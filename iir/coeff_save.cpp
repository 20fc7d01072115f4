#include <string>

#include "core/textio.h"
#include "iir/coeff_file.h"
#include "iir/iir_design.h"

std::string CoeffFileText() {
  const bool two_sections = IsBand(FilType) && OrderN == 2;
  const int sections = two_sections ? 2 : 1;
  std::string content;
  for (int i = 0; i < sections; ++i) {
    AppendValueLine(content, p_a0[i]);
    AppendValueLine(content, p_a1[i]);
    AppendValueLine(content, p_a2[i]);
    AppendValueLine(content, p_b1[i]);
    AppendValueLine(content, p_b2[i]);
  }
  return content;
}

void TxtSave(const char* name) { ReplaceFileOrExit(name, CoeffFileText()); }
