// corvell: plots the gain and phase of the cascade of biquad sections in
// the coefficient file named by its first argument, until a key is
// pressed. Further arguments are ignored; nothing is written.

#include <cstdio>

#include "core/state.h"
#include "iir/cascade_response.h"
#include "iir/coeff_file.h"
#include "plot/frame.h"
#include "plot/response_plot.h"

int main(int argc, char* argv[]) {
  IplImage* canvas = CreateCanvas();
  if (argc <= 1) {
    std::fputs("1st arg must be input file name.\n", stderr);
    return -1;
  }
  // The name is passed on as given, whatever its length.
  TxtLoad(argv[1]);
  CalcFres(Gain, Theta);
  DrawFres(canvas, kPlotX0, kPlotY0, Gain, Theta, kCorvellLabels);
  ShowUntilKey("Freqency Response", canvas);
  return 0;
}
