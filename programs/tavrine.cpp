// tavrine: designs a linear-phase FIR filter by frequency sampling from its
// built-in parameters, plots its gain and phase, and after a key press
// writes the taps to "coeff1.txt". Built in: band-pass from 2000 Hz to
// 8000 Hz at 22050 Hz, desired response at 400 bins, 140 requested taps
// (139 designed, the file gets a final zero tap), Kaiser window with
// alpha 7.0. Command-line arguments are ignored.

#include "fir/fir_design.h"
#include "fir/tap_file.h"
#include "fir/taps.h"
#include "plot/frame.h"
#include "plot/response_plot.h"
#include "plot/shared_state.h"

// The frequency texts' format and x offsets, and the legend's y offset.
extern const LabelColumn kProgramLabels = {"%8.0f", {-50, 130, 310}, -25};

int main() {
  Fsamp = 22050.0f;
  gain_range = 100.0f;
  freq_range = 10000.0f;
  FresN = 400;
  lpf_fc1 = 3000.0f;
  hpf_fc1 = 3000.0f;
  bpf_fc1 = 2000.0f;
  bpf_fc2 = 8000.0f;
  brf_fc1 = 3000.0f;
  brf_fc2 = 7000.0f;
  alpha = 7.0f;
  FilType = kBandPass;
  TapN = 140;

  IplImage* canvas = CreateCanvas();

  AdjustTapCount();
  PutParam();
  DoIdft();
  Kaiser(TapN, alpha);

  CalcFres(Gain, Theta);
  DrawFres(canvas, 100, 60, Gain, Theta);
  ShowUntilKey("Frequency Response", canvas);

  TxtSave("coeff1.txt", hh);
  return 0;
}
