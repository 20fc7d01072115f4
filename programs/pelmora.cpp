// pelmora: designs an IIR filter from its built-in parameters (a Butterworth
// prototype by default, or one of the steeper families),
// plots its gain and phase, and after a key press writes the biquad
// sections to "coeff1.txt". The parameters are constants chosen when the
// suite is configured (PELMORA_*, pelmora_parameters.h); by default a
// band-pass of order 2 (fourth order in all) from 2000 Hz to 5000 Hz at
// 22050 Hz, 3 dB down at both corners. Command-line arguments are ignored.

#include "core/state.h"
#include "iir/cascade_response.h"
#include "iir/coeff_file.h"
#include "iir/pelmora_design.h"
#include "pelmora_parameters.h"
#include "plot/frame.h"
#include "plot/response_plot.h"

int main() {
  IplImage* canvas = CreateCanvas();
  MakePelmoraDesign(kConfiguredDesign);

  CalcFres(Gain, Theta);
  DrawFres(canvas, kPlotX0, kPlotY0, Gain, Theta, kPelmoraLabels);
  ShowUntilKey("Frequency Response", canvas);

  TxtSave("coeff1.txt");
  return 0;
}
