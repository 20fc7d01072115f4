// sunnaq: plots the gain and phase of the FIR taps in the tap file named
// by its first argument (further arguments are ignored). Without an
// argument it prints a usage line on standard error and exits with
// status 255; a file that cannot be opened ends it with status 1.

#include <cstdio>
#include <string>

#include "core/state.h"
#include "fir/tap_file.h"
#include "fir/taps.h"
#include "plot/frame.h"
#include "plot/response_plot.h"

int main(int argc, char** argv) {
  IplImage* canvas = CreateCanvas();

  if (argc <= 1) {
    std::fputs("1st arg must be input file name.\n", stderr);
    return -1;
  }
  // A copy of the whole name, whatever its length.
  const std::string name = argv[1];

  TxtLoad(name.c_str(), hh);
  CalcFres(Gain, Theta);
  DrawFres(canvas, kPlotX0, kPlotY0, Gain, Theta, kSunnaqLabels);
  ShowUntilKey("Frequency Response", canvas);
  return 0;
}
