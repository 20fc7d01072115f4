// pelmora: designs a Butterworth IIR filter from its built-in parameters,
// plots its gain and phase, and after a key press writes the biquad
// sections to "coeff1.txt". The parameters are constants chosen when the
// suite is configured (PELMORA_*, pelmora_parameters.h); by default a
// band-pass of order 2 (fourth order in all) from 2000 Hz to 5000 Hz at
// 22050 Hz, 3 dB down at both corners. Command-line arguments are ignored.

#include "iir/cascade_response.h"
#include "iir/coeff_file.h"
#include "iir/iir_design.h"
#include "pelmora_parameters.h"
#include "plot/frame.h"
#include "plot/response_plot.h"
#include "plot/shared_state.h"

// The frequency texts' format and x offsets, and the legend's y offset.
extern const LabelColumn kProgramLabels = {"%10.0f", {-70, 115, 295}, -25};

int main() {
  ResetCoefficients();
  Pi = 3.14159f;
  gain_range = 100.0f;
  Fsamp = kFsamp;
  freq_range = 10000.0f;
  OrderN = kOrderN;
  FilType = kFilType;
  FC1 = kFC1;
  FC2 = kFC2;

  IplImage* canvas = CreateCanvas();

  p_Fsamp = Fsamp;
  p_fc = FC1;
  p_fc2 = FC2;
  p_AC = kAC;

  BasicFilCal();
  PreWarp();
  FreqTrans();
  SZTrans();

  CalcFres(Gain, Theta);
  DrawFres(canvas, 100, 60, Gain, Theta);
  ShowUntilKey("Frequency Response", canvas);

  TxtSave("coeff1.txt");
  return 0;
}
