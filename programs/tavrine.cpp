// tavrine: designs a linear-phase FIR filter by frequency sampling from its
// built-in parameters, plots its gain and phase, and after a key press
// writes the taps to "coeff1.txt". The parameters are constants chosen
// when the suite is configured (TAVRINE_*, tavrine_parameters.h); by
// default a band-pass from 2000 Hz to 8000 Hz at 22050 Hz, desired
// response at 400 bins, 140 requested taps (139 designed, the file gets a
// final zero tap), Kaiser window with alpha 7.0. Command-line arguments
// are ignored.

#include "core/state.h"
#include "fir/tap_file.h"
#include "fir/taps.h"
#include "fir/tavrine_design.h"
#include "plot/frame.h"
#include "plot/response_plot.h"
#include "tavrine_parameters.h"

int main() {
  IplImage* canvas = CreateCanvas();
  MakeTavrineDesign(kConfiguredDesign);

  CalcFres(Gain, Theta);
  DrawFres(canvas, kPlotX0, kPlotY0, Gain, Theta, kTavrineLabels);
  ShowUntilKey("Frequency Response", canvas);

  TxtSave("coeff1.txt", hh);
  return 0;
}
