// Fuzzes a file reader with the viewer's whole chain behind it: any file
// content is loaded, evaluated and plotted; and a content that the strict
// reading takes means the same to the viewer, bit for bit. Built once per
// format: with TAP_FILE the tap reader, without it the biquad coefficient
// reader.

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "coeff/coeff_reading.h"
#include "coeff/coeff_text.h"
#include "core/state.h"
#include "plot/response_plot.h"
#include "tests/support.h"
#ifdef TAP_FILE
#include "fir/tap_file.h"
#include "fir/taps.h"
constexpr const LabelColumn& kLabels = kSunnaqLabels;
constexpr CoeffKind kKind = CoeffKind::kFir;
#else
#include "iir/cascade_response.h"
#include "iir/coeff_file.h"
#include "iir/iir_viewer.h"
constexpr const LabelColumn& kLabels = kCorvellLabels;
constexpr CoeffKind kKind = CoeffKind::kBiquad;
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
  const std::string text(reinterpret_cast<const char*>(data), size);
  const CoeffReading strict = ParseCoefficients(kKind, text, "input");
  if (strict.fault == CoeffReading::Fault::kNone) {
    const ViewerReading viewer = ParseAsViewer(kKind, text);
    const std::vector<float>& values = viewer.coefficients.values;
    if (viewer.more || values.size() != strict.values.size() ||
        std::memcmp(values.data(), strict.values.data(), values.size() * sizeof(float)) != 0)
      __builtin_trap();
  }
  return 0;
}
