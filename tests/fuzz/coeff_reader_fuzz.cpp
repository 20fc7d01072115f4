// Fuzzes the biquad coefficient reader with the viewer's whole chain
// behind it: any file content is loaded, evaluated and plotted.

#include <cstdint>

#include "iir/cascade_response.h"
#include "iir/coeff_file.h"
#include "iir/iir_viewer.h"
#include "plot/frame.h"
#include "plot/response_plot.h"
#include "plot/shared_state.h"
#include "tests/fuzz/fuzz_file.h"

namespace {
IplImage* canvas = nullptr;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::OpenFile();
  canvas = CreateCanvas();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!fuzz::HoldInput(data, size)) return 0;
  TxtLoad(fuzz::file_name.c_str());
  if (BiquadN < 0 || BiquadN > kMaxSections) __builtin_trap();
  CalcFres(Gain, Theta);
  DrawFresWithLabels(canvas, 100, 60, Gain, Theta, LabelColumn{"%8.0f", {-55, 130, 310}, -25});
  return 0;
}
