// Fuzzes a file reader with the viewer's whole chain behind it: any file
// content is loaded, evaluated and plotted. Built once per format: with
// TAP_FILE the tap reader, without it the biquad coefficient reader. The
// input is handed over as an in-memory file named through /proc.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "plot/response_plot.h"
#include "plot/shared_state.h"
#ifdef TAP_FILE
#include "fir/tap_file.h"
#include "fir/taps.h"
#else
#include "iir/cascade_response.h"
#include "iir/coeff_file.h"
#include "iir/iir_viewer.h"
#endif

namespace {
int fd = -1;
std::string name;
IplImage* canvas = nullptr;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fd = memfd_create("input", 0);
  name = "/proc/self/fd/" + std::to_string(fd);
  canvas = CreateCanvas();
  return std::freopen("/dev/null", "w", stdout) ? 0 : 1;  // the count line of every input
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;
#ifdef TAP_FILE
  TxtLoad(name.c_str(), hh);
  if (TapN < 0 || TapN > kMaxTaps) __builtin_trap();
#else
  TxtLoad(name.c_str());
  if (BiquadN < 0 || BiquadN > kMaxSections) __builtin_trap();
#endif
  CalcFres(Gain, Theta);
  DrawFresWithLabels(canvas, 100, 60, Gain, Theta, LabelColumn{"%8.0f", {-55, 130, 310}, -25});
  return 0;
}
