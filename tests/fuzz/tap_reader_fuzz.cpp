// Fuzzes the tap file reader with the viewer's whole chain behind it: any
// file content is loaded, evaluated and plotted.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "fir/tap_file.h"
#include "fir/taps.h"
#include "plot/frame.h"
#include "plot/response_plot.h"
#include "plot/shared_state.h"

DEFINE_SHARED_STATE();
DEFINE_TAP_STATE();
const LabelColumn& kProgramLabels = kSunnaqLabels;

namespace {
int file_fd = -1;
std::string file_name;
IplImage* canvas = nullptr;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  file_fd = memfd_create("taps", 0);
  file_name = "/proc/self/fd/" + std::to_string(file_fd);
  canvas = CreateCanvas();
  // The reader's "TapN = n" line would flood the fuzzer's output.
  if (!std::freopen("/dev/null", "w", stdout)) return 1;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (ftruncate(file_fd, 0) != 0 || pwrite(file_fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;
  TxtLoad(file_name.c_str(), hh);
  if (TapN < 0 || TapN > kMaxTaps) __builtin_trap();
  CalcFres(Gain, Theta);
  DrawFres(canvas, 100, 60, Gain, Theta);
  return 0;
}
