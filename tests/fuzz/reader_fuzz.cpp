// Fuzzes a file reader with the viewer's whole chain behind it: any file
// content is loaded, evaluated and plotted. Built once per format: with
// TAP_FILE the tap reader, without it the biquad coefficient reader.

#include <cstdint>
#include <cstdio>

#include "core/state.h"
#include "plot/response_plot.h"
#include "tests/support.h"
#ifdef TAP_FILE
#include "fir/tap_file.h"
#include "fir/taps.h"
constexpr const LabelColumn& kLabels = kSunnaqLabels;
#else
#include "iir/cascade_response.h"
#include "iir/coeff_file.h"
#include "iir/iir_viewer.h"
constexpr const LabelColumn& kLabels = kCorvellLabels;
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string file = test::MakeTempDir() + "/input";
  static IplImage* canvas = CreateCanvas();
  static const bool quiet = std::freopen("/dev/null", "w", stdout);  // the count line of every input
  test::Write(file, std::string(reinterpret_cast<const char*>(data), size));
#ifdef TAP_FILE
  TxtLoad(file.c_str(), hh);
  if (!quiet || TapN < 0 || TapN > kMaxTaps) __builtin_trap();
#else
  TxtLoad(file.c_str());
  if (!quiet || BiquadN < 0 || BiquadN > kMaxSections) __builtin_trap();
#endif
  CalcFres(Gain, Theta);
  DrawFres(canvas, kPlotX0, kPlotY0, Gain, Theta, kLabels);
  return 0;
}
