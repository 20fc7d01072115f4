#include <string>

#include "core/textio.h"
#include "fir/fir_design.h"
#include "fir/tap_file.h"

void TxtSave(const char* name, const float* taps) {
  std::string content;
  for (int i = 0; i < TapN; ++i) AppendValueLine(content, taps[i]);
  if (evenTap == 1) AppendValueLine(content, 0.0f);
  ReplaceFileOrExit(name, content);
}
