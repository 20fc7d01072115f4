#include <string>

#include "core/textio.h"
#include "fir/fir_design.h"
#include "fir/tap_file.h"

std::string TapFileText(const float* taps) {
  std::string content;
  for (int i = 0; i < TapN; ++i) AppendValueLine(content, taps[i]);
  if (evenTap == 1) AppendValueLine(content, 0.0f);
  return content;
}

void TxtSave(const char* name, const float* taps) { ReplaceFileOrExit(name, TapFileText(taps)); }
