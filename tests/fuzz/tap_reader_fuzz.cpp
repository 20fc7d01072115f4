// Fuzzes the tap file reader with the viewer's whole chain behind it: any
// file content is loaded, evaluated and plotted.

#include <cstdint>

#include "fir/tap_file.h"
#include "fir/taps.h"
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
  TxtLoad(fuzz::file_name.c_str(), hh);
  if (TapN < 0 || TapN > kMaxTaps) __builtin_trap();
  CalcFres(Gain, Theta);
  DrawFresWithLabels(canvas, 100, 60, Gain, Theta, LabelColumn{"%10.0f", {-70, 120, 300}, -30});
  return 0;
}
